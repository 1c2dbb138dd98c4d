#include "PrinterFixture.h"

#include "support/TempDir.h"

using namespace Qt::StringLiterals;

using namespace sapidoro;
using namespace sapidoro::test;

// Writers on a letter sheet with one-inch margins: the text area starts 3/4 inch into the
// printable area and is 6.5 inches wide, 78 characters of a 10-point Courier.
using Writing = PagePrinterAt;

TEST_P(Writing, LinesStartAtTheTextAreaAndAdvanceByTheLineHeight) {
    ASSERT_EQ(pp->TextWidth(), 78 * charWidth());
    pp->BeginDoc();
    EXPECT_EQ(pp->PageCount(), 1);
    pp->WriteLine(u"first"_s);
    pp->Write(u"ab"_s);
    pp->Write(u"cd"_s);
    EXPECT_EQ(pp->CurrentX(), 4 * charWidth());
    EXPECT_EQ(pp->NewLine(), 2);
    pp->EndDoc();
    EXPECT_EQ(pp->PageNumber(), 1);
    const auto texts = TextsOf(pp->Page(1));
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, u"first"_s);
    EXPECT_EQ(texts[0].from, QPoint(dots(0.75), dots(0.75)));
    EXPECT_EQ(texts[1].from, QPoint(dots(0.75), dots(0.75) + pp->LineHeight()));
    EXPECT_EQ(texts[2].text, u"cd"_s);
    EXPECT_EQ(texts[2].from.x(), dots(0.75) + 2 * charWidth());
    // After the document, text goes to the scratch page: measured, never kept.
    const std::size_t opsBefore = pp->Page(1).Ops().size();
    pp->Write(u"measured only"_s);
    EXPECT_EQ(pp->Page(1).Ops().size(), opsBefore);
    EXPECT_EQ(pp->PageCount(), 1);
    EXPECT_EQ(pp->Page(1).Width(), dots(8.25));
    EXPECT_EQ(pp->Page(1).Height(), dots(10.75));
}

TEST_P(Writing, AlignmentPlacesEachLine) {
    const int w = charWidth();
    pp->BeginDoc();
    pp->setAlignment(taRightJustify);
    pp->WriteLine(u"abc"_s);
    pp->setAlignment(taCenter);
    pp->WriteLine(u"abcd"_s);
    pp->EndDoc();
    const auto texts = TextsOf(pp->Page(1));
    EXPECT_EQ(texts[0].from.x(), dots(0.75) + pp->TextWidth() - 3 * w);
    EXPECT_EQ(texts[1].from.x(), dots(0.75) + (pp->TextWidth() - 4 * w) / 2);
}

TEST_P(Writing, WordWrapInLineAndWriteMode) {
    const QString a70(70, u'a');
    const QString b20(20, u'b');
    pp->BeginDoc();
    pp->WriteLine(a70 + u" "_s + b20);            // line mode: the blank at the break stays behind
    pp->WriteLine(QString(78, u'c') + u" dd"_s);  // the break falls on the blank itself: dropped
    pp->Write(QString(78, u'e') + u" ff"_s);      // write mode: the blank starts the next line
    EXPECT_EQ(pp->CurrentX(), 3 * charWidth());
    pp->NewLine();
    pp->Write(a70);
    pp->Write(u" "_s + b20);  // wraps within what is left of the line
    pp->EndDoc();
    const auto texts = TextsOf(pp->Page(1));
    ASSERT_EQ(texts.size(), 9u);
    EXPECT_EQ(texts[0].text, a70 + u" "_s);
    EXPECT_EQ(texts[1].text, b20);
    EXPECT_EQ(texts[2].text, QString(78, u'c'));
    EXPECT_EQ(texts[3].text, u"dd"_s);
    EXPECT_EQ(texts[4].text, QString(78, u'e'));
    EXPECT_EQ(texts[5].text, u" ff"_s);
    EXPECT_EQ(texts[6].text, a70);
    EXPECT_EQ(texts[7].text, u" "_s);
    EXPECT_EQ(texts[7].from.x(), dots(0.75) + 70 * charWidth());
    EXPECT_EQ(texts[8].text, b20);
    const int lh = pp->LineHeight();
    EXPECT_EQ(texts[5].from.y() - texts[4].from.y(), lh);
}

