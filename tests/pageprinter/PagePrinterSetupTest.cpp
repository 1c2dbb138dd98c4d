#include "PrinterFixture.h"

#include "support/TempDir.h"

#include <QScrollBar>

using namespace Qt::StringLiterals;

using namespace sapidoro;
using namespace sapidoro::test;

namespace {

std::string MessageOf(const std::function<void()> &action) {
    try {
        action();
    } catch (const EPagePrinter &e) {
        return e.message();
    }
    return "(no error)";
}

}  // namespace

TEST(PagePrinterDefaults, AsCreated) {
    ScopedPrinter printer(std::make_unique<TMemoryPrinter>(LetterAt(300)));
    TPagePrinter pp;
    EXPECT_EQ(pp.Font().family(), u"Courier New"_s);
    EXPECT_EQ(pp.Font().pointSize(), 10);
    EXPECT_FALSE(pp.Font().bold());
    EXPECT_EQ(pp.HeaderFont(), pp.Font());
    EXPECT_EQ(pp.FooterFont(), pp.Font());
    EXPECT_EQ(pp.width(), 89);
    EXPECT_EQ(pp.height(), 115);
    EXPECT_EQ(pp.verticalScrollBar()->singleStep(), 16);
    EXPECT_EQ(pp.MeasureUnit(), muInches);
    EXPECT_DOUBLE_EQ(pp.MarginTop(), 0.25);
    EXPECT_DOUBLE_EQ(pp.MarginLeft(), 0.25);
    EXPECT_EQ(pp.Copies(), 1u);
    EXPECT_TRUE(pp.Collate());
    EXPECT_EQ(pp.TabSize(), 8u);
    EXPECT_EQ(pp.TokenSeparator(), u'|');
    EXPECT_TRUE(pp.WordWrap());
    EXPECT_EQ(pp.ZoomPercent(), 25u);
    EXPECT_EQ(pp.ShadowOffset(), 5u);
    EXPECT_EQ(pp.LineSpacing(), lsSingleSpace);
    EXPECT_EQ(pp.Alignment(), taLeftJustify);
    EXPECT_FALSE(pp.Printing());
    EXPECT_EQ(pp.PageCount(), 0);
    EXPECT_EQ(pp.PageNumber(), 0);
    EXPECT_EQ(pp.TextWidth(), 2400);
    EXPECT_EQ(pp.TextHeight(), 3150);
    EXPECT_TRUE(pp.Lines().isEmpty());
}

TEST_P(PagePrinterAt, LineHeightsFollowTheSpacing) {
    // 10 points are 42 dots at 300 dpi and 83 at 600.
    const int h = dpi() == 300 ? 42 : 83;
    const std::pair<TLineSpacing, int> cases[] = {{lsHalfSpace, h / 2},
                                                  {lsSingleSpace, h},
                                                  {lsSingleAndAHalf, h + h / 2},
                                                  {lsDoubleSpace, 2 * h}};
    for (const auto &[spacing, expected] : cases) {
        pp->setLineSpacing(spacing);
        EXPECT_EQ(pp->LineHeight(), expected);
    }
    if (dpi() == 300) {
        pp->setLineSpacing(lsHalfSpace);
        EXPECT_EQ(pp->LineHeight(), 21);
        pp->setLineSpacing(lsDoubleSpace);
        EXPECT_EQ(pp->LineHeight(), 84);
    }
}

TEST_P(PagePrinterAt, FontChangesRescaleForThePrinter) {
    QFont mainWindowFont(u"Courier New"_s);
    mainWindowFont.setPixelSize(13);  // 10 points on a 96 dpi screen
    pp->setFont(mainWindowFont);
    EXPECT_EQ(pp->LineHeight(), dpi() == 300 ? 42 : 83);
    EXPECT_EQ(pp->PageCanvas().Font().pixelSize(), pp->LineHeight());

    QFont big = pp->Font();
    big.setPointSize(16);
    big.setBold(true);
    pp->setFont(big);
    EXPECT_EQ(pp->LineHeight(), MulDiv(16, dpi(), 72));
    EXPECT_TRUE(pp->PageCanvas().Font().bold());
    EXPECT_EQ(pp->HeaderFont().pointSize(), 16);
    EXPECT_EQ(pp->FooterFont().pointSize(), 16);

    pp->setAutoHeaderFont(false);
    QFont small = big;
    small.setPointSize(8);
    pp->setFont(small);
    EXPECT_EQ(pp->HeaderFont().pointSize(), 16);
    EXPECT_EQ(pp->FooterFont().pointSize(), 8);
    pp->setAutoHeaderFont(true);  // turning it on takes the font at once
    EXPECT_EQ(pp->HeaderFont().pointSize(), 8);
}

