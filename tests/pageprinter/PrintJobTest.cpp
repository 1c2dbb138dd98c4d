#include "PrinterFixture.h"

#include "pageprinter/PgPrnPrg.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>

#include <memory>
#include <vector>

using namespace Qt::StringLiterals;
using namespace sapidoro;
using namespace sapidoro::test;

namespace {

using Event = TMemoryPrinter::Event;

// The page numbers a job received, read from the "page n" text each stored page carries.
std::vector<int> PagesOf(const TMemoryPrinter::Job &job) {
    std::vector<int> pages;
    for (const std::vector<DrawCall> &page : job.pages) {
        int number = 0;
        for (const DrawCall &call : page)
            if (call.kind == DrawCall::Text && call.text.startsWith(u"page "_s))
                number = call.text.mid(5).toInt();
        pages.push_back(number);
    }
    return pages;
}

// Events of one job that sent `pages` pages and ended normally.
std::vector<Event> EndedJob(int pages) {
    std::vector<Event> events{TMemoryPrinter::JobStarted};
    for (int i = 1; i < pages; ++i) events.push_back(TMemoryPrinter::PageStarted);
    events.push_back(TMemoryPrinter::JobEnded);
    return events;
}

// Clicks the Cancel button of every progress window as it appears, through posted mouse
// events: the click arrives only when the print job lets pending events run.
class CancelOnShow : public QObject {
public:
    CancelOnShow() { qApp->installEventFilter(this); }
    ~CancelOnShow() override { qApp->removeEventFilter(this); }
    int shown = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Show && watched->objectName() == u"PPPrnPrgDlg"_s) {
            ++shown;
            auto *button = watched->findChild<QPushButton *>(u"btnCancel"_s);
            const QPointF centre = QRectF(button->rect()).center();
            for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                QCoreApplication::postEvent(
                    button, new QMouseEvent(type, centre, button->mapToGlobal(centre),
                                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        }
        return false;
    }
};

// A printer that fails when asked for the page after `pagesBeforeFailure` pages.
class FailingPrinter : public TMemoryPrinter {
public:
    FailingPrinter(int pagesBeforeFailure)
        : TMemoryPrinter(LetterAt(300)), m_left(pagesBeforeFailure) {}

protected:
    void StartNextPage() override {
        if (--m_left == 0) throw EPrinter("Out of paper");
        TMemoryPrinter::StartNextPage();
    }

private:
    int m_left;
};

// A page printer on a 300 dpi letter printer with a document of three pages.
class PrintJob : public ::testing::Test {
protected:
    PrintJob() : printer(std::make_unique<TMemoryPrinter>(LetterAt(300))) {
        pp = std::make_unique<TPagePrinter>();
        pp->setShowProgress(false);
    }
    void WriteThreePages() {
        pp->BeginDoc();
        for (int page = 1; page <= 3; ++page) {
            if (page > 1) pp->NewPage();
            pp->WriteLine(u"page "_s + QString::number(page));
        }
        pp->EndDoc();
    }
    TPPPrnPrgDlg *Window() const { return pp->findChild<TPPPrnPrgDlg *>(u"PPPrnPrgDlg"_s); }

