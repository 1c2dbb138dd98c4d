#include "app/Unit1.h"

// The progressive search and the reset: bound to `Ricerche` and `Inizializzazione`; they
// do nothing until the search engine joins.

void TForm1::RicercheClick() {}

void TForm1::InizializzazioneClick() {}
