#include "widgets/ProgressBar.h"

#include <qdrawutil.h>
#include <QPainter>

namespace sapidoro {

ProgressBar::ProgressBar(QWidget *parent)
    : QProgressBar(parent),
      m_bar(palette().color(QPalette::Highlight)),
      m_background(palette().color(QPalette::Window)) {
    setTextVisible(false);
}

void ProgressBar::setBarColour(const QColor &colour) {
    m_bar = colour;
    update();
}

void ProgressBar::setBackgroundColour(const QColor &colour) {
    m_background = colour;
    update();
}

void ProgressBar::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const QBrush background(m_background);
    qDrawShadePanel(&painter, rect(), palette(), true, 1, &background);
    const QRect inside = rect().adjusted(1, 1, -1, -1);
    const qint64 range = qint64{maximum()} - minimum();
    if (range <= 0 || value() <= minimum()) return;
    const qint64 done = std::min<qint64>(qint64{value()} - minimum(), range);
    const int filled = static_cast<int>(inside.width() * done / range);
    painter.fillRect(QRect(inside.left(), inside.top(), filled, inside.height()), m_bar);
}

}  // namespace sapidoro
