#include "widgets/Spinner.h"

#include <qdrawutil.h>
#include <QIcon>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QToolButton>

namespace sapidoro {

namespace {

constexpr int kSignSize = 10;

// A 10 x 10 minus or plus sign, black for the enabled button and grey for the disabled one.
QPixmap SignPixmap(bool plus, const QColor &colour) {
    QPixmap pixmap(kSignSize, kSignSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.fillRect(1, 4, 8, 2, colour);
    if (plus) painter.fillRect(4, 1, 2, 8, colour);
    return pixmap;
}

QIcon SignIcon(bool plus) {
    QIcon icon;
    icon.addPixmap(SignPixmap(plus, Qt::black), QIcon::Normal);
    icon.addPixmap(SignPixmap(plus, QColor(128, 128, 128)), QIcon::Disabled);
    return icon;
}

QToolButton *MakeButton(bool plus, QWidget *parent) {
    auto *button = new QToolButton(parent);
    button->setIcon(SignIcon(plus));
    button->setIconSize(QSize(kSignSize, kSignSize));
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

int Clamp(qint64 value, int minimum, int maximum) {
    if (value > maximum) value = maximum;
    if (value < minimum) value = minimum;
    return static_cast<int>(value);
}

}  // namespace

Spinner::Spinner(QWidget *parent)
    : QWidget(parent), m_minus(MakeButton(false, this)), m_plus(MakeButton(true, this)) {
    m_minus->setObjectName(QStringLiteral("minus"));
    m_plus->setObjectName(QStringLiteral("plus"));
    setFocusPolicy(Qt::StrongFocus);
    connect(m_minus, &QToolButton::clicked, this, [this] { stepBy(-qint64{m_increment}); });
    connect(m_plus, &QToolButton::clicked, this, [this] { stepBy(m_increment); });
}

void Spinner::setValue(int value) {
    const int clamped = Clamp(value, m_minimum, m_maximum);
    if (clamped == m_value) return;
    m_value = clamped;
    update();
    emit valueChanged(m_value);
}

void Spinner::setMinimum(int minimum) {
    m_minimum = minimum;
    setValue(m_value);
}

void Spinner::setMaximum(int maximum) {
    m_maximum = maximum;
    setValue(m_value);
}

void Spinner::stepBy(qint64 delta) {
    setValue(Clamp(qint64{m_value} + delta, m_minimum, m_maximum));
}

void Spinner::keyPressEvent(QKeyEvent *event) {
    const bool keypad = event->modifiers().testFlag(Qt::KeypadModifier);
    switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Right:
            stepBy(m_increment);
            break;
        case Qt::Key_Down:
        case Qt::Key_Left:
            stepBy(-qint64{m_increment});
            break;
        case Qt::Key_PageUp:
            stepBy(m_pageSize);
            break;
        case Qt::Key_PageDown:
            stepBy(-qint64{m_pageSize});
            break;
        case Qt::Key_Plus:
            if (!keypad) return QWidget::keyPressEvent(event);
            stepBy(m_increment);
            break;
        case Qt::Key_Minus:
            if (!keypad) return QWidget::keyPressEvent(event);
            stepBy(-qint64{m_increment});
            break;
        default:
            return QWidget::keyPressEvent(event);
    }
    event->accept();
}

QRect Spinner::valueRect() const {
    return QRect(m_minus->geometry().right() + 1, 0,
                 m_plus->geometry().left() - m_minus->geometry().right() - 1, height());
}

void Spinner::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    // Square buttons as tall as the control, narrower when the control is narrow.
    const int side = std::max(1, std::min(height(), width() / 3));
    m_minus->setGeometry(0, 0, side, height());
    m_plus->setGeometry(width() - side, 0, side, height());
}

void Spinner::changeEvent(QEvent *event) {
    if (event->type() == QEvent::EnabledChange) {
        m_minus->setEnabled(isEnabled());
        m_plus->setEnabled(isEnabled());
    }
    QWidget::changeEvent(event);
}

void Spinner::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const QRect area = valueRect();
    qDrawShadePanel(&painter, area, palette(), true, 1, &palette().brush(QPalette::Base));
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    painter.drawText(area, Qt::AlignCenter, QString::number(m_value));
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = area.adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

QSize Spinner::sizeHint() const {
    const QFontMetrics metrics(font());
    const int height = metrics.height() + 6;
    return QSize(metrics.horizontalAdvance(QString::number(m_maximum)) + 2 * height + 8, height);
}

}  // namespace sapidoro
