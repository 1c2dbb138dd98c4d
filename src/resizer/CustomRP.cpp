#include "resizer/CustomRP.h"

#include "resizer/MRHandlers.h"

#include <QDebug>
#include <QEvent>
#include <QScopeGuard>

#include <algorithm>

namespace sapidoro {

using namespace resizer;

namespace {

std::unique_ptr<TMRControlHandler> CreatePlainHandler(QWidget *control) {
    return std::make_unique<TMRControlHandler>(control);
}

}  // namespace

TCustomResizerPanel::TCustomResizerPanel(QWidget *parent)
    : QFrame(parent),
      m_handlerClass(&CreatePlainHandler),
      m_ownFont(std::make_unique<TMRFont>(this, "font")) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setAutoFillBackground(true);
}

TCustomResizerPanel::~TCustomResizerPanel() {
    m_ownFont.reset();
    FreeHandlers();
}

void TCustomResizerPanel::FreeHandlers() {
    // The last seen goes first, and no control reports its removal to a half-gone panel.
    while (!m_handlers.empty()) {
        QObject::disconnect(m_handlers.back()->Control(), &QObject::destroyed, this, nullptr);
        m_handlers.pop_back();
    }
    m_handlerOf.clear();
}

void TCustomResizerPanel::setActive(bool active) {
    if (active == m_active) return;
    m_active = active;
    if (!active) FreeHandlers();
}

void TCustomResizerPanel::Loaded() {
    if (!m_loading) return;
    m_reference = size();
    m_loading = false;
}

void TCustomResizerPanel::setErrorHandler(std::function<void(std::exception_ptr)> handler) {
    m_errorHandler = std::move(handler);
}

TMRControlHandler *TCustomResizerPanel::ControlHandlerOf(const QWidget *control) const {
    return m_handlerOf.value(control, nullptr);
}

void TCustomResizerPanel::AddPropertyHandlers(QWidget *, TMRPropertyHandlers &) {}

void TCustomResizerPanel::ChildControls(QWidget *container, QList<QWidget *> &controls) const {
    for (QObject *child : container->children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (widget != nullptr && !widget->isWindow()) controls.append(widget);
    }
}

void TCustomResizerPanel::SaveAgainstParent(TMRControlHandler &handler) const {
    const QWidget *parent = handler.Control()->parentWidget();
    const QSize size = parent == this ? m_reference : ClientSize(parent);
    handler.SaveProportions(size.width(), size.height());
    handler.SavePropertyProportions();
}

void TCustomResizerPanel::RegisterControls(QWidget *container) {
    QList<QWidget *> controls;
    ChildControls(container, controls);
    for (QWidget *control : controls) {
        if (!m_handlerOf.contains(control)) {
            m_handlers.push_back(m_handlerClass(control));
            TMRControlHandler &handler = *m_handlers.back();
            m_handlerOf.insert(control, &handler);
            connect(control, &QObject::destroyed, this,
                    [this](QObject *gone) { RemoveHandlerOf(gone); });
            AddPropertyHandlers(control, handler.PropertyHandlers());
            if (!m_allowChanges) SaveAgainstParent(handler);
        }
        // A nested resizer panel manages its own controls.
        if (qobject_cast<TCustomResizerPanel *>(control) == nullptr) RegisterControls(control);
    }
}

void TCustomResizerPanel::RemoveHandlerOf(const QObject *control) {
    if (!m_handlerOf.remove(control)) return;
    const auto found = std::find_if(m_handlers.rbegin(), m_handlers.rend(),
                                    [control](auto &h) { return h->Control() == control; });
    if (found != m_handlers.rend()) m_handlers.erase(std::next(found).base());
}

void TCustomResizerPanel::HandleSizeChange() {
    const bool painting = updatesEnabled();
    // However the work ends, the panel paints again and its size is the new reference.
    const auto restore = qScopeGuard([this, painting] {
        setUpdatesEnabled(painting);
        m_reference = size();
    });
    RegisterControls(this);
    // Qt sends a resize at the first show (and before rendering a hidden widget) whether or
    // not the size changed: at the size of the proportions every control is where it was
    // designed, so the new controls are learned and nothing is moved.
    if (size() == m_reference) return;
    // Not painted while the controls move, so that the screen is drawn once. (Hiding it
    // would move the keyboard focus out of the panel.)
    setUpdatesEnabled(false);
    if (m_allowChanges) {
        m_ownFont->SaveProportionsAgainst(m_reference);
        for (auto &handler : m_handlers) SaveAgainstParent(*handler);
    }
    AlignChildren(this);
    m_ownFont->ApplyProportionsAgainst(ClientSize(this));
    // Parents come before their children, so each child is placed in its parent's new area.
    QRect bounds;
    for (auto &handler : m_handlers) {
        if (!handler->HasProportions()) continue;
        handler->ApplyBounds(bounds);
        handler->ApplyPropertyProportions();
        handler->StoreAppliedBounds();
    }
}

void TCustomResizerPanel::ReportErrors(void (TCustomResizerPanel::*work)()) {
    try {
        (this->*work)();
    } catch (...) {
        if (m_errorHandler)
            m_errorHandler(std::current_exception());
        else
            qWarning("resizer panel: the change of size failed");
    }
}

bool TCustomResizerPanel::event(QEvent *event) {
    // A panel built in code has its design size when it is first polished for showing.
    if (event->type() == QEvent::Polish) Loaded();
    return QFrame::event(event);
}

void TCustomResizerPanel::resizeEvent(QResizeEvent *event) {
    QFrame::resizeEvent(event);
    if (m_loading || !m_active) {
        AlignChildren(this);
        m_reference = size();
        return;
    }
    // Qt lays out a widget's parts only once it is shown; until then the work waits.
    if (!isVisible()) {
        m_sizePending = true;
        return;
    }
    m_sizePending = false;
    ReportErrors(&TCustomResizerPanel::HandleSizeChange);
}

void TCustomResizerPanel::showEvent(QShowEvent *event) {
    QFrame::showEvent(event);
    if (!m_sizePending || m_loading || !m_active) return;
    m_sizePending = false;
    ReportErrors(&TCustomResizerPanel::HandleSizeChange);
}

}  // namespace sapidoro