TEST_P(Writing, OverlongWordsSingleCharactersAndExactWidths) {
    pp->BeginDoc();
    pp->WriteLine(QString(100, u'x'));  // no blank: broken inside the word
    pp->Write(QString(78, u'y'));       // exactly the width: not wrapped
    pp->Write(u"W"_s);                  // one character never wraps
    pp->NewLine();
    pp->WriteLine(QString(78, u'z'));
    pp->setWordWrap(false);
    pp->WriteLine(QString(90, u'q') + u" rest"_s);  // cut at the width, the rest is lost
    pp->Write(QString(70, u'r'));
    pp->Write(QString(20, u's'));  // cut to what is left of the line
    pp->EndDoc();
    const auto texts = TextsOf(pp->Page(1));
    ASSERT_EQ(texts.size(), 8u);
    EXPECT_EQ(texts[0].text, QString(78, u'x'));
    EXPECT_EQ(texts[1].text, QString(22, u'x'));
    EXPECT_EQ(texts[2].text, QString(78, u'y'));
    EXPECT_EQ(texts[3].text, u"W"_s);
    EXPECT_EQ(texts[3].from.x(), dots(0.75) + pp->TextWidth());
    EXPECT_EQ(texts[4].text, QString(78, u'z'));
    EXPECT_EQ(texts[5].text, QString(78, u'q'));
    EXPECT_EQ(texts[7].text, QString(8, u's'));
    EXPECT_EQ(texts[7].from.y(), texts[6].from.y());
}

TEST_P(Writing, TabsExpandBeforeMeasuring) {
    pp->BeginDoc();
    pp->WriteLine(u"ab\tc"_s);
    pp->WriteLine(u"abcdefgh\tc"_s);
    pp->setTabSize(4);
    pp->WriteLine(u"\tx"_s);
    pp->setTabSize(0);  // no tab stops: a tab is one blank
    pp->WriteLine(u"a\t\tb"_s);
    pp->EndDoc();
    const auto texts = TextsOf(pp->Page(1));
    EXPECT_EQ(texts[0].text, u"ab      c"_s);
    EXPECT_EQ(texts[1].text, u"abcdefgh        c"_s);
    EXPECT_EQ(texts[2].text, u"    x"_s);
    EXPECT_EQ(texts[3].text, u"a  b"_s);
}

TEST_P(Writing, PagesBreakWhenTheNextLineWouldNotFit) {
    // A text area exactly ten lines high holds nine: the tenth would end at the limit.
    const int lh = pp->LineHeight();
    const double areaInches = 10.0 * lh / dpi();
    const double margin = (11 - areaInches) / 2;
    pp->setMarginTop(margin);
    pp->setMarginBottom(margin);
    ASSERT_EQ(pp->TextHeight(), 10 * lh);
    int pagesStarted = 0;
    int linesEnded = 0;
    pp->setOnNewPage([&](TPagePrinter &) { ++pagesStarted; });
    pp->setOnNewLine([&](TPagePrinter &) { ++linesEnded; });
    pp->BeginDoc();
    for (int i = 0; i < 8; ++i) pp->WriteLine(QString::number(i));
    EXPECT_EQ(pp->PageCount(), 1);
    EXPECT_EQ(pp->LineNumber(), 8);
    pp->WriteLine(u"8"_s);  // ends exactly at the limit: the last NewLine starts an empty page
    EXPECT_EQ(pp->PageCount(), 2);
    EXPECT_EQ(pp->PageNumber(), 2);
    EXPECT_EQ(pp->LineNumber(), 0);
    pp->EndDoc();
    EXPECT_EQ(TextsOf(pp->Page(1)).size(), 9u);
    EXPECT_EQ(TextsOf(pp->Page(1)).back().from.y(), pp->TextAreaTop() + 8 * lh);
    EXPECT_TRUE(pp->Page(2).Ops().empty());
    EXPECT_EQ(pagesStarted, 2);
    EXPECT_EQ(linesEnded, 2 + 9);  // after each page start and each line end
}

TEST_P(Writing, AFontTooLargeForTheRestOfThePageStartsANewOne) {
    pp->BeginDoc();
    while (pp->CurrentY() + 2 * pp->LineHeight() < pp->TextHeight()) pp->NewLine();
    QFont big = pp->Font();
    big.setPointSize(30);
    pp->setFont(big);
    pp->Write(u"Big"_s);
    EXPECT_EQ(pp->PageCount(), 2);
    pp->EndDoc();
    EXPECT_EQ(TextsOf(pp->Page(2))[0].from.y(), dots(0.75));
}

