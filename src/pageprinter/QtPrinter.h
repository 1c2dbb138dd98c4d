#pragma once

#include "pageprinter/Printer.h"

#include <QPainter>

#include <memory>

class QPrinter;

namespace sapidoro {

// The printer object on the system's default printer (CUPS). When the system has no
// printer, every device query raises EPrinter.
class QtPrinter : public PrinterDevice {
public:
    QtPrinter();
    // A printer object on a printer of the caller's, such as a PDF file printer.
    explicit QtPrinter(std::unique_ptr<QPrinter> printer);
    ~QtPrinter() override;

    bool Available() const override { return m_printer != nullptr; }

protected:
    int DeviceCaps(DeviceCap cap) const override;
    PrinterTextMetrics FontMetricsOnDevice(const QFont &font) const override;
    int DeviceCopies() const override;
    void setDeviceCopies(int copies) override;
    TPrinterOrientation DeviceOrientation() const override;
    void setDeviceOrientation(TPrinterOrientation orientation) override;
    void StartJob(const QString &documentName) override;
    void StartNextPage() override;
    void FinishJob() override;
    void AbortJob() override;
    QPainter &PageSurface() override { return m_painter; }
    QSize PrintableDots() const override;
    void PrintDocument(const QTextDocument &document, const QString &documentName) override;

private:
    std::unique_ptr<QPrinter> m_printer;
    QPainter m_painter;
};

}  // namespace sapidoro