TEST_P(PagePrinterAt, MarginsClampToTheSheet) {
    pp->setMarginTop(0.1);
    EXPECT_DOUBLE_EQ(pp->MarginTop(), 0.25);
    pp->setMarginBottom(20);
    EXPECT_DOUBLE_EQ(pp->MarginBottom(), 10.75);
    pp->setMarginLeft(9);
    EXPECT_DOUBLE_EQ(pp->MarginLeft(), 8.25);
    pp->setMarginRight(std::numeric_limits<double>::quiet_NaN());
    EXPECT_DOUBLE_EQ(pp->MarginRight(), 0.25);
    pp->setMargins(1, 1, 1, 1);
    EXPECT_EQ(pp->TextAreaLeft(), dots(0.75));
    EXPECT_EQ(pp->TextAreaTop(), dots(0.75));
    EXPECT_EQ(pp->TextWidth(), dots(6.5));
    EXPECT_EQ(pp->TextHeight(), dots(9));
    EXPECT_DOUBLE_EQ(pp->WidthBetweenMargins(), 6.5);
}

TEST_P(PagePrinterAt, MeasureUnitConvertsEveryLength) {
    pp->setPageBorderOffset(0.5);
    pp->setDefaultColWidth(2);
    pp->setTableFormat(u"1|>0.5"_s);
    pp->setHeaderFormat(u"^3"_s);
    pp->setMeasureUnit(muMillimeters);
    EXPECT_NEAR(pp->MarginLeft(), 25.4, 1e-9);
    EXPECT_NEAR(pp->PageWidth(), 215.9, 1e-9);
    EXPECT_NEAR(pp->PageBorderOffset(), 12.7, 1e-9);
    EXPECT_NEAR(pp->DefaultColWidth(), 50.8, 1e-9);
    EXPECT_EQ(pp->TableFormat(), u"<25.4|>12.7"_s);
    EXPECT_EQ(pp->HeaderFormat(), u"^76.2"_s);
    EXPECT_EQ(pp->TextWidth(), dots(6.5));
    pp->setMeasureUnit(muMillimeters);  // the same unit again changes nothing
    EXPECT_EQ(pp->TableFormat(), u"<25.4|>12.7"_s);
    pp->setMeasureUnit(muInches);
    EXPECT_NEAR(pp->MarginLeft(), 1, 1e-12);
    EXPECT_NEAR(pp->PageBorderOffset(), 0.5, 1e-12);
    EXPECT_EQ(pp->TableFormat(), u"<1|>0.5"_s);
    EXPECT_EQ(pp->HeaderFormat(), u"^3"_s);

    // A friendly header rebuilds its format in the new unit instead of converting it.
    pp->setFriendlyHeader(u"&lA&rB"_s);
    EXPECT_EQ(pp->HeaderFormat(), u"<3.25|>3.25"_s);
    pp->setMeasureUnit(muMillimeters);
    EXPECT_EQ(pp->HeaderFormat(), u"<82.55|>82.55"_s);
}

TEST_P(PagePrinterAt, UnitRoundTrips) {
    for (double inches : {0.0, 0.25, 1.0 / 6, 71.0 / 300, 1.0, 8.5}) {
        const int d = pp->DeviceDotsX(inches);
        EXPECT_EQ(pp->DeviceDotsX(pp->UnitsFromDotsX(d)), d);
        EXPECT_EQ(pp->DeviceDotsY(pp->UnitsFromDotsY(d)), d);
    }
    EXPECT_EQ(pp->DeviceDotsY(1.0 / 6), dpi() / 6);
    pp->setMeasureUnit(muMillimeters);
    EXPECT_EQ(pp->DeviceDotsX(25.4), dpi());
    EXPECT_NEAR(pp->UnitsFromDotsX(dpi()), 25.4, 1e-12);
}

TEST_P(PagePrinterAt, RefusalsWhilePrinting) {
    pp->BeginDoc();
    EXPECT_TRUE(pp->Printing());
    EXPECT_EQ(MessageOf([&] { pp->setMarginTop(2); }),
              "Unable to change top margin while printing");
    EXPECT_EQ(MessageOf([&] { pp->setMarginBottom(2); }),
              "Unable to change bottom margin while printing");
    EXPECT_EQ(MessageOf([&] { pp->setMarginLeft(2); }),
              "Unable to change left margin while printing");
    EXPECT_EQ(MessageOf([&] { pp->setMarginRight(2); }),
              "Unable to change right margin while printing");
    EXPECT_EQ(MessageOf([&] { pp->setOrientation(poLandscape); }),
              "Unable to change orientation while printing");
    EXPECT_EQ(MessageOf([&] { pp->setPrintToFile(true); }),
              "Can't change PrintToFile while printing");
    EXPECT_EQ(MessageOf([&] { pp->setFileName(u"x.txt"_s); }),
              "Can't change FileName while printing");
    EXPECT_EQ(MessageOf([&] { pp->setMeasureUnit(muMillimeters); }),
              "Unable to change top margin while printing");
    pp->setPrintToFile(false);
    pp->setFileName(u""_s);
    EXPECT_DOUBLE_EQ(pp->MarginTop(), 1);
    EXPECT_EQ(pp->MeasureUnit(), muInches);
    EXPECT_EQ(pp->Orientation(), poPortrait);
    pp->EndDoc();
    pp->setMarginTop(2);
    EXPECT_DOUBLE_EQ(pp->MarginTop(), 2);
}

