#include "pageprinter/PageDocument.h"

#include <QPoint>

#include <algorithm>

namespace sapidoro {

void PageDocument::UpdateProgress(const QString &, int, int, int) {}

void PageDocument::ProcessPendingEvents() {}

bool PageDocument::Print() {
    if (Printing()) EndDoc();
    if (m_pages.empty()) return true;

    // The job keeps the pages it starts with: handlers run between its pages may rebuild the
    // document.
    const TPageList pages = m_pages;
    const auto count = static_cast<std::uint32_t>(pages.size());
    const int first = m_fromPage == 0 ? 1 : static_cast<int>(std::min(m_fromPage, count));
    const int last =
        m_toPage == 0 ? static_cast<int>(count) : static_cast<int>(std::min(m_toPage, count));

    // The component makes every copy itself.
    PrinterDevice &printer = Printer();
    const int savedCopies = printer.Copies();
    printer.setCopies(1);
    m_cancelRequested = false;

    try {
        printer.BeginDoc();
        SendPages(pages, first, last);
        printer.EndDoc();
    } catch (const ECancelPrinting &) {
        EndPrintJob(savedCopies);
        if (printer.Printing()) {
            if (m_abortOnCancel) {
                printer.Abort();
            } else {
                printer.EndDoc();
            }
        }
        // The job is over either way: the shared printer gets its copy count back.
        printer.setCopies(savedCopies);
        return false;
    } catch (...) {
        EndPrintJob(savedCopies);
        // A failed job is dropped, so that the shared printer object can start the next one.
        if (printer.Printing()) {
            try {
                printer.Abort();
                printer.setCopies(savedCopies);
            } catch (const Exception &) {
                // The error that ended the job is the one to report.
            }
        }
        throw;
    }
    EndPrintJob(savedCopies);
    return true;
}

void PageDocument::SendPages(const TPageList &pages, int first, int last) {
    const std::uint32_t copies = m_copies;
    if (m_collate) {
        for (std::uint32_t copy = 1; copy <= copies; ++copy)
            for (int p = first; p <= last; ++p)
                SendPage(*pages[p - 1], p, first, last, p == last && copy == copies);
    } else {
        for (int p = first; p <= last; ++p)
            for (std::uint32_t copy = 1; copy <= copies; ++copy)
                SendPage(*pages[p - 1], p, first, last, p == last && copy == copies);
    }
}

void PageDocument::SendPage(const PagePicture &page, int pageNumber, int first, int last,
                            bool lastCall) {
    if (m_showProgress && m_showCancel) ProcessPendingEvents();
    if (m_cancelRequested) throw ECancelPrinting("Printing Cancelled");
    UpdateProgress(m_progressMessage, pageNumber, first, last);
    page.Play(Printer().Canvas(), QPoint(0, 0));
    if (!lastCall) Printer().NewPage();
}

void PageDocument::EndPrintJob(int savedCopies) {
    UpdateProgress(QStringLiteral("<FINISH>"), 0, 0, 0);
    if (!Printer().Printing()) Printer().setCopies(savedCopies);
}

}  // namespace sapidoro
