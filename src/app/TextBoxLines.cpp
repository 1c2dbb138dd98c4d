#include "app/TextBoxLines.h"

#include "common/QtText.h"
#include "widgets/LongText.h"

#include <QByteArrayList>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVariant>

namespace sapidoro {

namespace {

// The whole lines of a box some of whose lines it shows cut, in their data bytes.
constexpr char kWholeLinesProperty[] = "sapidoroWholeLines";

std::string_view View(const QByteArray &bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

}  // namespace

std::vector<std::string> BoxLines(const QPlainTextEdit *box) {
    std::vector<std::string> lines;
    const QTextDocument *document = box->document();
    if (document->isEmpty()) return lines;
    const QByteArrayList whole = box->property(kWholeLinesProperty).value<QByteArrayList>();
    // Blocks rather than toPlainText(), which turns non-breaking spaces into spaces.
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const QString shown = block.text();
        const qsizetype at = static_cast<qsizetype>(lines.size());
        // A line shown cut is given back whole while the box still shows it so.
        if (at < whole.size() && IsCutOf(shown, View(whole[at])))
            lines.emplace_back(View(whole[at]));
        else
            lines.push_back(ToCp1252(shown));
    }
    return lines;
}

void SetBoxLines(QPlainTextEdit *box, const std::vector<std::string> &lines, qsizetype allowance,
                 bool keepWhole) {
    const qsizetype limit = kLongTextLimit + allowance;
    // A lone LF inside a line starts a paragraph of its own in the box: paragraphs are what
    // the box shows cut and what `BoxLines` gives back.
    std::vector<std::string_view> paragraphs;
    bool cut = false;
    for (const std::string &line : lines) {
        std::string_view rest = line;
        for (;;) {
            const std::size_t lf = rest.find('\n');
            paragraphs.push_back(rest.substr(0, lf));
            cut = cut || paragraphs.back().size() > static_cast<std::size_t>(limit);
            if (lf == std::string_view::npos) break;
            rest.remove_prefix(lf + 1);
        }
    }
    QString text;
    QByteArrayList whole;
    for (const std::string_view &paragraph : paragraphs) {
        if (&paragraph != &paragraphs.front()) text += QLatin1Char('\n');
        text += ShownText(paragraph, limit);
        if (cut)
            whole.append(QByteArray(paragraph.data(), static_cast<qsizetype>(paragraph.size())));
    }
    box->setProperty(kWholeLinesProperty,
                     cut && keepWhole ? QVariant::fromValue(whole) : QVariant());
    // The document takes the text directly: the box's own setPlainText lays long lines out
    // twice more, to select the whole text and give it the box's character format.
    box->document()->setPlainText(text);
    box->moveCursor(QTextCursor::Start);
}

}  // namespace sapidoro
