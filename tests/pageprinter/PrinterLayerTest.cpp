#include "PrinterFixture.h"

#include "pageprinter/QtPrinter.h"
#include "pageprinter/RecordingDevice.h"

#include <QPainter>
#include <QPrinterInfo>

using namespace Qt::StringLiterals;

using namespace sapidoro;
using namespace sapidoro::test;

TEST(MemoryPrinter, ReportsItsSheetAndSwapsItForLandscape) {
    TMemoryPrinter printer(LetterAt(600));
    EXPECT_TRUE(printer.Available());
    EXPECT_EQ(printer.GetDeviceCaps(DeviceCap::LOGPIXELSX), 600);
    EXPECT_EQ(printer.GetDeviceCaps(DeviceCap::PHYSICALWIDTH), 5100);
    EXPECT_EQ(printer.GetDeviceCaps(DeviceCap::PHYSICALHEIGHT), 6600);
    EXPECT_EQ(printer.GetDeviceCaps(DeviceCap::PHYSICALOFFSETY), 150);
    printer.setOrientation(poLandscape);
    EXPECT_EQ(printer.Orientation(), poLandscape);
    EXPECT_EQ(printer.GetDeviceCaps(DeviceCap::PHYSICALWIDTH), 6600);
    EXPECT_EQ(printer.GetDeviceCaps(DeviceCap::PHYSICALHEIGHT), 5100);
}

TEST(MemoryPrinter, FontMetricsAreAtDeviceResolution) {
    TMemoryPrinter printer(LetterAt(600));
    QFont font(u"Courier New"_s);
    font.setPointSize(10);
    const PrinterTextMetrics at600 = printer.TextMetrics(font);
    TMemoryPrinter low(LetterAt(300));
    const PrinterTextMetrics at300 = low.TextMetrics(font);
    EXPECT_NEAR(at600.Height, 2 * at300.Height, 2);
    EXPECT_GT(at300.Height, 40);  // about 42 dots of em at 300 dpi plus internal leading
    EXPECT_EQ(at300.ExternalLeading, 0);
}

TEST(MemoryPrinter, RecordsJobsPagesAndDrawingCalls) {
    TMemoryPrinter printer(LetterAt(300));
    printer.setTitle(u"A title that is longer than thirty-one characters"_s);
    printer.setCopies(2);
    printer.BeginDoc();
    EXPECT_TRUE(printer.Printing());
    EXPECT_THROW(printer.setCopies(3), EPrinter);
    EXPECT_THROW(printer.BeginDoc(), EPrinter);
    printer.Canvas().setPen(QPen(Qt::black, 4));
    printer.Canvas().drawLine(10, 20, 110, 20);
    printer.NewPage();
    printer.Canvas().translate(5, 7);
    printer.Canvas().drawText(QPointF(100, 200), u"Ciao"_s);
    printer.EndDoc();
    EXPECT_FALSE(printer.Printing());
    EXPECT_THROW(printer.NewPage(), EPrinter);

    ASSERT_EQ(printer.Jobs().size(), 1u);
    const TMemoryPrinter::Job &job = printer.Jobs()[0];
    EXPECT_EQ(job.documentName, u"A title that is longer than thi"_s);
    EXPECT_EQ(job.copies, 2);
    EXPECT_TRUE(job.ended);
    ASSERT_EQ(job.pages.size(), 2u);
    ASSERT_EQ(job.pages[0].size(), 1u);
    EXPECT_EQ(job.pages[0][0].kind, DrawCall::Line);
    EXPECT_EQ(job.pages[0][0].line, QLineF(10, 20, 110, 20));
    EXPECT_EQ(job.pages[0][0].penWidth, 4);
    ASSERT_EQ(job.pages[1].size(), 1u);
    EXPECT_EQ(job.pages[1][0].kind, DrawCall::Text);
    EXPECT_EQ(job.pages[1][0].text, u"Ciao"_s);
    EXPECT_EQ(job.pages[1][0].position, QPointF(105, 207));
    EXPECT_EQ(printer.Events(), (std::vector<TMemoryPrinter::Event>{TMemoryPrinter::JobStarted,
                                                                    TMemoryPrinter::PageStarted,
                                                                    TMemoryPrinter::JobEnded}));
}

