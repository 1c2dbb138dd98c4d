#include "PrinterFixture.h"

#include "pageprinter/PgPrnPrg.h"

#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace sapidoro;
using namespace sapidoro::test;

namespace {

TEST(ProgressPageText, FollowsTheRangeAndTheCopies) {
    struct Case {
        int page, first, last;
        std::uint32_t copies;
        const char *text;
    };
    const Case cases[] = {
        {3, 1, 5, 2, "Page 3 of 5 x 2 Copies"},
        {3, 1, 5, 1, "Page 3 of 5"},
        {3, 2, 5, 2, "Page 3"},  // a range that does not start at page 1 gives no count
        {1, 1, 1, 1, "Page 1 of 1"},
        {12, 1, 40, 3, "Page 12 of 40 x 3 Copies"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ProgressPageText(c.page, c.first, c.last, c.copies), QString::fromLatin1(c.text));
}

TEST(ProgressDialog, FixedLayoutAtTheScreensResolution) {
    TPPPrnPrgDlg window;
    const int ppi = window.PixelsPerInch();
    const auto scaled = [ppi](int pixels) { return MulDiv(pixels, ppi, 96); };
    const auto box = [&](int left, int top, int width, int height) {
        return QRect(scaled(left), scaled(top), scaled(width), scaled(height));
    };
    EXPECT_EQ(window.objectName(), u"PPPrnPrgDlg"_s);
    EXPECT_EQ(window.windowTitle(), u"Print Progress"_s);
    EXPECT_FALSE(window.isModal());
    EXPECT_FALSE(window.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinMaxButtonsHint);
    EXPECT_EQ(window.size(), QSize(scaled(293), scaled(133)));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());  // fixed

    EXPECT_EQ(window.Bevel->geometry(), box(8, 8, 277, 57));
    EXPECT_EQ(window.lblStatus->geometry(), box(20, 20, 249, 13));
    EXPECT_EQ(window.lblPageNumber->geometry(), box(20, 40, 253, 13));
    EXPECT_EQ(window.ProgBar->geometry(), box(8, 76, 277, 13));
    EXPECT_EQ(window.btnCancel->geometry(), box(109, 100, 75, 25));
    EXPECT_EQ(window.lblStatus->alignment(), Qt::AlignCenter);
    EXPECT_EQ(window.lblPageNumber->alignment(), Qt::AlignCenter);
    EXPECT_EQ(window.ProgBar->minimum(), 0);
    EXPECT_EQ(window.ProgBar->maximum(), 10);
    EXPECT_EQ(window.ProgBar->value(), 0);
    EXPECT_EQ(window.btnCancel->text(), u"&Cancel"_s);
    EXPECT_TRUE(window.btnCancel->isDefault());
    EXPECT_EQ(window.font().pixelSize(), scaled(11));

    // Advances by one; past the maximum it starts again from the minimum.
    window.ProgBar->setMaximum(2);
    window.StepIt();
    window.StepIt();
    EXPECT_EQ(window.ProgBar->value(), 2);
    window.StepIt();
    EXPECT_EQ(window.ProgBar->value(), 0);

    window.HideCancel();
    EXPECT_FALSE(window.btnCancel->isEnabled());
    EXPECT_TRUE(window.btnCancel->isHidden());
    EXPECT_EQ(window.height(), 98 * ppi / 96);
}

TEST(ProgressDialog, TheFontIsWhatFontconfigMakesOfItsFamily) {
    const QString fcMatch = QStandardPaths::findExecutable(u"fc-match"_s);
    if (fcMatch.isEmpty()) GTEST_SKIP() << "fc-match (fontconfig) is not installed";
    QProcess match;
    match.start(fcMatch, {u"-f"_s, u"%{family[0]}"_s, u"MS Sans Serif"_s});
    ASSERT_TRUE(match.waitForFinished(10000));
    const QString family = QString::fromUtf8(match.readAllStandardOutput()).trimmed();
    ASSERT_FALSE(family.isEmpty());
    TPPPrnPrgDlg window;
    EXPECT_EQ(window.font().family(), u"MS Sans Serif"_s);
    EXPECT_EQ(QFontInfo(window.font()).family(), family);
}

// A page printer with a document, showing its progress window through UpdateProgress.
class ProgressWindow : public ::testing::Test {
protected:
    ProgressWindow() : printer(std::make_unique<TMemoryPrinter>(LetterAt(300))) {}
    TPPPrnPrgDlg *Window() const { return pp.findChild<TPPPrnPrgDlg *>(u"PPPrnPrgDlg"_s); }

