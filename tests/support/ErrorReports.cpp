#include "support/ErrorReports.h"

#include "app/WindowTexts.h"

#include <QApplication>
#include <QEvent>
#include <QMessageBox>

namespace sapidoro::test {

ErrorReports::ErrorReports(std::function<void(const QString &)> onReport)
    : m_onReport(std::move(onReport)) {
    QApplication::instance()->installEventFilter(this);
}

ErrorReports::~ErrorReports() {
    QApplication::instance()->removeEventFilter(this);
}

bool ErrorReports::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Show) {
        auto *box = qobject_cast<QMessageBox *>(watched);
        if (box != nullptr && box->windowTitle() == UiText(kApplicationTitle) &&
            (box->icon() == QMessageBox::Critical || box->icon() == QMessageBox::Information)) {
            m_messages << box->text();
            m_icons << box->icon();
            if (m_onReport) m_onReport(box->text());
            // The box is shown before its own event loop runs; the answer waits for that loop.
            QMetaObject::invokeMethod(box, &QMessageBox::accept, Qt::QueuedConnection);
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace sapidoro::test
