#include "app/ShortMessage.h"

#include <QLabel>
#include <QTimer>
#include <QWidget>

namespace sapidoro {

namespace {

constexpr int kShownMilliseconds = 6000;
constexpr int kMargin = 8;

}  // namespace

void ShowShortMessage(QWidget *window, const QString &text) {
    const QString name = QStringLiteral("MessaggioBreve");
    auto *label = window->findChild<QLabel *>(name, Qt::FindDirectChildrenOnly);
    if (label == nullptr) {
        label = new QLabel(window);
        label->setObjectName(name);
        label->setWordWrap(true);
        label->setMargin(kMargin);
        label->setForegroundRole(QPalette::ToolTipText);
        label->setBackgroundRole(QPalette::ToolTipBase);
        label->setAutoFillBackground(true);
        label->setFrameShape(QFrame::Box);
        auto *timer = new QTimer(label);
        timer->setObjectName(QStringLiteral("MessaggioBreveTimer"));
        timer->setSingleShot(true);
        QObject::connect(timer, &QTimer::timeout, label, &QLabel::hide);
    }
    label->setText(text);
    const int width = window->width() - 4 * kMargin;
    label->setFixedWidth(width);
    label->adjustSize();
    label->move(2 * kMargin, window->height() - label->height() - 2 * kMargin);
    label->raise();
    label->show();
    label->findChild<QTimer *>()->start(kShownMilliseconds);
}

}  // namespace sapidoro
