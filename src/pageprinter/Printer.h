#pragma once

#include "common/Exception.h"

#include <QFont>
#include <QSize>
#include <QString>

#include <memory>
#include <optional>

class QPainter;
class QTextDocument;

namespace sapidoro {

// Raised by the printer object when no printer is installed or selected, and for misuse of
// the printer object itself.
class EPrinter : public Exception {
public:
    using Exception::Exception;
};

enum TPrinterOrientation { poPortrait, poLandscape };

// The device capabilities the page printer asks for, in device dots (resolutions in dots per inch).
enum class DeviceCap {
    LOGPIXELSX,
    LOGPIXELSY,
    PHYSICALWIDTH,
    PHYSICALHEIGHT,
    PHYSICALOFFSETX,
    PHYSICALOFFSETY
};

// Text metrics of a font on the printer, in device dots.
struct PrinterTextMetrics {
    int Height = 0;
    int Ascent = 0;
    int Descent = 0;
    int InternalLeading = 0;
    int ExternalLeading = 0;
    int AveCharWidth = 0;
};

// The printer object the whole program shares. It keeps the job title and the job state
// itself; implementations supply the device, its capabilities and the page surface.
class PrinterDevice {
public:
    virtual ~PrinterDevice();

    // False when no printer is installed or selected: every device query then raises EPrinter.
    virtual bool Available() const = 0;

    // Raises EPrinter without a printer.
    int GetDeviceCaps(DeviceCap cap) const;
    // The same query without the error: empty when there is no printer.
    std::optional<int> TryDeviceCaps(DeviceCap cap) const;
    // Metrics of `font` measured at the device's resolution; raises EPrinter without a printer.
    PrinterTextMetrics TextMetrics(const QFont &font) const;

    QString Title() const { return m_title; }
    void setTitle(const QString &title) { m_title = title; }

    // Copy count of the device; setting it while printing is refused.
    int Copies() const;
    void setCopies(int copies);

    TPrinterOrientation Orientation() const;
    void setOrientation(TPrinterOrientation orientation);

    bool Printing() const { return m_printing; }
    bool Aborted() const { return m_aborted; }

    // Starts a job named after the first 31 characters of the title, with its first page open.
    void BeginDoc();
    void NewPage();
    // Ends the job; after Abort it only closes the page.
    void EndDoc();
    void Abort();

    // Drawing surface of the current page; origin at the top-left corner of the printable area.
    QPainter &Canvas();

    // Size of the printable area in device dots; raises EPrinter without a printer.
    QSize PrintableSize() const;
    // Prints a rich-text document through Qt's own text printing as one job named after the
    // first 31 characters of the title: each page of the document (its page size) fills the
    // printable area of one sheet.
    void PrintTextDocument(const QTextDocument &document);

protected:
    [[noreturn]] static void RaiseNoPrinter();

    virtual int DeviceCaps(DeviceCap cap) const = 0;
    virtual PrinterTextMetrics FontMetricsOnDevice(const QFont &font) const = 0;
    virtual int DeviceCopies() const = 0;
    virtual void setDeviceCopies(int copies) = 0;
    virtual TPrinterOrientation DeviceOrientation() const = 0;
    virtual void setDeviceOrientation(TPrinterOrientation orientation) = 0;
    virtual void StartJob(const QString &documentName) = 0;
    virtual void StartNextPage() = 0;
    virtual void FinishJob() = 0;
    virtual void AbortJob() = 0;
    virtual QPainter &PageSurface() = 0;
    virtual QSize PrintableDots() const;
    virtual void PrintDocument(const QTextDocument &document, const QString &documentName) = 0;

private:
    void RequireAvailable() const;
    void RequirePrinting(const char *operation) const;

    QString m_title;
    bool m_printing = false;
    bool m_aborted = false;
};

// The process-wide printer object: the system's default printer unless a test installed
// another one. SetPrinter returns the previous object.
PrinterDevice &Printer();
std::unique_ptr<PrinterDevice> SetPrinter(std::unique_ptr<PrinterDevice> printer);

}  // namespace sapidoro