    ScopedPrinter printer;
    std::unique_ptr<TPagePrinter> pp;
};

TEST_F(PrintJob, NothingToPrintStartsNoJob) {
    EXPECT_TRUE(pp->Print());
    EXPECT_TRUE(printer->Jobs().empty());
}

TEST_F(PrintJob, CopiesInCollatedAndUncollatedOrder) {
    WriteThreePages();
    printer->setCopies(4);
    pp->setCopies(2);
    pp->setCollate(true);
    EXPECT_TRUE(pp->Print());
    pp->setCollate(false);
    EXPECT_TRUE(pp->Print());

    ASSERT_EQ(printer->Jobs().size(), 2u);
    EXPECT_EQ(PagesOf(printer->Jobs()[0]), (std::vector<int>{1, 2, 3, 1, 2, 3}));
    EXPECT_EQ(PagesOf(printer->Jobs()[1]), (std::vector<int>{1, 1, 2, 2, 3, 3}));
    for (const TMemoryPrinter::Job &job : printer->Jobs()) {
        EXPECT_EQ(job.copies, 1);  // the component makes the copies, not the device
        EXPECT_TRUE(job.ended);
    }
    // A new device page between pages, none after the last one.
    std::vector<Event> both = EndedJob(6);
    const std::vector<Event> second = EndedJob(6);
    both.insert(both.end(), second.begin(), second.end());
    EXPECT_EQ(printer->Events(), both);
    EXPECT_EQ(printer->Copies(), 4);
}

TEST_F(PrintJob, PageRanges) {
    WriteThreePages();
    struct Case {
        std::uint32_t from, to;
        std::uint32_t fromAfter, toAfter;
        std::vector<int> pages;
    };
    const Case cases[] = {
        {0, 0, 0, 0, {1, 2, 3}},  // the whole document
        {2, 0, 2, 2, {2}},        // a start above the end moves the end along
        {0, 9, 0, 9, {1, 2, 3}},  // an end beyond the document prints up to the last page
        {2, 9, 2, 9, {2, 3}},     //
        {7, 8, 7, 8, {3}},        // both beyond: the last page
    };
    for (const Case &c : cases) {
        pp->setToPage(0);  // clears both
        pp->setToPage(c.to);
        pp->setFromPage(c.from);
        EXPECT_EQ(pp->FromPage(), c.fromAfter);
        EXPECT_EQ(pp->ToPage(), c.toAfter);
        const std::size_t jobs = printer->Jobs().size();
        EXPECT_TRUE(pp->Print());
        ASSERT_EQ(printer->Jobs().size(), jobs + 1);
        EXPECT_EQ(PagesOf(printer->Jobs().back()), c.pages) << c.from << ".." << c.to;
    }
    // An end set below the start takes the start down with it.
    pp->setToPage(3);
    pp->setFromPage(3);
    pp->setToPage(1);
    EXPECT_EQ(pp->FromPage(), 1u);
    EXPECT_EQ(pp->ToPage(), 1u);
}

TEST_F(PrintJob, CopiesOfZeroOrLessAreOne) {
    const std::pair<std::uint32_t, std::uint32_t> cases[] = {
        {0, 1}, {0xFFFFFFFFu, 1}, {0x80000000u, 1}, {1, 1}, {5, 5}, {0x7FFFFFFFu, 0x7FFFFFFFu}};
    for (const auto &[set, stored] : cases) {
        pp->setCopies(set);
        EXPECT_EQ(pp->Copies(), stored) << set;
    }
}

TEST_F(PrintJob, AnOpenDocumentIsEndedFirst) {
    pp->BeginDoc();
    pp->WriteLine(u"page 1"_s);
    EXPECT_TRUE(pp->Printing());
    EXPECT_TRUE(pp->Print());
    EXPECT_FALSE(pp->Printing());
    EXPECT_EQ(pp->PageNumber(), 1);
    ASSERT_EQ(printer->Jobs().size(), 1u);
    EXPECT_EQ(PagesOf(printer->Jobs()[0]), std::vector<int>{1});
}

TEST_F(PrintJob, CancelAtTheStartOfPageTwo) {
    // The click made while page 1 is sent is seen when page 2's turn comes.
    for (const bool abortOnCancel : {false, true}) {
        SCOPED_TRACE(abortOnCancel);
        TPagePrinter fresh;
        fresh.BeginDoc();
        fresh.WriteLine(u"page 1"_s);
        fresh.NewPage();
        fresh.WriteLine(u"page 2"_s);
        fresh.NewPage();
        fresh.EndDoc();
        fresh.setAbortOnCancel(abortOnCancel);
        printer->setCopies(3);
        const std::size_t events = printer->Events().size();

        CancelOnShow canceller;
        EXPECT_FALSE(fresh.Print());
        EXPECT_EQ(canceller.shown, 1);
        EXPECT_EQ(fresh.findChild<TPPPrnPrgDlg *>(), nullptr);  // closed first

        const TMemoryPrinter::Job &job = printer->Jobs().back();
        const std::vector<Event> tail(printer->Events().begin() + events, printer->Events().end());
        if (abortOnCancel) {
            EXPECT_TRUE(job.aborted);
            EXPECT_EQ(tail,
                      (std::vector<Event>{TMemoryPrinter::JobStarted, TMemoryPrinter::PageStarted,
                                          TMemoryPrinter::JobAborted}));
        } else {
            // Page 1, and the device page already started for page 2, which stays empty.
            EXPECT_TRUE(job.ended);
            EXPECT_EQ(tail, EndedJob(2));
            ASSERT_EQ(job.pages.size(), 2u);
            EXPECT_EQ(PagesOf(job), (std::vector<int>{1, 0}));
            EXPECT_TRUE(job.pages[1].empty());
        }
        EXPECT_FALSE(printer->Printing());
        EXPECT_EQ(printer->Copies(), 3);  // given back once the job is over
    }
}

TEST_F(PrintJob, EventsRunBetweenPagesOnlyWithProgressAndCancel) {
    WriteThreePages();
    struct Case {
        bool showProgress, showCancel, cancelled;
    };
    for (const Case c :
         {Case{true, true, true}, Case{true, false, false}, Case{false, true, false}}) {
        pp->setShowProgress(c.showProgress);
        pp->setShowCancel(c.showCancel);
        // A request posted before the job: only a job that lets events run can see it.
        QMetaObject::invokeMethod(
            pp.get(), [this] { pp->RequestCancel(); }, Qt::QueuedConnection);
        EXPECT_EQ(pp->Print(), !c.cancelled) << c.showProgress << c.showCancel;
        QCoreApplication::processEvents();
        // Cancelled at the start of page 1: the job holds only the empty first device page.
        EXPECT_EQ(printer->Jobs().back().pages.size(), c.cancelled ? 1u : 3u);
    }
}

TEST_F(PrintJob, FinishAsProgressMessageShowsNoWindow) {
    WriteThreePages();
    pp->setShowProgress(true);
    pp->setProgressMessage(u"<FINISH>"_s);
    CancelOnShow watcher;
    EXPECT_TRUE(pp->Print());
    EXPECT_EQ(watcher.shown, 0);
    EXPECT_EQ(PagesOf(printer->Jobs().back()), (std::vector<int>{1, 2, 3}));
}

TEST(PrintJobErrors, AnErrorMidJobReachesTheCallerAndFreesThePrinter) {
    auto failing = std::make_unique<FailingPrinter>(2);
    FailingPrinter *device = failing.get();
    auto previous = SetPrinter(std::move(failing));
    {
        TPagePrinter pp;
        pp.BeginDoc();
        for (int page = 1; page <= 3; ++page) {
            if (page > 1) pp.NewPage();
            pp.WriteLine(u"page "_s + QString::number(page));
        }
        pp.EndDoc();
        device->setCopies(2);
        try {
            pp.Print();
            ADD_FAILURE() << "no error";
        } catch (const EPrinter &e) {
            EXPECT_EQ(e.message(), "Out of paper");
        }
        EXPECT_EQ(pp.findChild<TPPPrnPrgDlg *>(), nullptr);
        // The failed job is dropped, so that the next job can start.
        EXPECT_FALSE(device->Printing());
        EXPECT_TRUE(device->Jobs().back().aborted);
        EXPECT_EQ(device->Copies(), 2);
        pp.setToPage(1);
        EXPECT_TRUE(pp.Print());
        EXPECT_TRUE(device->Jobs().back().ended);
    }
    SetPrinter(std::move(previous));
}

TEST(PrintJobErrors, WithoutAPrinterThePrinterErrorReachesTheCaller) {
    ScopedPrinter printer(std::make_unique<TMemoryPrinter>(LetterAt(300)));
    TPagePrinter pp;
    pp.BeginDoc();
    pp.WriteLine(u"page 1"_s);
    pp.EndDoc();
    ScopedPrinter none(TMemoryPrinter::WithoutPrinter());
    try {
        pp.Print();
        ADD_FAILURE() << "no error";
    } catch (const EPagePrinter &) {
        ADD_FAILURE() << "a refusal instead of the printer error";
    } catch (const EPrinter &e) {
        EXPECT_EQ(e.message(), "No printer is installed or selected");
    }
    EXPECT_EQ(pp.PageCount(), 1);  // the document stays for another try
}

TEST(PrintJobErrors, AJobStartedWhileAnotherRunsIsRefusedAndTheFirstGoesOn) {
    ScopedPrinter printer(std::make_unique<TMemoryPrinter>(LetterAt(300)));
    TPagePrinter pp;
    pp.setShowProgress(false);
    pp.BeginDoc();
    pp.WriteLine(u"page 1"_s);
    pp.NewPage();
    pp.WriteLine(u"page 2"_s);
    pp.EndDoc();
    // A handler run between the pages rebuilds the document and prints it again.
    bool refused = false;
    pp.setShowProgress(true);
    QMetaObject::invokeMethod(
        &pp,
        [&] {
            pp.BeginDoc();
            pp.WriteLine(u"other"_s);
            pp.EndDoc();
            try {
                pp.Print();
            } catch (const EPrinter &) {
                refused = true;
            }
        },
        Qt::QueuedConnection);
    EXPECT_TRUE(pp.Print());
    EXPECT_TRUE(refused);
    ASSERT_EQ(printer->Jobs().size(), 1u);
    EXPECT_EQ(PagesOf(printer->Jobs()[0]), (std::vector<int>{1, 2}));  // the pages it started with
}

}  // namespace
