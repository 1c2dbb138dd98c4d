#include "PrinterFixture.h"

#include "pageprinter/PageTokens.h"

#include <QDateTime>

using namespace Qt::StringLiterals;

using namespace sapidoro;
using namespace sapidoro::test;

// Header, footer and borders on a letter sheet with one-inch margins (text area from 3/4 inch
// into the printable area, 6.5 by 9 inches).
using Decoration = PagePrinterAt;

TEST_P(Decoration, HeaderAndFooterAreCentredInTheirBands) {
    const int lh = pp->LineHeight();
    pp->setHeader(u"H"_s);
    pp->setHeaderFormat(u"^2"_s);
    pp->setFooter(u"F"_s);
    pp->setFooterFormat(u">2"_s);
    pp->BeginDoc();
    pp->WriteLine(u"body"_s);
    EXPECT_EQ(pp->LineNumber(), 1);  // header and footer do not count as lines
    pp->EndDoc();
    const auto texts = TextsOf(pp->Page(1));
    ASSERT_EQ(texts.size(), 3u);
    const int w = charWidth();
    // Header: centred in the top inch of the sheet, measured from the printable area.
    EXPECT_EQ(texts[0].text, u"H"_s);
    EXPECT_EQ(texts[0].from,
              QPoint(dots(0.75) + (2 * dpi() - w) / 2, (dpi() - lh) / 2 - dots(0.25)));
    // Footer: centred in the bottom inch.
    EXPECT_EQ(texts[1].text, u"F"_s);
    EXPECT_EQ(texts[1].from, QPoint(dots(0.75) + 2 * dpi() - w - dpi() / 300 * 6,
                                    dots(0.75) + dots(9) + (dpi() - lh) / 2));
    EXPECT_EQ(texts[2].text, u"body"_s);
    EXPECT_EQ(texts[2].from.y(), dots(0.75));
    if (dpi() == 300) {
        EXPECT_EQ(texts[0].from.y(), 54);
        EXPECT_EQ(texts[1].from.y(), 3054);
    }
}

TEST_P(Decoration, BordersMoveTheBandsAndAreDrawnAroundTheTextArea) {
    const int lh = pp->LineHeight();
    pp->setHeader(u"H"_s);
    pp->setFooter(u"F"_s);
    pp->setPageBorders(TPageBorders(pbTop) | pbBottom | pbLeft | pbRight);
    pp->setPageBorderOffset(0.25);
    pp->BeginDoc();
    pp->EndDoc();
    ASSERT_EQ(pp->PageCount(), 1);  // the first page exists even without text
    const auto texts = TextsOf(pp->Page(1));
    ASSERT_EQ(texts.size(), 2u);
    const int top = dots(0.75);
    const int b = dots(0.25);
    EXPECT_EQ(texts[0].from.y(), top + (dots(0.75) - lh) / 2 - dpi());
    EXPECT_EQ(texts[1].from.y(), top + b + dots(9) + (dots(0.75) - lh) / 2);

    const auto lines = LinesOf(pp->Page(1));
    ASSERT_EQ(lines.size(), 4u);
    const int left = dots(0.75);
    const int width = dots(6.5);
    const int height = dots(9);
    EXPECT_EQ(lines[0].from, QPoint(left - b, top - b));
    EXPECT_EQ(lines[0].to, QPoint(left + width + b, top - b));
    EXPECT_EQ(lines[1].from, QPoint(left - b, top + height + b));
    EXPECT_EQ(lines[1].to, QPoint(left + width + b, top + height + b));
    EXPECT_EQ(lines[2].from, QPoint(left - b, top - b));
    EXPECT_EQ(lines[2].to, QPoint(left - b, top + height + b));
    EXPECT_EQ(lines[3].from, QPoint(left + width + b, top - b));
    for (const PageOp &line : lines) EXPECT_EQ(line.penWidth, dpi() / 300 * 2);
}

TEST_P(Decoration, LinesOutsideThePrintableAreaArePulledIn) {
    pp->setMargins(0.25, 0.25, 1, 1);  // the margins are the unprintable strips
    pp->setHeader(u"H"_s);
    pp->setFooter(u"F"_s);
    pp->BeginDoc();
    pp->EndDoc();
    const auto texts = TextsOf(pp->Page(1));
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].from.y(), 0);
    EXPECT_EQ(texts[1].from.y(), dots(10.5) - pp->LineHeight());
}

TEST_P(Decoration, HeaderFontAndFormatsAreRestoredAfterThePageStart) {
    QFont headerFont = pp->Font();
    headerFont.setPointSize(20);
    headerFont.setBold(true);
    pp->setAutoHeaderFont(false);
    pp->setHeaderFont(headerFont);
    pp->setHeader(u"Title"_s);
    pp->setHeaderFormat(u"3"_s);
    pp->setTableFormat(u">1"_s);
    pp->setTableGrid(true);
    const int bodyLineHeight = pp->LineHeight();
    pp->BeginDoc();
    EXPECT_EQ(pp->LineHeight(), bodyLineHeight);
    EXPECT_EQ(pp->Font().pointSize(), 10);
    EXPECT_FALSE(pp->AutoHeaderFont());
    EXPECT_TRUE(pp->AutoFooterFont());
    EXPECT_EQ(pp->TableFormat(), u">1"_s);
    EXPECT_TRUE(pp->TableGrid());
    EXPECT_FALSE(pp->DecoratingPage());
    EXPECT_EQ(pp->CurrentY(), 0);
    pp->EndDoc();
    const auto texts = TextsOf(pp->Page(1));
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(pp->Page(1).FontOf(texts[0]).pixelSize(), MulDiv(20, dpi(), 72));
    EXPECT_TRUE(pp->Page(1).FontOf(texts[0]).bold());
    EXPECT_TRUE(LinesOf(pp->Page(1)).empty());  // no grid on the header row
}

