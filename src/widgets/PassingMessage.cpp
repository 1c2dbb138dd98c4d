#include "widgets/PassingMessage.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPalette>
#include <QTimer>

#include <algorithm>

namespace sapidoro {

namespace {

const QString kObjectName = QStringLiteral("MessaggioEsito");
constexpr int kMargin = 8;

}  // namespace

PassingMessage::PassingMessage(QWidget *window) : QLabel(window), m_timer(new QTimer(this)) {
    setObjectName(kObjectName);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setMargin(4);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setBrush(QPalette::Window, colours.toolTipBase());
    colours.setBrush(QPalette::WindowText, colours.toolTipText());
    setPalette(colours);
    setTextFormat(Qt::PlainText);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &QWidget::hide);
    // It follows the window's size while it shows.
    window->installEventFilter(this);
}

PassingMessage *PassingMessage::Of(const QWidget *window) {
    return window->findChild<PassingMessage *>(kObjectName, Qt::FindDirectChildrenOnly);
}

PassingMessage *PassingMessage::Show(QWidget *window, const QString &text) {
    PassingMessage *message = Of(window);
    if (message == nullptr) message = new PassingMessage(window);
    message->m_fullText = text;
    message->setToolTip(text);
    message->Place();
    message->show();
    message->raise();
    message->m_timer->start(kShownMilliseconds);
    return message;
}

void PassingMessage::Place() {
    const QWidget *window = parentWidget();
    const int room = std::max(window->width() - 2 * kMargin, 0);
    const int frame = 2 * (frameWidth() + margin());
    // A long path is shortened in its middle, where its folders are, keeping the file's name.
    setText(fontMetrics().elidedText(m_fullText, Qt::ElideMiddle, std::max(room - frame, 0)));
    const QSize size(std::min(sizeHint().width(), room), sizeHint().height());
    setGeometry((window->width() - size.width()) / 2, window->height() - size.height() - kMargin,
                size.width(), size.height());
}

bool PassingMessage::eventFilter(QObject *watched, QEvent *event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize && isVisible()) Place();
    return QLabel::eventFilter(watched, event);
}

void PassingMessage::mousePressEvent(QMouseEvent *event) {
    QLabel::mousePressEvent(event);
    hide();
}

}  // namespace sapidoro