TEST(MemoryPrinter, AbortEndsTheJobWithoutFinishingIt) {
    TMemoryPrinter printer(LetterAt(300));
    printer.BeginDoc();
    printer.Abort();
    EXPECT_FALSE(printer.Printing());
    EXPECT_TRUE(printer.Aborted());
    EXPECT_TRUE(printer.Jobs()[0].aborted);
    EXPECT_FALSE(printer.Jobs()[0].ended);
}

TEST(MemoryPrinter, WithoutPrinterEveryDeviceQueryFails) {
    auto printer = TMemoryPrinter::WithoutPrinter();
    EXPECT_FALSE(printer->Available());
    EXPECT_FALSE(printer->TryDeviceCaps(DeviceCap::LOGPIXELSX).has_value());
    try {
        printer->GetDeviceCaps(DeviceCap::LOGPIXELSY);
        FAIL() << "no error";
    } catch (const EPrinter &e) {
        EXPECT_STREQ(e.what(), "No printer is installed or selected");
    }
    EXPECT_THROW(printer->TextMetrics(QFont()), EPrinter);
    EXPECT_THROW(printer->BeginDoc(), EPrinter);
    EXPECT_THROW(printer->Orientation(), EPrinter);
    printer->setTitle(u"kept without a printer"_s);
    EXPECT_EQ(printer->Title(), u"kept without a printer"_s);
}

TEST(QtPrinter, FollowsTheSystemsDefaultPrinter) {
    QtPrinter printer;
    const bool hasDefault = !QPrinterInfo::defaultPrinter().isNull();
    EXPECT_EQ(printer.Available(), hasDefault);
    if (hasDefault) {
        EXPECT_GT(printer.GetDeviceCaps(DeviceCap::LOGPIXELSX), 0);
        EXPECT_GT(printer.GetDeviceCaps(DeviceCap::PHYSICALWIDTH),
                  2 * printer.GetDeviceCaps(DeviceCap::PHYSICALOFFSETX));
    } else {
        EXPECT_THROW(printer.GetDeviceCaps(DeviceCap::LOGPIXELSX), EPrinter);
        EXPECT_THROW(printer.BeginDoc(), EPrinter);
    }
}

TEST(PrinterObject, TheCurrentPrinterCanBeSwapped) {
    auto memory = std::make_unique<TMemoryPrinter>(LetterAt(600));
    TMemoryPrinter *raw = memory.get();
    auto previous = SetPrinter(std::move(memory));
    EXPECT_EQ(&Printer(), raw);
    auto back = SetPrinter(std::move(previous));
    EXPECT_EQ(back.get(), raw);
    EXPECT_NE(&Printer(), raw);
}

TEST(RecordedPage, PlaysOntoAnyPainterAtExactDots) {
    PagePicture page(2400, 3150);
    QFont font(u"Courier New"_s);
    font.setPixelSize(42);
    page.AddText(QPoint(225, 54), u"Ciao"_s, font);
    page.AddLine(QPoint(150, 150), QPoint(2250, 150), 2, Qt::black);
    DotsDevice device(300, 300, 2550, 3300);
    QPainter painter(&device);
    page.Play(painter, QPoint(75, 75));
    painter.end();
    ASSERT_EQ(device.Calls().size(), 2u);
    const DrawCall &text = device.Calls()[0];
    EXPECT_EQ(text.kind, DrawCall::Text);
    EXPECT_EQ(text.text, u"Ciao"_s);
    EXPECT_EQ(text.position.x(), 300);
    EXPECT_EQ(text.position.y(), 129 + QFontMetrics(font, &device).ascent());
    EXPECT_EQ(device.Calls()[1].line, QLineF(225, 225, 2325, 225));
    EXPECT_EQ(device.Calls()[1].penWidth, 2);
}
