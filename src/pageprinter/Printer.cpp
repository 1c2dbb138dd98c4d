#include "pageprinter/Printer.h"

#include "pageprinter/QtPrinter.h"

#include <QPainter>

#include <utility>

namespace sapidoro {

namespace {

// The job name the spooler shows is limited to 31 characters.
constexpr int kDocumentNameLength = 31;

std::unique_ptr<TPrinter> &CurrentPrinter() {
    static std::unique_ptr<TPrinter> printer;
    return printer;
}

}  // namespace

TPrinter::~TPrinter() = default;

void TPrinter::RaiseNoPrinter() {
    throw EPrinter("No printer is installed or selected");
}

void TPrinter::RequireAvailable() const {
    if (!Available()) RaiseNoPrinter();
}

void TPrinter::RequirePrinting(const char *operation) const {
    if (!m_printing)
        throw EPrinter(std::string("Unable to ") + operation + ": the printer is not printing");
}

int TPrinter::GetDeviceCaps(TDeviceCap cap) const {
    RequireAvailable();
    return DeviceCaps(cap);
}

std::optional<int> TPrinter::TryDeviceCaps(TDeviceCap cap) const {
    if (!Available()) return std::nullopt;
    return DeviceCaps(cap);
}

TPrinterTextMetrics TPrinter::TextMetrics(const QFont &font) const {
    RequireAvailable();
    return FontMetricsOnDevice(font);
}

int TPrinter::Copies() const {
    RequireAvailable();
    return DeviceCopies();
}

void TPrinter::setCopies(int copies) {
    RequireAvailable();
    if (m_printing) throw EPrinter("Unable to change the number of copies while printing");
    setDeviceCopies(copies);
}

TPrinterOrientation TPrinter::Orientation() const {
    RequireAvailable();
    return DeviceOrientation();
}

void TPrinter::setOrientation(TPrinterOrientation orientation) {
    RequireAvailable();
    if (m_printing) throw EPrinter("Unable to change the orientation while printing");
    setDeviceOrientation(orientation);
}

void TPrinter::BeginDoc() {
    RequireAvailable();
    if (m_printing) throw EPrinter("Unable to start a job: the printer is already printing");
    m_aborted = false;
    StartJob(m_title.left(kDocumentNameLength));
    m_printing = true;
}

void TPrinter::NewPage() {
    RequirePrinting("start a new page");
    StartNextPage();
}

void TPrinter::EndDoc() {
    RequirePrinting("end the job");
    m_printing = false;
    if (!m_aborted) FinishJob();
}

void TPrinter::Abort() {
    RequirePrinting("abort the job");
    m_aborted = true;
    m_printing = false;
    AbortJob();
}

QPainter &TPrinter::Canvas() {
    RequirePrinting("draw on the page");
    return PageSurface();
}

TPrinter &Printer() {
    auto &printer = CurrentPrinter();
    if (!printer) printer = std::make_unique<TQtPrinter>();
    return *printer;
}

std::unique_ptr<TPrinter> SetPrinter(std::unique_ptr<TPrinter> printer) {
    return std::exchange(CurrentPrinter(), std::move(printer));
}

}  // namespace sapidoro
