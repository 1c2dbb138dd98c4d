#include "resizer/Pages.h"

#include <QCoreApplication>
#include <QEvent>
#include <QStackedWidget>
#include <QTabWidget>

namespace sapidoro::resizer {

QTabWidget *PageControlOf(const QWidget *control) {
    // Qt keeps the pages of a tab widget in a stack inside it.
    const QWidget *stack = control->parentWidget();
    if (stack == nullptr || qobject_cast<const QStackedWidget *>(stack) == nullptr) return nullptr;
    auto *pages = qobject_cast<QTabWidget *>(stack->parentWidget());
    return pages != nullptr && pages->indexOf(const_cast<QWidget *>(control)) >= 0 ? pages
                                                                                   : nullptr;
}

void TakeActivePageBounds(QWidget *control) {
    const QTabWidget *pages = PageControlOf(control);
    if (pages == nullptr) return;
    const QWidget *active = pages->currentWidget();
    if (active != nullptr && active != control && control->geometry() != active->geometry())
        control->setGeometry(active->geometry());
}

void LayOutPagesNow(QWidget *control) {
    if (qobject_cast<QTabWidget *>(control) != nullptr)
        QCoreApplication::sendPostedEvents(control, QEvent::LayoutRequest);
}

}  // namespace sapidoro::resizer