TEST_P(Writing, TableRowsFollowTheColumnFormat) {
    const int w = charWidth();
    const int inner = dpi() / 300 * 6;
    pp->setTableFormat(u"1|>1|^1"_s);
    pp->BeginDoc();
    pp->WriteTableLine(u"a|b|c|extra"_s);
    pp->WriteTableLine(u"only"_s);
    pp->WriteTableLine(u"x\ny|z"_s);
    pp->EndDoc();
    const auto texts = TextsOf(pp->Page(1));
    ASSERT_EQ(texts.size(), 7u);
    const int left = dots(0.75);
    const int top = dots(0.75);
    EXPECT_EQ(texts[0].from, QPoint(left + inner, top));
    EXPECT_EQ(texts[1].from, QPoint(left + dpi() + dpi() - w - inner, top));
    EXPECT_EQ(texts[2].from, QPoint(left + 2 * dpi() + (dpi() - w) / 2, top));
    EXPECT_EQ(texts[3].text, u"only"_s);  // the missing cells are empty and draw nothing
    EXPECT_EQ(texts[3].from.y(), top + pp->LineHeight());
    EXPECT_EQ(texts[4].text, u"x"_s);  // a line feed pushes the rest of the cell down
    EXPECT_EQ(texts[5].text, u"z"_s);
    EXPECT_EQ(texts[6].text, u"y"_s);
    EXPECT_EQ(texts[6].from.y(), top + 3 * pp->LineHeight());
    EXPECT_EQ(pp->LineNumber(), 4);
}

TEST_P(Writing, TableCellsWrapWithinTheirColumn) {
    const int w = charWidth();
    pp->setTableFormat(u"0.5|>0.5"_s);  // six characters a column
    ASSERT_EQ(pp->DeviceDotsX(0.5), 6 * w);
    pp->BeginDoc();
    pp->WriteTableLine(u"hello world|12"_s);
    pp->setWordWrap(false);
    pp->WriteTableLine(u"truncated|x"_s);
    pp->EndDoc();
    const auto texts = TextsOf(pp->Page(1));
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[0].text, u"hello "_s);
    EXPECT_EQ(texts[0].from.x(), dots(0.75));  // full width: no inner margin
    EXPECT_EQ(texts[2].text, u"world"_s);
    EXPECT_EQ(texts[2].from.x(), dots(0.75) + dpi() / 300 * 6);
    EXPECT_EQ(texts[3].text, u"trunca"_s);
}

TEST_P(Writing, GridLinesFrameEachCell) {
    pp->setTableFormat(u"1|-1"_s);
    pp->setTableGrid(true);
    pp->BeginDoc();
    pp->WriteTableLine(u"a|b"_s);
    pp->EndDoc();
    const int pen = dpi() / 300 * 2;
    const int left = dots(0.75);
    const int upper = dots(0.75) - pp->PrinterFontMetrics().ExternalLeading;
    const int lower = upper + pp->LineHeight();
    const auto lines = LinesOf(pp->Page(1));
    ASSERT_EQ(lines.size(), 4u);  // the second column has none
    EXPECT_EQ(lines[0].from, QPoint(left, upper));
    EXPECT_EQ(lines[0].to, QPoint(left, lower));
    EXPECT_EQ(lines[1].from, QPoint(left + dpi(), upper));
    EXPECT_EQ(lines[2].from, QPoint(left, upper));
    EXPECT_EQ(lines[2].to, QPoint(left + dpi(), upper));
    EXPECT_EQ(lines[3].from, QPoint(left, lower));
    EXPECT_EQ(lines[3].to, QPoint(left + dpi(), lower));
    for (const PageOp &line : lines) EXPECT_EQ(line.penWidth, pen);
}

TEST_P(Writing, TokensExpandInTableCells) {
    pp->setTableFormat(u"3"_s);
    pp->BeginDoc();
    pp->NewPage();
    pp->NewPage();
    pp->WriteTableLine(u"{$PAGE}/{$PAGE}"_s);
    pp->WriteTableLine(u"{$page} {$LINE}"_s);
    pp->WriteTableLine(u"plain {$ text"_s);
    pp->EndDoc();
    const auto texts = TextsOf(pp->Page(3));
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, u"3/3"_s);
    EXPECT_EQ(texts[1].text, u"{$page} 1"_s);
    EXPECT_EQ(texts[2].text, u"plain {$ text"_s);
}

