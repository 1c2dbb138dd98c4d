#include "pageprinter/QtPrinter.h"

#include "pageprinter/RecordingDevice.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>

#include <cmath>

namespace sapidoro {

QtPrinter::QtPrinter() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return;
    m_printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    m_printer->setFullPage(false);
}

QtPrinter::QtPrinter(std::unique_ptr<QPrinter> printer) : m_printer(std::move(printer)) {}

QtPrinter::~QtPrinter() {
    if (m_painter.isActive()) m_painter.end();
}

int QtPrinter::DeviceCaps(DeviceCap cap) const {
    const QRectF paper = m_printer->paperRect(QPrinter::DevicePixel);
    const QRectF page = m_printer->pageRect(QPrinter::DevicePixel);
    switch (cap) {
        case DeviceCap::LOGPIXELSX:
            return m_printer->logicalDpiX();
        case DeviceCap::LOGPIXELSY:
            return m_printer->logicalDpiY();
        case DeviceCap::PHYSICALWIDTH:
            return static_cast<int>(std::lround(paper.width()));
        case DeviceCap::PHYSICALHEIGHT:
            return static_cast<int>(std::lround(paper.height()));
        case DeviceCap::PHYSICALOFFSETX:
            return static_cast<int>(std::lround(page.left() - paper.left()));
        case DeviceCap::PHYSICALOFFSETY:
            return static_cast<int>(std::lround(page.top() - paper.top()));
    }
    return 0;
}

PrinterTextMetrics QtPrinter::FontMetricsOnDevice(const QFont &font) const {
    return MeasureTextMetrics(font, m_printer.get());
}

int QtPrinter::DeviceCopies() const {
    return m_printer->copyCount();
}

void QtPrinter::setDeviceCopies(int copies) {
    m_printer->setCopyCount(copies);
}

TPrinterOrientation QtPrinter::DeviceOrientation() const {
    return m_printer->pageLayout().orientation() == QPageLayout::Landscape ? poLandscape
                                                                           : poPortrait;
}

void QtPrinter::setDeviceOrientation(TPrinterOrientation orientation) {
    m_printer->setPageOrientation(orientation == poLandscape ? QPageLayout::Landscape
                                                             : QPageLayout::Portrait);
}

void QtPrinter::StartJob(const QString &documentName) {
    m_printer->setDocName(documentName);
    if (!m_painter.begin(m_printer.get())) throw EPrinter("Unable to start the print job");
}

void QtPrinter::StartNextPage() {
    if (!m_printer->newPage()) throw EPrinter("Unable to start a new page on the printer");
}

void QtPrinter::FinishJob() {
    if (m_painter.isActive()) m_painter.end();
}

void QtPrinter::AbortJob() {
    m_printer->abort();
    if (m_painter.isActive()) m_painter.end();
}

QSize QtPrinter::PrintableDots() const {
    return m_printer->pageRect(QPrinter::DevicePixel).size().toSize();
}

void QtPrinter::PrintDocument(const QTextDocument &document, const QString &documentName) {
    m_printer->setDocName(documentName);
    document.print(m_printer.get());
    if (m_printer->printerState() == QPrinter::Error)
        throw EPrinter("Unable to start the print job");
}

}  // namespace sapidoro
