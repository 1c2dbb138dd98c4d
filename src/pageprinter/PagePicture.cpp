#include "pageprinter/PagePicture.h"

#include <QPainter>
#include <QPen>

namespace sapidoro {

void PagePicture::AddText(const QPoint &topLeft, const QString &text, const QFont &font) {
    // Text runs in one font for long stretches: reuse the last entry when it is the same.
    if (m_fonts.empty() || m_fonts.back() != font) m_fonts.push_back(font);
    PageOp op;
    op.kind = PageOp::Text;
    op.from = topLeft;
    op.text = text;
    op.font = static_cast<int>(m_fonts.size()) - 1;
    m_ops.push_back(std::move(op));
}

void PagePicture::AddLine(const QPoint &from, const QPoint &to, int penWidth, const QColor &color) {
    PageOp op;
    op.kind = PageOp::Line;
    op.from = from;
    op.to = to;
    op.penWidth = penWidth;
    op.penColor = color;
    m_ops.push_back(std::move(op));
}

void PagePicture::Play(QPainter &painter, const QPoint &origin) const {
    painter.save();
    painter.translate(origin);
    painter.setBackgroundMode(Qt::TransparentMode);
    std::vector<int> ascents(m_fonts.size(), -1);
    for (const PageOp &op : m_ops) {
        if (op.kind == PageOp::Line) {
            painter.setPen(QPen(op.penColor, op.penWidth));
            painter.drawLine(op.from, op.to);
            continue;
        }
        const QFont &font = m_fonts[op.font];
        if (ascents[op.font] < 0) ascents[op.font] = QFontMetrics(font, painter.device()).ascent();
        painter.setPen(Qt::black);
        painter.setFont(font);
        painter.drawText(QPoint(op.from.x(), op.from.y() + ascents[op.font]), op.text);
    }
    painter.restore();
}

void DocumentCanvas::setFont(const QFont &font) {
    if (m_metrics && font == m_font) return;
    m_font = font;
    m_metrics.emplace(m_font);
    m_advances.fill(-1);
}

int DocumentCanvas::Advance(QChar c) const {
    // Control characters take the room of a blank, as in a fixed character cell.
    if (c.unicode() < 32) c = u' ';
    if (c.unicode() >= m_advances.size()) return m_metrics->horizontalAdvance(c);
    int &advance = m_advances[c.unicode()];
    if (advance < 0) advance = m_metrics->horizontalAdvance(c);
    return advance;
}

int DocumentCanvas::TextWidth(QStringView text) const {
    if (!m_metrics) return 0;
    int width = 0;
    for (const QChar c : text) width += Advance(c);
    return width;
}

void DocumentCanvas::TextOut(int x, int y, const QString &text) {
    // An empty text draws nothing, so the page keeps nothing for it.
    if (m_page && !text.isEmpty()) m_page->AddText(QPoint(x, y), text, m_font);
}

void DocumentCanvas::Line(int x1, int y1, int x2, int y2) {
    if (m_page) m_page->AddLine(QPoint(x1, y1), QPoint(x2, y2), m_penWidth, m_penColor);
}

}  // namespace sapidoro
