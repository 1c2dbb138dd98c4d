#pragma once

#include "pageprinter/Printer.h"
#include "pageprinter/RecordingDevice.h"

#include <QPainter>

#include <memory>
#include <vector>

namespace sapidoro {

// A printer in memory for tests: a chosen resolution, sheet and unprintable offsets (all in
// dots, given for portrait), or no printer at all. It records every job, page and drawing call.
class TMemoryPrinter : public PrinterDevice {
public:
    struct Sheet {
        int dpiX = 300;
        int dpiY = 300;
        int physicalWidth = 2550;   // 8.5 inches at 300 dpi
        int physicalHeight = 3300;  // 11 inches at 300 dpi
        int offsetX = 75;
        int offsetY = 75;
    };
    enum Event { JobStarted, PageStarted, JobEnded, JobAborted };
    struct Job {
        QString documentName;
        int copies = 1;
        TPrinterOrientation orientation = poPortrait;
        std::vector<std::vector<DrawCall>> pages;
        bool ended = false;
        bool aborted = false;
    };

    explicit TMemoryPrinter(const Sheet &sheet);
    // A printer object that finds no printer installed.
    static std::unique_ptr<TMemoryPrinter> WithoutPrinter();
    ~TMemoryPrinter() override;

    bool Available() const override { return m_available; }
    const Sheet &sheet() const { return m_sheet; }
    const std::vector<Job> &Jobs() const { return m_jobs; }
    const std::vector<Event> &Events() const { return m_events; }
    // How often the page printer asked for text metrics.
    int TextMetricsQueries() const { return m_metricsQueries; }

protected:
    int DeviceCaps(DeviceCap cap) const override;
    PrinterTextMetrics FontMetricsOnDevice(const QFont &font) const override;
    int DeviceCopies() const override { return m_copies; }
    void setDeviceCopies(int copies) override { m_copies = copies; }
    TPrinterOrientation DeviceOrientation() const override { return m_orientation; }
    void setDeviceOrientation(TPrinterOrientation orientation) override {
        m_orientation = orientation;
    }
    void StartJob(const QString &documentName) override;
    void StartNextPage() override;
    void FinishJob() override;
    void AbortJob() override;
    QPainter &PageSurface() override { return m_painter; }
    // Lays the document's pages onto recorded pages as Qt's text printing does.
    void PrintDocument(const QTextDocument &document, const QString &documentName) override;

private:
    TMemoryPrinter(const Sheet &sheet, bool available);
    void OpenPage();
    void ClosePage();

    Sheet m_sheet;
    bool m_available;
    int m_copies = 1;
    TPrinterOrientation m_orientation = poPortrait;
    mutable int m_metricsQueries = 0;
    std::vector<Job> m_jobs;
    std::vector<Event> m_events;
    std::unique_ptr<DotsDevice> m_page;
    QPainter m_painter;
};

}  // namespace sapidoro