TEST_P(Decoration, AFailingHeaderRestoresEverything) {
    pp->setPrintToFile(true);
    pp->setFileName(u"/dev/full"_s);
    QFont headerFont = pp->Font();
    headerFont.setPointSize(20);
    pp->setAutoHeaderFont(false);
    pp->setHeaderFont(headerFont);
    pp->setAutoHeaderFont(true);
    pp->setAutoHeaderFont(false);
    pp->setHeaderFont(headerFont);
    pp->setHeader(u"H"_s);
    pp->setTableFormat(u"2"_s);
    EXPECT_THROW(pp->BeginDoc(), EInOutError);
    EXPECT_EQ(pp->Font().pointSize(), 10);
    EXPECT_EQ(pp->LineHeight(), MulDiv(10, dpi(), 72));
    EXPECT_FALSE(pp->AutoHeaderFont());
    EXPECT_TRUE(pp->AutoFooterFont());
    EXPECT_EQ(pp->TableFormat(), u"<2"_s);
    EXPECT_FALSE(pp->DecoratingPage());
    EXPECT_FALSE(pp->Printing());
}

TEST_P(Decoration, TextOfTheNewPageHandlerComesBeforeTheHeaderPositions) {
    pp->setHeader(u"{$PAGE}"_s);
    pp->setHeaderFormat(u"1"_s);
    pp->setOnNewPage([](TPagePrinter &sender) {
        sender.Write(u"Handler"_s);
        sender.NewLine();
    });
    pp->BeginDoc();
    EXPECT_EQ(pp->CurrentY(), pp->LineHeight());
    EXPECT_EQ(pp->LineNumber(), 1);
    pp->WriteLine(u"body"_s);
    pp->EndDoc();
    const auto texts = TextsOf(pp->Page(1));
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, u"Handler"_s);
    EXPECT_EQ(texts[1].text, u"1"_s);
    EXPECT_EQ(texts[2].from.y(), dots(0.75) + pp->LineHeight());
}

TEST_P(Decoration, FriendlyHeaderWorkedExample) {
    pp->setMarginLeft(0.5);
    pp->setMarginRight(0.5);
    pp->setFriendlyHeader(u"&lReport&c&p&r&d"_s);
    EXPECT_EQ(pp->Header(), u"Report|{$PAGE}|"_s + LocaleShortDate(QDateTime::currentDateTime()));
    EXPECT_EQ(pp->HeaderFormat(), u"<2.5|^2.5|>2.5"_s);
    pp->setHeader(u"direct"_s);  // lasts only until the next document
    pp->BeginDoc();
    EXPECT_EQ(pp->Header(), u"Report|{$PAGE}|"_s + LocaleShortDate(QDateTime::currentDateTime()));
    pp->NewPage();
    pp->EndDoc();
    const auto texts = TextsOf(pp->Page(2));
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, u"Report"_s);
    EXPECT_EQ(texts[1].text, u"2"_s);
    EXPECT_EQ(texts[1].from.x(), dots(0.25) + dots(2.5) + (dots(2.5) - charWidth()) / 2);

    pp->setFriendlyHeader(u""_s);
    EXPECT_EQ(pp->Header(), u""_s);
    EXPECT_EQ(pp->HeaderFormat(), u"<7.5"_s);
    pp->setFriendlyFooter(u"&&&x&"_s);
    EXPECT_EQ(pp->Footer(), u"& "_s);
    EXPECT_EQ(pp->FooterFormat(), u"<7.5"_s);
}

TEST_P(Decoration, AHeaderWithoutFormatHasOneColumnOfTheDefaultWidth) {
    pp->setHeader(u"ab|cd"_s);
    pp->setDefaultColWidth(2);
    pp->BeginDoc();
    pp->EndDoc();
    const auto texts = TextsOf(pp->Page(1));
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, u"ab"_s);
}

TEST_P(Decoration, ChangesApplyFromTheNextPage) {
    pp->setDefaultColWidth(3);
    pp->BeginDoc();
    pp->setHeader(u"later"_s);
    pp->setPageBorders(pbLeft);
    EXPECT_TRUE(pp->Page(1).Ops().empty());
    pp->NewPage();
    pp->EndDoc();
    EXPECT_EQ(TextsOf(pp->Page(2)).size(), 1u);
    EXPECT_EQ(LinesOf(pp->Page(2)).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Resolutions, Decoration, ::testing::Values(300, 600));
