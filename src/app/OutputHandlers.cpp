#include "app/TextBoxLines.h"
#include "app/Unit1.h"
#include "common/QtText.h"
#include "output/RecipeOutput.h"
#include "pageprinter/PagePrnt.h"
#include "pageprinter/PageUnits.h"
#include "pageprinter/Printer.h"
#include "view/RecipeText.h"
#include "widgets/ComboBox.h"
#include "widgets/Spinner.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <memory>

using namespace sapidoro;

namespace {

// A font's size in whole points; a size in pixels counts at the screen's resolution.
int PointSize(const QFont &font, int screenDpiY) {
    if (font.pointSizeF() > 0) return qRound(font.pointSizeF());
    return MulDiv(font.pixelSize(), 72, screenDpiY);
}

// Bold alone, or no style at all.
void SetStyle(QFont &font, bool bold) {
    font.setBold(bold);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
}

}  // namespace

void TForm1::ComposeIntoStampa() {
    Stampa->setPlainText(RecipeBufferText(RecipeTextOnShow()));
}

QStringList TForm1::StampaLines() const {
    // The hidden control is never laid out on screen: its text width is its client width.
    QTextDocument *document = Stampa->document();
    document->setTextWidth(Stampa->contentsRect().width());
    return WrappedLines(*document);
}

void TForm1::Copia1Click() {
    ComposeIntoStampa();
    QGuiApplication::clipboard()->setText(ClipboardText(StampaLines()));
}

void TForm1::Stampa1Click() {
    ComposeIntoStampa();
    PrinterDevice &printer = Printer();
    // The printable area in the control's own pixels, so that the text prints at its size.
    const QSize printable = printer.PrintableSize();
    const QSizeF page(printable.width() * double(Stampa->logicalDpiX()) /
                          printer.GetDeviceCaps(DeviceCap::LOGPIXELSX),
                      printable.height() * double(Stampa->logicalDpiY()) /
                          printer.GetDeviceCaps(DeviceCap::LOGPIXELSY));
    StampaLines();
    const std::unique_ptr<QTextDocument> copy =
        PrintableCopy(*Stampa->document(), Stampa->contentsRect().width(), page);
    printer.setTitle(QStringLiteral("Stampa della ricetta"));
    printer.PrintTextDocument(*copy);
}

void TForm1::ComposeOnPagePrinter() {
    ComposeIntoStampa();
    LayOutOnPagePrinter(StampaLines());
}

void TForm1::LayOutOnPagePrinter(const QStringList &lines) {
    PagePrinter1->BeginDoc();
    PagePrinter1->NewLine();
    PagePrinter1->NewLine();

    const int bodyPoints = PointSize(font(), logicalDpiY()) + CarattereStampa->value();
    QFont printFont = PagePrinter1->font();
    printFont.setPointSize(std::max(1, bodyPoints + 1));
    SetStyle(printFont, true);
    PagePrinter1->setFont(printFont);
    PagePrinter1->Write(lines.value(0));
    SetStyle(printFont, false);
    PagePrinter1->setFont(printFont);
    PagePrinter1->NewLine();
    PagePrinter1->NewLine();

    printFont.setPointSize(std::max(1, bodyPoints));
    PagePrinter1->setFont(printFont);
    for (qsizetype i = 1; i < lines.size(); ++i) PagePrinter1->WriteLine(lines[i]);
}

void TForm1::StampaLaRicettaClick() {
    ComposeOnPagePrinter();
    PagePrinter1->EndDoc();
    PagePrinter1->Print();
    StringaDaCercare->setFocus();
}
