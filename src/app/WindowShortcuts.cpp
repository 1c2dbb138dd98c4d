#include "app/WindowShortcuts.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>

namespace sapidoro {

namespace {

// The focused control is asked first, through a shortcut-override event sent to it alone:
// only an application-wide filter sees that event before the control does.
class ShortcutOverrideFilter : public QObject {
public:
    explicit ShortcutOverrideFilter(QWidget *window) : QObject(window), m_window(window) {
        qApp->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType() ||
            static_cast<QWidget *>(watched)->window() != m_window)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        const QKeySequence pressed(QKeyCombination(key->modifiers() & ~Qt::KeypadModifier,
                                                   static_cast<Qt::Key>(key->key())));
        for (const QAction *action : m_window->actions()) {
            if (action->isEnabled() && action->shortcuts().contains(pressed)) {
                // Left unaccepted, the key goes on to the window's shortcut.
                event->ignore();
                return true;
            }
        }
        return false;
    }

private:
    QWidget *m_window;
};

}  // namespace

void KeepWindowShortcuts(QWidget *window) {
    new ShortcutOverrideFilter(window);
}

}  // namespace sapidoro