TEST_P(PagePrinterAt, JobPropertiesAndTheirSetterRules) {
    pp->setCopies(0);
    EXPECT_EQ(pp->Copies(), 1u);
    pp->setCopies(0x80000000u);  // negative as a signed number
    EXPECT_EQ(pp->Copies(), 1u);
    pp->setCopies(3);
    EXPECT_EQ(pp->Copies(), 3u);
    pp->setFromPage(2);
    EXPECT_EQ(pp->ToPage(), 2u);
    pp->setToPage(1);
    EXPECT_EQ(pp->FromPage(), 1u);
    pp->setFileName(u"  out.txt \t"_s);
    EXPECT_EQ(pp->FileName(), u"out.txt"_s);
    pp->setTitle(u"Ricetta"_s);
    EXPECT_EQ(Printer().Title(), u"Ricetta"_s);
    pp->setOrientation(poLandscape);
    EXPECT_EQ(Printer().Orientation(), poLandscape);
    EXPECT_EQ(pp->PageWidth(), 11);
    EXPECT_EQ(pp->Orientation(), poLandscape);
}

TEST_P(PagePrinterAt, LoadingOnlyStoresUntilLoaded) {
    pp->BeginLoading();
    pp->setFriendlyHeader(u"&lA&rB"_s);
    pp->setAutoHeaderFont(false);
    pp->setAutoHeaderFont(true);
    EXPECT_EQ(pp->Header(), u""_s);
    pp->setPageNumber(4);
    EXPECT_EQ(pp->PageNumber(), 0);
    pp->Loaded();
    EXPECT_EQ(pp->Header(), u"A|B"_s);
    EXPECT_EQ(pp->HeaderFormat(), u"<3.25|>3.25"_s);
}

TEST(PagePrinterWithoutPrinter, GeometryFallsBackAndStartingAPageFails) {
    ScopedPrinter printer(TMemoryPrinter::WithoutPrinter());
    TPagePrinter pp;
    EXPECT_EQ(pp.ResolutionX(), 300);
    EXPECT_DOUBLE_EQ(pp.PageWidth(), 8.5);
    EXPECT_DOUBLE_EQ(pp.PageHeight(), 11);
    EXPECT_DOUBLE_EQ(pp.PrintableOffsetX(), 0.25);
    EXPECT_DOUBLE_EQ(pp.MarginTop(), 0.25);
    EXPECT_EQ(pp.DeviceDotsX(1), 300);
    EXPECT_DOUBLE_EQ(pp.UnitsFromDotsY(150), 0.5);
    EXPECT_EQ(pp.LineHeight(), 42);
    EXPECT_EQ(pp.Orientation(), poPortrait);
    pp.setOrientation(poLandscape);  // ignored without a printer
    EXPECT_EQ(pp.Orientation(), poPortrait);
    pp.setMeasureUnit(muMillimeters);
    EXPECT_DOUBLE_EQ(pp.PageWidth(), 210);
    EXPECT_DOUBLE_EQ(pp.PageHeight(), 297);
    EXPECT_DOUBLE_EQ(pp.PrintableOffsetY(), 6);
    EXPECT_NEAR(pp.MarginLeft(), 6.35, 1e-12);  // a quarter inch, above the 6 mm strip
    try {
        pp.BeginDoc();
        FAIL() << "no error";
    } catch (const EPagePrinter &) {
        FAIL() << "a refusal instead of the printer error";
    } catch (const EPrinter &e) {
        EXPECT_STREQ(e.what(), "No printer is installed or selected");
    }
    EXPECT_FALSE(pp.Printing());
    pp.setMarginTop(10);
    EXPECT_DOUBLE_EQ(pp.MarginTop(), 10);
}

TEST(PagePrinterWithoutPrinter, TheMainWindowDesignFitsAnyPrinter) {
    ScopedPrinter printer(std::make_unique<TMemoryPrinter>(LetterAt(600)));
    TPagePrinter pp;
    pp.setObjectName(u"PagePrinter1"_s);
    QFont font(u"Courier New"_s);
    font.setPixelSize(13);
    pp.setFont(font);
    pp.setMargins(1.0 / 6, 1.0 / 6, 71.0 / 300, 71.0 / 300);
    pp.hide();
    // Below the quarter-inch strip of this printer, so the strip is used.
    EXPECT_DOUBLE_EQ(pp.MarginTop(), 0.25);
    EXPECT_DOUBLE_EQ(pp.MarginLeft(), 0.25);
    EXPECT_EQ(pp.TextWidth(), 4800);
    EXPECT_EQ(pp.LineHeight(), 83);
}

INSTANTIATE_TEST_SUITE_P(Resolutions, PagePrinterAt, ::testing::Values(300, 600));
