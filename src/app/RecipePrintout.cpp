#include "app/TextBoxLines.h"
#include "app/Unit1.h"
#include "common/QtText.h"
#include "pageprinter/PagePrnt.h"
#include "view/RecipeText.h"
#include "widgets/ComboBox.h"
#include "widgets/Spinner.h"

#include <QAbstractTextDocumentLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>

#include <memory>

using namespace sapidoro;

void TForm1::ComposeIntoStampa() {
    RecipeTextFields fields;
    fields.name = ToCp1252(Nome->text());
    fields.dish = ToCp1252(Piatto->text());
    fields.mainIngredient = ToCp1252(Ingrediente_Principale->text());
    fields.persons = Persone->value();
    fields.calories = ToCp1252(Calorie->text());
    fields.notes = ToCp1252(Note->text());
    fields.ingredients = BoxLines(Ingredienti);
    fields.preparation = BoxLines(Preparazione);
    Stampa->setPlainText(FromCp1252List(ComposeRecipeText(fields)).join(u'\n'));
}

QStringList TForm1::StampaLines() const {
    // The lines as `Stampa` wraps them at its width, laid out on a copy of its text so that
    // a hidden box gives them too.
    const std::unique_ptr<QTextDocument> copy(Stampa->document()->clone());
    copy->setDefaultFont(Stampa->font());
    const int width = Stampa->viewport()->width() > 0 ? Stampa->viewport()->width()
                                                      : Stampa->contentsRect().width();
    copy->setTextWidth(width);
    copy->size();  // lays every block out
    QStringList lines;
    for (QTextBlock block = copy->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        const QTextLayout *layout = block.layout();
        if (!layout || layout->lineCount() == 0) {
            lines.append(text);
            continue;
        }
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            lines.append(text.mid(line.textStart(), line.textLength()));
        }
    }
    return lines;
}

void TForm1::ComposeOnPagePrinter() {
    ComposeIntoStampa();
    const QStringList lines = StampaLines();
    PagePrinter1->BeginDoc();
    PagePrinter1->NewLine();
    PagePrinter1->NewLine();
    const int windowPoints = font().pointSize() > 0
                                 ? font().pointSize()
                                 : (font().pixelSize() * 72 + logicalDpiY() / 2) / logicalDpiY();
    QFont printFont = PagePrinter1->font();
    printFont.setPointSize(windowPoints + CarattereStampa->value() + 1);
    printFont.setBold(true);
    PagePrinter1->setFont(printFont);
    PagePrinter1->Write(lines.value(0));
    printFont.setBold(false);
    PagePrinter1->setFont(printFont);
    PagePrinter1->NewLine();
    PagePrinter1->NewLine();
    printFont.setPointSize(windowPoints + CarattereStampa->value());
    PagePrinter1->setFont(printFont);
    for (qsizetype i = 1; i < lines.size(); ++i) PagePrinter1->WriteLine(lines[i]);
}
