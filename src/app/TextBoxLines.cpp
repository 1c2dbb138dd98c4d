#include "app/TextBoxLines.h"

#include "common/QtText.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

namespace sapidoro {

std::vector<std::string> BoxLines(const QPlainTextEdit *box) {
    std::vector<std::string> lines;
    const QTextDocument *document = box->document();
    if (document->isEmpty()) return lines;
    // Blocks rather than toPlainText(), which turns non-breaking spaces into spaces.
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        lines.push_back(ToCp1252(block.text()));
    return lines;
}

void SetBoxLines(QPlainTextEdit *box, const std::vector<std::string> &lines) {
    QString text;
    for (const std::string &line : lines) {
        if (&line != &lines.front()) text += QLatin1Char('\n');
        text += FromCp1252(line);
    }
    box->setPlainText(text);
}

}  // namespace sapidoro
