#include "widgets/ColourButton.h"
#include "widgets/FrameBorder.h"
#include "widgets/PrinterGlyph.h"
#include "widgets/ProgressBar.h"
#include "widgets/ScrollBars.h"

#include "FormFixture.h"

#include <QBitmap>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

#include <set>

using namespace sapidoro;
using sapidoro::test::ScrollBarsOf;

TEST(PrinterGlyph, IsAYellowPrinterWithPaperAndATransparentFrame) {
    const QImage image = PrinterGlyphImage();
    EXPECT_EQ(image.size(), QSize(42, 38));
    EXPECT_EQ(image.depth(), 24);
    EXPECT_EQ(image.pixelColor(0, 37), QColor(0xC0, 0xC0, 0xC0));
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y));
    EXPECT_TRUE(colours.count(qRgb(0xFF, 0xFF, 0x00)));  // the printer
    EXPECT_TRUE(colours.count(qRgb(0xFF, 0xFF, 0xFF)));  // the paper

    // Exactly the pixels of the bottom-left colour are transparent.
    const QImage mask = PrinterGlyph().mask().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const bool frame = image.pixel(x, y) == image.pixel(0, 37);
            const bool shown = mask.pixelIndex(x, y) == 1;  // set bits are opaque
            ASSERT_NE(frame, shown) << x << "," << y;
        }
}

TEST(ColourButton, FaceShowsItsColourAndClicksAreAnnounced) {
    ColourButton button;
    button.setFaceColour(QColor(0x00, 0xC8, 0xFF));
    button.setText(QStringLiteral("RESET"));
    button.resize(54, 42);
    EXPECT_EQ(test::DominantColour(&button), QColor(0x00, 0xC8, 0xFF));
    QSignalSpy clicks(&button, &QPushButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
}

TEST(ProgressBar, FilledPartAndBackgroundInTheirColours) {
    ProgressBar bar;
    bar.setBarColour(QColor(0x00, 0x80, 0x00));
    bar.setBackgroundColour(QColor(0xC0, 0xDC, 0xC0));
    bar.resize(184, 16);
    bar.setRange(0, 4);
    bar.setValue(1);
    QImage image = bar.grab().toImage();
    EXPECT_EQ(image.pixelColor(10, 8), QColor(0x00, 0x80, 0x00));
    EXPECT_EQ(image.pixelColor(170, 8), QColor(0xC0, 0xDC, 0xC0));
    bar.setValue(4);
    image = bar.grab().toImage();
    EXPECT_EQ(image.pixelColor(170, 8), QColor(0x00, 0x80, 0x00));
    bar.setValue(0);
    image = bar.grab().toImage();
    EXPECT_EQ(image.pixelColor(10, 8), QColor(0xC0, 0xDC, 0xC0));
}

TEST(FrameBorder, LetsClicksThroughToTheControlsBelow) {
    FrameBorder border;
    EXPECT_TRUE(border.testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_EQ(border.focusPolicy(), Qt::NoFocus);
}

TEST(ScrollBars, SwitchOffAndOnAgain) {
    QPlainTextEdit memo;
    for (ScrollStyle style :
         {ScrollStyle::None, ScrollStyle::Both, ScrollStyle::Vertical, ScrollStyle::Horizontal}) {
        SetScrollBars(&memo, style);
        EXPECT_EQ(ScrollBarsOf(&memo), style);
    }
    SetScrollBars(&memo, ScrollStyle::Vertical);
    EXPECT_EQ(memo.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(memo.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}
