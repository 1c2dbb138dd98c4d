#include "app/Unit1.h"
#include "pageprinter/PagePrnt.h"
#include "widgets/ComboBox.h"

// Print and clipboard: bound to `StampaLaRicetta`, `Copia1` (F2) and `Stampa1` (F7); they
// do nothing until the output joins.

void TForm1::StampaLaRicettaClick() {
    ComposeOnPagePrinter();
    PagePrinter1->EndDoc();
    StringaDaCercare->setFocus();
}

void TForm1::Copia1Click() {}

void TForm1::Stampa1Click() {}
