#include "app/ScanProgress.h"
#include "app/TextBoxLines.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSignalSpy>
#include <QThread>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace sapidoro;
using Strings = std::vector<std::string>;

TEST(ScanProgress, CountsEveryRecordAndShowsWhereTheScanEnded) {
    QProgressBar bar;
    bar.setRange(0, 1000);
    bar.setValue(0);
    {
        ScanProgress progress(&bar);
        for (int i = 0; i < 1000; ++i) progress.advance();
        EXPECT_EQ(progress.position(), 1000);
    }
    EXPECT_EQ(bar.value(), 1000);

    // A scan that fails half-way leaves the bar where it got to.
    bar.setValue(0);
    try {
        ScanProgress progress(&bar);
        for (int i = 0; i < 371; ++i) progress.advance();
        throw std::runtime_error("read error");
    } catch (const std::runtime_error &) {
    }
    EXPECT_EQ(bar.value(), 371);
}

TEST(ScanProgress, MoreRecordsThanTheMaximumFillTheBar) {
    QProgressBar bar;
    bar.setRange(0, 5);
    bar.setValue(0);
    {
        ScanProgress progress(&bar);
        for (int i = 0; i < 7; ++i) progress.advance();
    }
    EXPECT_EQ(bar.value(), 5);
}

TEST(ScanProgress, TheBarFollowsALongScanAtABoundedRate) {
    QProgressBar bar;
    bar.setRange(0, 10'000'000);
    bar.setValue(0);
    bar.show();
    QSignalSpy changes(&bar, &QProgressBar::valueChanged);
    QElapsedTimer clock;
    clock.start();
    {
        ScanProgress progress(&bar);
        for (int i = 0; i < 64; ++i) progress.advance();
        EXPECT_EQ(bar.value(), 0);
        // A scan slower than the interval shows its progress while it runs.
        QThread::msleep(ScanProgress::kPaintInterval + 5);
        for (int i = 0; i < 64; ++i) progress.advance();
        EXPECT_EQ(bar.value(), 128);
        for (int i = 128; i < 10'000'000; ++i) progress.advance();
    }
    EXPECT_EQ(bar.value(), 10'000'000);
    // Far fewer updates than records: one per interval, and the last one.
    EXPECT_LE(changes.count(), clock.elapsed() / ScanProgress::kPaintInterval + 2);
}

TEST(TextBoxLines, LinesKeepEveryCharacter) {
    QPlainTextEdit box;
    EXPECT_EQ(BoxLines(&box), Strings{});
    // A non-breaking space (0xA0), trailing blanks and an accented letter stay as they are.
    const Strings lines = {
        "200 g ==== Farina\xA0"
        "00",
        "", "  Cuocere  ", "Bab\xE0"};
    SetBoxLines(&box, lines);
    EXPECT_EQ(box.document()->blockCount(), 4);
    EXPECT_EQ(BoxLines(&box), lines);
    SetBoxLines(&box, {});
    EXPECT_EQ(BoxLines(&box), Strings{});
}

TEST(TextBoxLines, EveryLineEndOfABoxTextEndsALine) {
    QPlainTextEdit box;
    const auto linesOf = [&box](const char16_t *text) {
        box.setPlainText(QString::fromUtf16(text));
        return BoxLines(&box);
    };
    EXPECT_EQ(linesOf(u""), Strings{});
    EXPECT_EQ(linesOf(u"a"), Strings{"a"});
    EXPECT_EQ(linesOf(u"a\nb\r\nc\rd"), (Strings{"a", "b", "c", "d"}));
    EXPECT_EQ(linesOf(u"a\n\nb\n"), (Strings{"a", "", "b", ""}));
}