    ScopedPrinter printer;
    TPagePrinter pp;
};

TEST_F(ProgressWindow, ShowsTheJobAndClosesOnFinish) {
    pp.setTitle(u"Ricetta"_s);
    pp.setCopies(2);
    EXPECT_EQ(Window(), nullptr);
    pp.UpdateProgress(QString(), 3, 1, 5);
    TPPPrnPrgDlg *window = Window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window, pp.ProgressWindow());
    EXPECT_EQ(window->parent(), &pp);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), u"Ricetta"_s);
    EXPECT_EQ(window->lblStatus->text(), u"Sending Pages To Printer"_s);
    EXPECT_EQ(window->lblPageNumber->text(), u"Page 3 of 5 x 2 Copies"_s);
    EXPECT_EQ(window->ProgBar->maximum(), 10);
    EXPECT_EQ(window->ProgBar->value(), 1);
    EXPECT_TRUE(window->btnCancel->isVisible());

    pp.setCopies(1);
    pp.UpdateProgress(u"Stampa in corso"_s, 4, 2, 5);
    EXPECT_EQ(Window(), window);  // the same window for the whole job
    EXPECT_EQ(window->lblStatus->text(), u"Stampa in corso"_s);
    EXPECT_EQ(window->lblPageNumber->text(), u"Page 4"_s);
    EXPECT_EQ(window->ProgBar->maximum(), 4);
    EXPECT_EQ(window->ProgBar->value(), 2);

    pp.UpdateProgress(u"<FINISH>"_s, 0, 0, 0);
    EXPECT_EQ(Window(), nullptr);
    EXPECT_EQ(pp.ProgressWindow(), nullptr);
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget *widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

TEST_F(ProgressWindow, UpdatesArePaintedAtOnceAtScreenPace) {
    pp.setShowCancel(false);  // no events are let through between pages then
    pp.UpdateProgress(QString(), 1, 1, 3);
    ASSERT_NE(Window(), nullptr);
    // Once the window system has put the window on screen, every update paints it at once.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Window()));
    PaintCounter label(Window()->lblPageNumber);
    PaintCounter bar(Window()->ProgBar);
    for (int page = 2; page <= 3; ++page) {
        QTest::qSleep(120);  // longer than the paint pace: the next update is painted
        const int barBefore = bar.paints;
        pp.UpdateProgress(QString(), page, 1, 3);
        EXPECT_EQ(label.paints, page - 1);
        EXPECT_GT(bar.paints, barBefore);
    }
}

TEST_F(ProgressWindow, NoWindowWithoutShowProgress) {
    pp.setShowProgress(false);
    pp.UpdateProgress(QString(), 1, 1, 1);
    EXPECT_EQ(Window(), nullptr);
}

TEST_F(ProgressWindow, WithoutCancelTheWindowIsShorterAndHasNoButton) {
    pp.setShowCancel(false);
    pp.UpdateProgress(QString(), 1, 1, 1);
    TPPPrnPrgDlg *window = Window();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->btnCancel->isVisible());
    EXPECT_EQ(window->height(), 98 * window->PixelsPerInch() / 96);
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(pp.Document().CancelRequested());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(ProgressWindow, CancelByClickEscapeOrEnter) {
    const std::function<void(TPPPrnPrgDlg &)> ways[] = {
        [](TPPPrnPrgDlg &w) { QTest::mouseClick(w.btnCancel, Qt::LeftButton); },
        [](TPPPrnPrgDlg &w) { QTest::keyClick(&w, Qt::Key_Escape); },
        [](TPPPrnPrgDlg &w) { QTest::keyClick(&w, Qt::Key_Return); },
    };
    for (const auto &cancel : ways) {
        pp.Document().setCopies(1);
        pp.UpdateProgress(QString(), 1, 1, 3);
        ASSERT_NE(Window(), nullptr);
        // Each job starts with a new window, so that its bar starts empty.
        EXPECT_EQ(Window()->ProgBar->value(), 1);
        EXPECT_FALSE(pp.Document().CancelRequested());
        cancel(*Window());
        EXPECT_TRUE(pp.Document().CancelRequested());
        EXPECT_TRUE(Window()->isVisible());  // the window stays until the job closes it
        pp.UpdateProgress(u"<FINISH>"_s, 0, 0, 0);
        // The next job clears the request when it starts.
        pp.BeginDoc();
        pp.EndDoc();
        pp.setShowProgress(false);
        EXPECT_TRUE(pp.Print());
        pp.setShowProgress(true);
        EXPECT_FALSE(pp.Document().CancelRequested());
    }
}

}  // namespace
