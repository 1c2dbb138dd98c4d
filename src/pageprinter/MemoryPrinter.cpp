#include "pageprinter/MemoryPrinter.h"

#include <QAbstractTextDocumentLayout>
#include <QPalette>
#include <QTextDocument>

#include <limits>
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

void TMemoryPrinter::PrintDocument(const QTextDocument &document, const QString &documentName) {
    StartJob(documentName);
    const QSize printable = PrintableDots();
    // A document without pages of its own is cut into pages of the printable area, dot for dot.
    const QTextDocument *paged = &document;
    std::unique_ptr<QTextDocument> copy;
    if (!(document.pageSize().width() > 0 && document.pageSize().height() > 0 &&
          document.pageSize().height() < std::numeric_limits<int>::max())) {
        copy.reset(document.clone());
        copy->setPageSize(QSizeF(printable));
        paged = copy.get();
    }
    // Each page of the document is scaled onto the printable area and clipped to its own part.
    const QSizeF page = paged->pageSize();
    const int pages = paged->pageCount();
    for (int index = 0; index < pages; ++index) {
        if (index > 0) StartNextPage();
        m_painter.save();
        m_painter.scale(printable.width() / page.width(), printable.height() / page.height());
        const QRectF view(0, index * page.height(), page.width(), page.height());
        m_painter.translate(0, -view.top());
        m_painter.setClipRect(view);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = view;
        context.palette.setColor(QPalette::Text, Qt::black);
        paged->documentLayout()->draw(&m_painter, context);
        m_painter.restore();
    }
    FinishJob();
}

}  // namespace sapidoro
