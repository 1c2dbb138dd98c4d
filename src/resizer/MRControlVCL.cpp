#include "resizer/MRControlVCL.h"

#include "resizer/MRValues.h"
#include "resizer/Pages.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVariant>

namespace sapidoro {

using namespace resizer;

namespace {

// A stacked widget of its own, not the page stack inside a tab widget.
QStackedWidget *Notebook(QWidget *control) {
    auto *stack = qobject_cast<QStackedWidget *>(control);
    if (stack == nullptr || qobject_cast<QTabWidget *>(stack->parentWidget()) != nullptr)
        return nullptr;
    return stack;
}

}  // namespace

void TMRControlHandlerVCL::SaveProportions(int parentWidth, int parentHeight) {
    TakeActivePageBounds(m_control);
    if (QStackedWidget *notebook = Notebook(m_control)) {
        // Qt sizes a page when it comes up: each shows once, then the former one returns.
        const QSignalBlocker quiet(notebook);
        const int shown = notebook->currentIndex();
        for (int i = 0; i < notebook->count(); ++i) notebook->setCurrentIndex(i);
        notebook->setCurrentIndex(shown);
    }
    TMRControlHandler::SaveProportions(parentWidth, parentHeight);
}

void TMRControlHandlerVCL::ApplyBounds(QRect &bounds) {
    TMRControlHandler::ApplyBounds(bounds);
    if (qobject_cast<QComboBox *>(m_control) != nullptr && Publishes(m_control, "font"))
        FitComboFont();
    if (const QTabWidget *pages = PageControlOf(m_control)) {
        QWidget *active = pages->currentWidget();
        if (active != m_control) active->setGeometry(bounds);
        TakeActivePageBounds(m_control);
        bounds = m_control->geometry();
    }
}

void TMRControlHandlerVCL::ApplyPropertyProportions() {
    TMRControlHandler::ApplyPropertyProportions();
    TakeActivePageBounds(m_control);
}

void TMRControlHandlerVCL::FitComboFont() {
    // A Qt combo box takes the height it is given; only one held back by its minimum or
    // maximum height misses its target, and then its font height makes up the difference.
    // A font given in points is first given in pixels, Size x PixelsPerInch / 72.
    QFont font = m_control->property("font").value<QFont>();
    const int pixelsPerInch = m_control->logicalDpiY();
    int height = font.pixelSize();
    if (height <= 0) height = FontSize(font, pixelsPerInch) * pixelsPerInch / 72;
    const int target = Rounded(ClientSize(m_control->parentWidget()).height(), m_heightRatio);
    height += target - m_control->height();
    if (height < 1 || height == font.pixelSize()) return;
    font.setPixelSize(height);
    m_control->setProperty("font", font);
}

}  // namespace sapidoro
