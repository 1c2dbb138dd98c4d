// The on-screen page view: the sheet's size on screen, the scroll ranges and positions, and
// the painted pixels read back at 96 pixels per inch.
#include "PrinterFixture.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QScrollBar>

namespace sapidoro::test {
namespace {

// An A4 sheet (210 x 297 mm) at 300 dots per inch with 6 mm strips.
TMemoryPrinter::Sheet A4At300() {
    return {300, 300, 2480, 3508, 71, 71};
}

// A shown page printer, so that its viewport and paint box have their real sizes.
class PageViewTest : public ::testing::Test {
protected:
    void Show(int width, int height) {
        pp.resize(width, height);
        pp.show();
        QApplication::processEvents();
        if (pp.PaintBox()->logicalDpiX() != 96 || pp.PaintBox()->logicalDpiY() != 96)
            GTEST_SKIP() << "the worked figures need a 96 pixels-per-inch screen";
        pp.UpdateScrollRanges();
    }
    QImage Grab() const {
        return pp.PaintBox()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    // The sheet's corners as the view centres it in the paint box.
    QRect Sheet() const {
        const int w = pp.ViewPageWidth(), h = pp.ViewPageHeight();
        return {(pp.PaintBox()->width() - w) / 2, (pp.PaintBox()->height() - h) / 2, w, h};
    }

    ScopedPrinter printer{TMemoryPrinter::WithoutPrinter()};
    TPagePrinter pp;
};

TEST_F(PageViewTest, SheetSizeAndScrollRangesFollowPrinterUnitZoomAndShadow) {
    Show(150, 150);
    if (HasFatalFailure() || IsSkipped()) return;
    struct Case {
        bool a4Printer;
        TMeasureUnit unit;
        std::uint32_t zoom, shadow;
        int width, height, horz, vert;
    };
    const Case cases[] = {
        {false, muInches, 25, 5, 204, 264, 216, 276},       // 8.5 x 11 inches without printer
        {false, muMillimeters, 25, 5, 198, 281, 210, 293},  // 210 x 297 mm without printer
        {true, muInches, 25, 5, 198, 281, 210, 293},        // the printer's A4 sheet
        {true, muInches, 25, 0, 198, 281, 200, 283},        // no shadow: 2 pixels beyond
        {true, muInches, 100, 5, 794, 1123, 806, 1135},     // real size
        {false, muInches, 50, 3, 408, 528, 416, 536},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        auto previous = SetPrinter(c.a4Printer ? std::make_unique<TMemoryPrinter>(A4At300())
                                               : TMemoryPrinter::WithoutPrinter());
        pp.setMeasureUnit(c.unit);
        pp.setShadowOffset(c.shadow);
        pp.setZoomPercent(c.zoom);
        EXPECT_EQ(pp.ViewPageWidth(), c.width);
        EXPECT_EQ(pp.ViewPageHeight(), c.height);
        EXPECT_EQ(pp.HorzScrollRange(), c.horz);
        EXPECT_EQ(pp.VertScrollRange(), c.vert);
        EXPECT_EQ(pp.PaintBox()->width(), std::max(c.horz, pp.viewport()->width()));
        SetPrinter(std::move(previous));
        pp.setMeasureUnit(muInches);
    }
}

TEST_F(PageViewTest, ScreenDotsRoundOnceAtFullSizeAndOnceAfterZooming) {
    Show(150, 150);
    if (HasFatalFailure() || IsSkipped()) return;
    EXPECT_EQ(pp.ScreenDotsX(0.25), 24);
    EXPECT_EQ(pp.ZoomedScreenDotsX(0.25), 6);
    // 1/96 inch is one pixel, a quarter of it rounds to 0; 0.0625 inch is 6 -> 1.5 -> 2.
    EXPECT_EQ(pp.ZoomedScreenDotsY(1.0 / 96), 0);
    EXPECT_EQ(pp.ZoomedScreenDotsY(0.0625), 2);
    // 0.026 inch is 2.496 pixels: rounded first to 2, then zoomed to 0.5, which rounds to even 0.
    EXPECT_EQ(pp.ScreenDotsX(0.026), 2);
    EXPECT_EQ(pp.ZoomedScreenDotsX(0.026), 0);
    pp.setMeasureUnit(muMillimeters);
    EXPECT_EQ(pp.ScreenDotsY(25.4), 96);
    pp.setZoomPercent(50);
    EXPECT_EQ(pp.ZoomedScreenDotsY(25.4), 48);
}

TEST_F(PageViewTest, ScrollPositionsFollowZoomLocationAtTheNextRecompute) {
    Show(120, 120);
    if (HasFatalFailure() || IsSkipped()) return;
    QScrollBar *horz = pp.horizontalScrollBar();
    QScrollBar *vert = pp.verticalScrollBar();
    horz->setValue(30);
    vert->setValue(40);
    pp.setZoomLocation(zlCenter);
    EXPECT_EQ(horz->value(), 30) << "setting ZoomLocation alone does not move the view";
    pp.setZoomPercent(25);
    EXPECT_EQ(horz->value(), (pp.HorzScrollRange() - pp.viewport()->width()) / 2);
    EXPECT_EQ(vert->value(), (pp.VertScrollRange() - pp.viewport()->height()) / 2);
    pp.setZoomLocation(zlTopCenter);
    pp.setZoomPercent(25);
    EXPECT_EQ(horz->value(), (pp.HorzScrollRange() - pp.viewport()->width()) / 2);
    EXPECT_EQ(vert->value(), 0);
    pp.setZoomLocation(zlTopLeft);
    pp.setShadowOffset(2);
    EXPECT_EQ(horz->value(), 0);
    EXPECT_EQ(vert->value(), 0);
}

TEST_F(PageViewTest, PaintsGradientSheetShadowAndDottedMargins) {
    Show(400, 400);
    if (HasFatalFailure() || IsSkipped()) return;
    const QColor colour(200, 100, 40);
    pp.setColor(colour);
    pp.setShadowColor(QColor(10, 120, 10));
    const QImage image = Grab();
    const QRect sheet = Sheet();
    ASSERT_EQ(sheet.size(), QSize(204, 264));
    const int left = sheet.left(), top = sheet.top();
    const int right = left + 204, bottom = top + 264;
    const int n = image.height() - 1;
    const auto pixel = [&](int x, int y) { return image.pixelColor(x, y); };

    // Gradient rows: black at the top, `Color` at the bottom, integer division in between.
    EXPECT_EQ(pixel(0, 0), QColor(0, 0, 0));
    EXPECT_EQ(pixel(3, n), colour);
    for (int d : {1, n / 3, n / 2, n - 1})
        EXPECT_EQ(pixel(2, d), QColor(d * 200 / n, d * 100 / n, d * 40 / n)) << "row " << d;

    // The sheet: black outline with the right and bottom edges excluded, white inside.
    EXPECT_EQ(pixel(left, top), QColor(Qt::black));
    EXPECT_EQ(pixel(right - 1, bottom - 1), QColor(Qt::black));
    EXPECT_EQ(pixel(left + 1, top + 1), QColor(Qt::white));
    EXPECT_EQ(pixel(right - 2, bottom - 2), QColor(Qt::white));
    EXPECT_NE(pixel(left - 1, top + 1), QColor(Qt::black));

    // The two shadow rectangles, offset by 5.
    const QColor shadow(10, 120, 10);
    EXPECT_EQ(pixel(right, top + 5), shadow);
    EXPECT_EQ(pixel(right + 4, bottom + 4), shadow);
    EXPECT_EQ(pixel(left + 5, bottom), shadow);
    EXPECT_NE(pixel(right, top + 4), shadow);
    EXPECT_NE(pixel(right + 5, top + 10), shadow);
    EXPECT_NE(pixel(left + 4, bottom), shadow);
    EXPECT_NE(pixel(left + 10, bottom + 5), shadow);

    // Margins of a quarter inch (the strips without a printer): 6 pixels in at 25%, dotted.
    const QColor grey(192, 192, 192);
    EXPECT_TRUE(pixel(left + 6, top + 6) == grey || pixel(left + 7, top + 6) == grey);
    int dots = 0;
    for (int x = left + 6; x < right - 6; ++x) dots += pixel(x, top + 6) == grey;
    EXPECT_GE(dots, (204 - 12) / 2 - 1);
    EXPECT_LE(dots, (204 - 12) / 2 + 1);
    EXPECT_NE(pixel(left + 5, top + 6), grey);
    int column = 0;
    for (int y = top + 6; y < bottom - 6; ++y) column += pixel(right - 7, y) == grey;
    EXPECT_NEAR(column, (264 - 12) / 2, 1);
}

TEST_F(PageViewTest, SwitchesDrawNoShadowNoMarginsAndTheControlsOwnBackground) {
    Show(400, 400);
    if (HasFatalFailure() || IsSkipped()) return;
    const QColor colour(30, 60, 200), shadow(250, 0, 250);
    pp.setColor(colour);
    pp.setShadowColor(shadow);
    pp.setShadowOffset(0);
    pp.setShowMargins(false);
    pp.setGradientBackground(false);
    const QImage image = Grab();
    int shadowPixels = 0, greyPixels = 0, other = 0;
    const QRect sheet = Sheet();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            shadowPixels += c == shadow;
            greyPixels += c == QColor(192, 192, 192);
            if (!sheet.contains(x, y)) other += c != colour;
        }
    EXPECT_EQ(shadowPixels, 0);
    EXPECT_EQ(greyPixels, 0);
    EXPECT_EQ(other, 0) << "outside the sheet only the control's colour";
    EXPECT_EQ(image.pixelColor(sheet.topLeft()), QColor(Qt::black));
}

TEST_F(PageViewTest, StoredPageIsDrawnInsideThePrintableAreaOfTheSheet) {
    auto previous = SetPrinter(std::make_unique<TMemoryPrinter>(LetterAt(300)));
    Show(400, 400);
    if (IsSkipped()) {
        SetPrinter(std::move(previous));
        return;
    }
    pp.setShowMargins(false);
    const QRect sheet = Sheet();
    const auto darkInside = [&](const QImage &image, const QRect &area) {
        int dark = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                dark += qGray(image.pixel(x, y)) < 160;
        return dark;
    };
    const QRect inside = sheet.adjusted(1, 1, -2, -2);
    EXPECT_EQ(darkInside(Grab(), inside), 0) << "no page: a blank sheet";

    pp.setMargins(1, 1, 1, 1);
    pp.BeginDoc();
    for (int i = 0; i < 80; ++i) pp.WriteLine(QString(60, QChar(u'M')));
    pp.EndDoc();
    ASSERT_GE(pp.PageCount(), 2);
    ASSERT_EQ(pp.PageNumber(), 1);
    const QImage page = Grab();
    // One inch of margin is 24 pixels at 25%: the text lies inside, nothing outside.
    const QRect text(sheet.left() + 24, sheet.top() + 24, sheet.width() - 48, sheet.height() - 48);
    EXPECT_GT(darkInside(page, text.adjusted(2, 2, -2, -2)), 500);
    EXPECT_EQ(darkInside(page, QRect(sheet.left() + 1, sheet.top() + 1, 20, sheet.height() - 3)),
              0);
    EXPECT_EQ(darkInside(page, QRect(sheet.left() + 1, sheet.top() + 1, sheet.width() - 3, 20)), 0);
    SetPrinter(std::move(previous));
}

TEST_F(PageViewTest, PageNumberTakesStoredPagesRefusesOthersAndIsSilentWithoutPages) {
    pp.setPageNumber(5);
    EXPECT_EQ(pp.PageNumber(), 0) << "no stored pages: 0 without a message";
    auto previous = SetPrinter(std::make_unique<TMemoryPrinter>(LetterAt(300)));
    pp.BeginDoc();
    pp.NewPage();
    pp.NewPage();
    pp.EndDoc();
    ASSERT_EQ(pp.PageCount(), 3);
    EXPECT_EQ(pp.PageNumber(), 1);
    pp.setPageNumber(3);
    EXPECT_EQ(pp.PageNumber(), 3);
    for (int wrong : {0, 4, 5, -1}) {
        try {
            pp.setPageNumber(wrong);
            ADD_FAILURE() << wrong << " was taken";
        } catch (const EPagePrinter &error) {
            EXPECT_STREQ(error.what(), "PageNumber must be between 1 and 3");
        }
        EXPECT_EQ(pp.PageNumber(), 3);
    }
    SetPrinter(std::move(previous));
}

TEST_F(PageViewTest, DefaultsAndPenLeftInTheControlsColour) {
    EXPECT_EQ(pp.ZoomPercent(), 25u);
    EXPECT_EQ(pp.ZoomLocation(), zlTopLeft);
    EXPECT_EQ(pp.ShadowOffset(), 5u);
    EXPECT_EQ(pp.ShadowColor(), QApplication::palette().color(QPalette::Dark));
    EXPECT_TRUE(pp.ShowMargins());
    EXPECT_TRUE(pp.GradientBackground());
    EXPECT_EQ(pp.size(), QSize(89, 115));
    EXPECT_EQ(pp.horizontalScrollBar()->singleStep(), 16);
    EXPECT_EQ(pp.verticalScrollBar()->singleStep(), 16);
    pp.setColor(QColor(1, 2, 3));
    QImage image(pp.PaintBox()->size(), QImage::Format_RGB32);
    QPainter painter(&image);
    pp.PaintPage(painter);
    EXPECT_EQ(painter.pen().color(), QColor(1, 2, 3));
}

}  // namespace
}  // namespace sapidoro::test
