#pragma once

#include "resizer/Align.h"
#include "resizer/MRHandler.h"

#include <QFrame>
#include <QHash>
#include <QList>
#include <QSize>

#include <exception>
#include <functional>
#include <memory>
#include <vector>

namespace sapidoro {

class TMRFont;

// Creates the control handler of one control: the panel's choice of handler class.
using TMRControlHandlerClass = std::unique_ptr<TMRControlHandler> (*)(QWidget *control);

// A panel that keeps every control inside it, at any depth, in the proportions it had when
// the panel first saw it: on every change of the panel's size each control's bounds, and
// the size-like properties its handlers know, are set again as fixed fractions of its
// parent's client area. It knows no kinds of controls; `AddPropertyHandlers` and
// `ChildControls` of a descendant add that knowledge.
class TCustomResizerPanel : public QFrame {
    Q_OBJECT
    Q_PROPERTY(bool AllowChanges READ AllowChanges WRITE setAllowChanges)

public:
    explicit TCustomResizerPanel(QWidget *parent = nullptr);
    ~TCustomResizerPanel() override;

    bool Active() const { return m_active; }
    // Off forgets every proportion; on learns afresh from the layout of the next resize.
    void setActive(bool active);
    // False keeps the proportions learned when each control was first seen; true learns
    // them again before every resize from controls whose bounds changed since the last one.
    bool AllowChanges() const { return m_allowChanges; }
    void setAllowChanges(bool allow) { m_allowChanges = allow; }

    TAlign align() const { return AlignOf(this); }
    void setAlign(TAlign align) { SetAlign(this, align); }

    // The end of building the panel and its controls: the present size becomes the size
    // the design proportions refer to. Runs by itself before the panel is first shown.
    void Loaded();
    QSize ReferenceSize() const { return m_reference; }

    // The work of a change of size, steps in order; errors propagate. The panel's own
    // resize and show events run it and hand any error to the error handler.
    void HandleSizeChange();
    // Receives errors of the size change run from events (none may reach Qt's event loop).
    void setErrorHandler(std::function<void(std::exception_ptr)> handler);

    int ControlHandlerCount() const { return static_cast<int>(m_handlers.size()); }
    TMRControlHandler *ControlHandlerOf(const QWidget *control) const;
    TMRFont &OwnFontHandler() const { return *m_ownFont; }

protected:
    // Appends the property handlers suited to `control`; none in this class.
    virtual void AddPropertyHandlers(QWidget *control, TMRPropertyHandlers &handlers);
    // Appends the controls directly inside `container`, in child order: here every child
    // widget that is not a window of its own.
    virtual void ChildControls(QWidget *container, QList<QWidget *> &controls) const;
    void setHandlerClass(TMRControlHandlerClass handlerClass) { m_handlerClass = handlerClass; }

    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void RegisterControls(QWidget *container);
    void SaveAgainstParent(TMRControlHandler &handler) const;
    void RemoveHandlerOf(const QObject *control);
    void FreeHandlers();
    void ReportErrors(void (TCustomResizerPanel::*work)());

    TMRControlHandlerClass m_handlerClass;
    std::vector<std::unique_ptr<TMRControlHandler>> m_handlers;  // in the order first seen
    QHash<const QObject *, TMRControlHandler *> m_handlerOf;
    std::unique_ptr<TMRFont> m_ownFont;
    QSize m_reference;
    bool m_active = true;
    bool m_allowChanges = false;
    bool m_loading = true;
    bool m_sizePending = false;  // resized while not shown: the work waits for the show
    std::function<void(std::exception_ptr)> m_errorHandler;
};

}  // namespace sapidoro
