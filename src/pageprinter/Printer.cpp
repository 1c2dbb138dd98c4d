#include "pageprinter/Printer.h"

#include "pageprinter/QtPrinter.h"

#include <QPainter>
#include <QScopeGuard>

#include <utility>

namespace sapidoro {

namespace {

// The job name the spooler shows is limited to 31 characters.
constexpr int kDocumentNameLength = 31;

std::unique_ptr<PrinterDevice> &CurrentPrinter() {
    static std::unique_ptr<PrinterDevice> printer;
    return printer;
}

}  // namespace

PrinterDevice::~PrinterDevice() = default;

void PrinterDevice::RaiseNoPrinter() {
    throw EPrinter("No printer is installed or selected");
}

void PrinterDevice::RequireAvailable() const {
    if (!Available()) RaiseNoPrinter();
}

void PrinterDevice::RequirePrinting(const char *operation) const {
    if (!m_printing)
        throw EPrinter(std::string("Unable to ") + operation + ": the printer is not printing");
}

int PrinterDevice::GetDeviceCaps(DeviceCap cap) const {
    RequireAvailable();
    return DeviceCaps(cap);
}

std::optional<int> PrinterDevice::TryDeviceCaps(DeviceCap cap) const {
    if (!Available()) return std::nullopt;
    return DeviceCaps(cap);
}

PrinterTextMetrics PrinterDevice::TextMetrics(const QFont &font) const {
    RequireAvailable();
    return FontMetricsOnDevice(font);
}

int PrinterDevice::Copies() const {
    RequireAvailable();
    return DeviceCopies();
}

void PrinterDevice::setCopies(int copies) {
    RequireAvailable();
    if (m_printing) throw EPrinter("Unable to change the number of copies while printing");
    setDeviceCopies(copies);
}

TPrinterOrientation PrinterDevice::Orientation() const {
    RequireAvailable();
    return DeviceOrientation();
}

void PrinterDevice::setOrientation(TPrinterOrientation orientation) {
    RequireAvailable();
    if (m_printing) throw EPrinter("Unable to change the orientation while printing");
    setDeviceOrientation(orientation);
}

void PrinterDevice::BeginDoc() {
    RequireAvailable();
    if (m_printing) throw EPrinter("Unable to start a job: the printer is already printing");
    m_aborted = false;
    StartJob(m_title.left(kDocumentNameLength));
    m_printing = true;
}

void PrinterDevice::NewPage() {
    RequirePrinting("start a new page");
    StartNextPage();
}

void PrinterDevice::EndDoc() {
    RequirePrinting("end the job");
    m_printing = false;
    if (!m_aborted) FinishJob();
}

void PrinterDevice::Abort() {
    RequirePrinting("abort the job");
    m_aborted = true;
    m_printing = false;
    AbortJob();
}

QPainter &PrinterDevice::Canvas() {
    RequirePrinting("draw on the page");
    return PageSurface();
}

QSize PrinterDevice::PrintableSize() const {
    RequireAvailable();
    return PrintableDots();
}

QSize PrinterDevice::PrintableDots() const {
    return {DeviceCaps(DeviceCap::PHYSICALWIDTH) - 2 * DeviceCaps(DeviceCap::PHYSICALOFFSETX),
            DeviceCaps(DeviceCap::PHYSICALHEIGHT) - 2 * DeviceCaps(DeviceCap::PHYSICALOFFSETY)};
}

void PrinterDevice::PrintTextDocument(const QTextDocument &document) {
    RequireAvailable();
    if (m_printing) throw EPrinter("Unable to start a job: the printer is already printing");
    m_aborted = false;
    m_printing = true;
    const auto done = qScopeGuard([this] { m_printing = false; });
    PrintDocument(document, m_title.left(kDocumentNameLength));
}

PrinterDevice &Printer() {
    auto &printer = CurrentPrinter();
    if (!printer) printer = std::make_unique<QtPrinter>();
    return *printer;
}

std::unique_ptr<PrinterDevice> SetPrinter(std::unique_ptr<PrinterDevice> printer) {
    return std::exchange(CurrentPrinter(), std::move(printer));
}

}  // namespace sapidoro
