#include "output/RecipeOutput.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QFontMetricsF>
#include <QTextDocument>
#include <QTextFrame>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace sapidoro;

namespace {

QFont Mono() {
    QFont font(u"Courier New"_s);
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(19);
    return font;
}

// A document in a fixed-pitch font, `columns` characters wide between its margins.
std::unique_ptr<QTextDocument> Document(const QString &text, int columns) {
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(Mono());
    document->setPlainText(text);
    const double advance = QFontMetricsF(Mono()).horizontalAdvance(u'x');
    document->setTextWidth(columns * advance + 2 * document->documentMargin() + 0.5);
    return document;
}

TEST(RecipeOutput, BufferTextHasOneParagraphPerEntry) {
    const QString text = RecipeBufferText({"NOME: Torta", "", "NOTE: citt\xE0 \x80"});
    EXPECT_EQ(text, u"NOME: Torta\n\nNOTE: citt\u00E0 \u20AC"_s);
    EXPECT_EQ(RecipeBufferText({}), QString());
}

TEST(RecipeOutput, WrappedLinesAreTheLayoutsLines) {
    const auto document = Document(u"NOME: una torta di mele\n\nbreve"_s, 10);
    // Broken after the blank, which stays at the end of its line; the empty paragraph counts.
    EXPECT_EQ(WrappedLines(*document),
              (QStringList{u"NOME: una "_s, u"torta di "_s, u"mele"_s, QString(), u"breve"_s}));
    // A word longer than the width is broken inside.
    EXPECT_EQ(WrappedLines(*Document(u"abcdefghijklmno"_s, 10)),
              (QStringList{u"abcdefghij"_s, u"klmno"_s}));
    EXPECT_EQ(WrappedLines(*Document(QString(), 10)), QStringList{QString()});
}

TEST(RecipeOutput, ClipboardTextSeparatesLinesWithCrLf) {
    EXPECT_EQ(ClipboardText({u"a"_s, QString(), u"b "_s}), u"a\r\n\r\nb "_s);
    EXPECT_EQ(ClipboardText({u"solo"_s}), u"solo"_s);
    EXPECT_EQ(ClipboardText({}), QString());
}

TEST(RecipeOutput, PrintableCopyKeepsTheBuffersWrapAndFont) {
    const QString text = u"uno due tre quattro cinque sei sette otto nove dieci"_s;
    const auto buffer = Document(text, 12);
    const double wrap = buffer->textWidth();
    // A page wider than the buffer: the same lines, in pages of the given size.
    const auto copy = PrintableCopy(*buffer, wrap, QSizeF(3 * wrap, 40));
    EXPECT_EQ(copy->pageSize(), QSizeF(3 * wrap, 40));
    EXPECT_EQ(copy->defaultFont(), buffer->defaultFont());
    EXPECT_EQ(WrappedLines(*copy), WrappedLines(*buffer));
    EXPECT_GT(copy->pageCount(), 1);
    EXPECT_EQ(buffer->toPlainText(), text);  // the buffer itself is untouched
    EXPECT_EQ(buffer->textWidth(), wrap);

    // A page narrower than the buffer wraps at the page.
    const auto narrow = PrintableCopy(*buffer, wrap, QSizeF(wrap / 2, 1000));
    EXPECT_GT(WrappedLines(*narrow).size(), WrappedLines(*buffer).size());
}

}  // namespace