TEST_P(Writing, MarginsWithoutATextAreaAreRefused) {
    pp->setMarginLeft(5);
    pp->setMarginRight(4);
    try {
        pp->BeginDoc();
        FAIL() << "no refusal";
    } catch (const EPagePrinter &e) {
        EXPECT_EQ(e.message(), "The left and right margins leave no room for text");
    }
    EXPECT_FALSE(pp->Printing());
    pp->setMargins(6, 5.5, 1, 1);
    EXPECT_THROW(pp->BeginDoc(), EPagePrinter);
    pp->setMarginTop(1);
    pp->BeginDoc();
    EXPECT_TRUE(pp->Printing());
}

TEST_P(Writing, PageNumberOfTheView) {
    pp->setPageNumber(3);  // no pages: silently 0
    EXPECT_EQ(pp->PageNumber(), 0);
    pp->BeginDoc();
    pp->NewPage();
    pp->NewPage();
    pp->EndDoc();
    EXPECT_EQ(pp->PageCount(), 3);
    EXPECT_EQ(pp->PageNumber(), 1);
    pp->setPageNumber(3);
    EXPECT_EQ(pp->PageNumber(), 3);
    try {
        pp->setPageNumber(5);
        FAIL() << "no refusal";
    } catch (const EPagePrinter &e) {
        EXPECT_EQ(e.message(), "PageNumber must be between 1 and 3");
    }
    EXPECT_EQ(pp->PageNumber(), 3);
    pp->BeginDoc();  // a new document discards the pages
    EXPECT_EQ(pp->PageCount(), 1);
    pp->EndDoc();
}

TEST_P(Writing, PrintToFileWritesPlainText) {
    TempDir dir;
    pp->setPrintToFile(true);
    pp->setFileName(dir.qpath() + u"out.txt"_s);
    pp->setHeader(u"Page {$PAGE}"_s);
    pp->setHeaderFormat(u"3"_s);
    pp->setTableFormat(u"1|>1"_s);
    pp->BeginDoc();
    pp->WriteLine(u"abc"_s);
    pp->setAlignment(taRightJustify);
    pp->WriteLine(u"xyz"_s);
    pp->Write(u"p"_s);
    pp->Write(u"q"_s);
    pp->NewLine();
    pp->setAlignment(taLeftJustify);
    pp->WriteLine(u"caff\u00e8"_s);
    pp->NewPage();
    pp->WriteTableLine(u"a|b"_s);
    pp->EndDoc();
    EXPECT_FALSE(pp->Printing());
    EXPECT_EQ(pp->PageCount(), 0);  // nothing goes to the page list

    // Header: "Page n", then blanks for the rest of its 3-inch column less the inner margin.
    const int blanksAfterHeader = (3 * dpi() - dpi() / 300 * 6 - 6 * charWidth()) / charWidth();
    const std::string header1 = "Page 1" + std::string(blanksAfterHeader, ' ') + "\r\n";
    const std::string header2 = "Page 2" + std::string(blanksAfterHeader, ' ') + "\r\n";
    const std::string expected = header1 + "abc\r\n" + std::string(75, ' ') + "xyz\r\n" + "pq\r\n" +
                                 "caff\xe8\r\n" + "\f\r\n" + header2 + "a" + std::string(10, ' ') +
                                 std::string(10, ' ') + "b\r\n";
    EXPECT_EQ(dir.read("out.txt"), expected);
}

TEST_P(Writing, PrintToFileFailures) {
    pp->setPrintToFile(true);
    pp->setFileName(u"/nonexistent-folder/out.txt"_s);
    try {
        pp->BeginDoc();
        FAIL() << "no error";
    } catch (const EInOutError &e) {
        EXPECT_EQ(e.message(), "File not found");
    }
    EXPECT_FALSE(pp->Printing());
    pp->setFileName(u"/dev/full"_s);  // accepted, but every write fails
    pp->BeginDoc();
    EXPECT_THROW(pp->WriteLine(u"x"_s), EInOutError);
    try {
        pp->EndDoc();  // closing may report the bytes still waiting as well
    } catch (const EInOutError &) {
    }
    EXPECT_FALSE(pp->Printing());
}

INSTANTIATE_TEST_SUITE_P(Resolutions, Writing, ::testing::Values(300, 600));
