#pragma once

#include <QElapsedTimer>

class QProgressBar;

namespace sapidoro {

// The position of a progress bar during a scan, advanced once per record. Setting a bar's
// value costs far more than a record of the scan, so the bar is brought to the position
// and painted at most once per `kPaintInterval`, and once more when the scan ends (also
// when it ends with an error), so that it then shows exactly where the scan got to.
class ScanProgress {
public:
    static constexpr qint64 kPaintInterval = 30;  // milliseconds

    // The bar's position when the scan starts is the starting position.
    explicit ScanProgress(QProgressBar *bar);
    ~ScanProgress();
    ScanProgress(const ScanProgress &) = delete;
    ScanProgress &operator=(const ScanProgress &) = delete;

    void advance() {
        ++m_position;
        // The clock is read only every few records; reading it costs as much as a record.
        if (--m_untilClock == 0) paintIfDue();
    }
    int position() const { return m_position; }

private:
    static constexpr int kRecordsPerClockReading = 64;

    void paintIfDue();
    void show();

    QProgressBar *m_bar;
    int m_position;
    int m_untilClock = kRecordsPerClockReading;
    QElapsedTimer m_sincePaint;
};

}  // namespace sapidoro
