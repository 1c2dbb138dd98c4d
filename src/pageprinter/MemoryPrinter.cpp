#include "pageprinter/MemoryPrinter.h"

#include <utility>

namespace sapidoro {

TMemoryPrinter::TMemoryPrinter(const Sheet &sheet) : TMemoryPrinter(sheet, true) {}

TMemoryPrinter::TMemoryPrinter(const Sheet &sheet, bool available)
    : m_sheet(sheet), m_available(available) {}

std::unique_ptr<TMemoryPrinter> TMemoryPrinter::WithoutPrinter() {
    return std::unique_ptr<TMemoryPrinter>(new TMemoryPrinter(Sheet{}, false));
}

TMemoryPrinter::~TMemoryPrinter() {
    if (m_painter.isActive()) m_painter.end();
}

int TMemoryPrinter::DeviceCaps(DeviceCap cap) const {
    const bool landscape = m_orientation == poLandscape;
    switch (cap) {
        case DeviceCap::LOGPIXELSX:
            return landscape ? m_sheet.dpiY : m_sheet.dpiX;
        case DeviceCap::LOGPIXELSY:
            return landscape ? m_sheet.dpiX : m_sheet.dpiY;
        case DeviceCap::PHYSICALWIDTH:
            return landscape ? m_sheet.physicalHeight : m_sheet.physicalWidth;
        case DeviceCap::PHYSICALHEIGHT:
            return landscape ? m_sheet.physicalWidth : m_sheet.physicalHeight;
        case DeviceCap::PHYSICALOFFSETX:
            return landscape ? m_sheet.offsetY : m_sheet.offsetX;
        case DeviceCap::PHYSICALOFFSETY:
            return landscape ? m_sheet.offsetX : m_sheet.offsetY;
    }
    return 0;
}

PrinterTextMetrics TMemoryPrinter::FontMetricsOnDevice(const QFont &font) const {
    ++m_metricsQueries;
    const DotsDevice device(DeviceCaps(DeviceCap::LOGPIXELSX), DeviceCaps(DeviceCap::LOGPIXELSY), 1,
                            1);
    return MeasureTextMetrics(font, &device);
}

void TMemoryPrinter::OpenPage() {
    const int width =
        DeviceCaps(DeviceCap::PHYSICALWIDTH) - 2 * DeviceCaps(DeviceCap::PHYSICALOFFSETX);
    const int height =
        DeviceCaps(DeviceCap::PHYSICALHEIGHT) - 2 * DeviceCaps(DeviceCap::PHYSICALOFFSETY);
    m_page = std::make_unique<DotsDevice>(DeviceCaps(DeviceCap::LOGPIXELSX),
                                          DeviceCaps(DeviceCap::LOGPIXELSY), width, height);
    m_painter.begin(m_page.get());
    m_jobs.back().pages.emplace_back();
}

void TMemoryPrinter::ClosePage() {
    if (!m_page) return;
    m_painter.end();
    m_jobs.back().pages.back() = m_page->Calls();
    m_page.reset();
}

void TMemoryPrinter::StartJob(const QString &documentName) {
    Job job;
    job.documentName = documentName;
    job.copies = m_copies;
    job.orientation = m_orientation;
    m_jobs.push_back(std::move(job));
    m_events.push_back(JobStarted);
    OpenPage();
}

void TMemoryPrinter::StartNextPage() {
    ClosePage();
    m_events.push_back(PageStarted);
    OpenPage();
}

void TMemoryPrinter::FinishJob() {
    ClosePage();
    m_jobs.back().ended = true;
    m_events.push_back(JobEnded);
}

void TMemoryPrinter::AbortJob() {
    ClosePage();
    m_jobs.back().aborted = true;
    m_events.push_back(JobAborted);
}

}  // namespace sapidoro
