#include "app/ScanProgress.h"

#include <QProgressBar>

#include <algorithm>

namespace sapidoro {

ScanProgress::ScanProgress(QProgressBar *bar) : m_bar(bar), m_position(bar->value()) {
    m_sincePaint.start();
}

ScanProgress::~ScanProgress() {
    show();
}

void ScanProgress::show() {
    // A file that gained records since start-up must not push the bar past its maximum,
    // where the bar would ignore the value and stay behind.
    m_bar->setValue(std::min(m_position, m_bar->maximum()));
}

void ScanProgress::paintIfDue() {
    m_untilClock = kRecordsPerClockReading;
    if (m_sincePaint.elapsed() < kPaintInterval) return;
    show();
    // No events are handled during a scan, so the bar is painted here and now.
    m_bar->repaint();
    m_sincePaint.restart();
}

}  // namespace sapidoro
