#include "resizer/MRHandler.h"

#include "resizer/Align.h"
#include "resizer/MRValues.h"

#include <QWidget>

namespace sapidoro {

using namespace resizer;

TMRControlHandler::TMRControlHandler(QWidget *control) : m_control(control) {}

TMRControlHandler::~TMRControlHandler() {
    // Property handlers go in list order.
    for (auto &handler : m_properties) handler.reset();
}

void TMRControlHandler::SaveProportions(int parentWidth, int parentHeight) {
    if (parentWidth == m_appliedParentWidth && parentHeight == m_appliedParentHeight &&
        m_control->geometry() == m_appliedBounds)
        return;
    if (parentWidth == 0 || parentHeight == 0) {
        m_leftRatio = -1.0f;
        m_appliedParentWidth = -1000;  // the next save learns again
        return;
    }
    const QRect bounds = m_control->geometry();
    m_leftRatio = Ratio(bounds.left(), parentWidth);
    m_topRatio = Ratio(bounds.top(), parentHeight);
    m_widthRatio = Ratio(bounds.width(), parentWidth);
    m_heightRatio = Ratio(bounds.height(), parentHeight);
}

void TMRControlHandler::SavePropertyProportions() {
    for (auto &handler : m_properties) handler->SaveProportions();
}

void TMRControlHandler::ApplyBounds(QRect &bounds) {
    const QSize parent = ClientSize(m_control->parentWidget());
    m_appliedParentWidth = parent.width();
    m_appliedParentHeight = parent.height();
    const int height = Rounded(parent.height(), m_heightRatio);
    const int width = Rounded(parent.width(), m_widthRatio);
    const int top = Rounded(parent.height(), m_topRatio);
    const int left = Rounded(parent.width(), m_leftRatio);
    // A control aligned to its parent's client area goes back there at once, as its alignment
    // says: it is placed there directly, without a relayout of it at the computed bounds first.
    if (AlignOf(m_control) != alNone)
        SetAlign(m_control, alClient);
    else
        m_control->setGeometry(left, top, width, height);
    bounds = m_control->geometry();
}

void TMRControlHandler::ApplyPropertyProportions() {
    for (auto &handler : m_properties) handler->ApplyProportions();
}

void TMRControlHandler::StoreAppliedBounds() {
    m_appliedBounds = m_control->geometry();
}

TMRPropertyHandler::~TMRPropertyHandler() = default;

}  // namespace sapidoro
