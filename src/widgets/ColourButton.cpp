#include "widgets/ColourButton.h"

#include <qdrawutil.h>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace sapidoro {

ColourButton::ColourButton(QWidget *parent)
    : QPushButton(parent), m_face(palette().color(QPalette::Button)) {}

void ColourButton::setFaceColour(const QColor &colour) {
    m_face = colour;
    update();
}

void ColourButton::setGlyph(const QPixmap &glyph) {
    m_glyph = glyph;
    updateGeometry();
    update();
}

void ColourButton::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    QPalette bevel = palette();
    bevel.setColor(QPalette::Button, m_face);
    const bool down = isDown() || isChecked();
    qDrawWinButton(&painter, rect(), bevel, down, &bevel.brush(QPalette::Button));

    // The content moves one pixel down and right while the button is held.
    const QRect content = rect().adjusted(3, 3, -3, -3).translated(down ? 1 : 0, down ? 1 : 0);
    const int textHeight = text().isEmpty() ? 0 : fontMetrics().height();
    const int glyphHeight = m_glyph.isNull() ? 0 : m_glyph.height();
    int top = content.top() + (content.height() - glyphHeight - textHeight) / 2;
    if (!m_glyph.isNull()) {
        const QPixmap shown =
            isEnabled() ? m_glyph : style()->generatedIconPixmap(QIcon::Disabled, m_glyph, nullptr);
        painter.drawPixmap(content.left() + (content.width() - m_glyph.width()) / 2, top, shown);
        top += glyphHeight;
    }
    if (!text().isEmpty()) {
        const QRect textRect(content.left(), top, content.width(), textHeight);
        style()->drawItemText(&painter, textRect, Qt::AlignCenter | Qt::TextShowMnemonic, palette(),
                              isEnabled(), text(), QPalette::ButtonText);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(4, 4, -4, -4);
        option.backgroundColor = m_face;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

QSize ColourButton::sizeHint() const {
    const QSize textSize = fontMetrics().size(Qt::TextShowMnemonic, text());
    return QSize(std::max(textSize.width(), m_glyph.width()) + 12,
                 textSize.height() + m_glyph.height() + 10);
}

}  // namespace sapidoro
