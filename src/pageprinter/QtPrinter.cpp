#include "pageprinter/QtPrinter.h"

#include "pageprinter/RecordingDevice.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>

namespace sapidoro {

TQtPrinter::TQtPrinter() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return;
    m_printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    m_printer->setFullPage(false);
}

TQtPrinter::~TQtPrinter() {
    if (m_painter.isActive()) m_painter.end();
}

int TQtPrinter::DeviceCaps(TDeviceCap cap) const {
    const QRectF paper = m_printer->paperRect(QPrinter::DevicePixel);
    const QRectF page = m_printer->pageRect(QPrinter::DevicePixel);
    switch (cap) {
        case TDeviceCap::LOGPIXELSX:
            return m_printer->logicalDpiX();
        case TDeviceCap::LOGPIXELSY:
            return m_printer->logicalDpiY();
        case TDeviceCap::PHYSICALWIDTH:
            return static_cast<int>(std::lround(paper.width()));
        case TDeviceCap::PHYSICALHEIGHT:
            return static_cast<int>(std::lround(paper.height()));
        case TDeviceCap::PHYSICALOFFSETX:
            return static_cast<int>(std::lround(page.left() - paper.left()));
        case TDeviceCap::PHYSICALOFFSETY:
            return static_cast<int>(std::lround(page.top() - paper.top()));
    }
    return 0;
}

TPrinterTextMetrics TQtPrinter::FontMetricsOnDevice(const QFont &font) const {
    return MeasureTextMetrics(font, m_printer.get());
}

int TQtPrinter::DeviceCopies() const {
    return m_printer->copyCount();
}

void TQtPrinter::setDeviceCopies(int copies) {
    m_printer->setCopyCount(copies);
}

TPrinterOrientation TQtPrinter::DeviceOrientation() const {
    return m_printer->pageLayout().orientation() == QPageLayout::Landscape ? poLandscape
                                                                           : poPortrait;
}

void TQtPrinter::setDeviceOrientation(TPrinterOrientation orientation) {
    m_printer->setPageOrientation(orientation == poLandscape ? QPageLayout::Landscape
                                                             : QPageLayout::Portrait);
}

void TQtPrinter::StartJob(const QString &documentName) {
    m_printer->setDocName(documentName);
    if (!m_painter.begin(m_printer.get())) throw EPrinter("Unable to start the print job");
}

void TQtPrinter::StartNextPage() {
    if (!m_printer->newPage()) throw EPrinter("Unable to start a new page on the printer");
}

void TQtPrinter::FinishJob() {
    if (m_painter.isActive()) m_painter.end();
}

void TQtPrinter::AbortJob() {
    m_printer->abort();
    if (m_painter.isActive()) m_painter.end();
}

}  // namespace sapidoro
