#pragma once

#include "resizer/CustomRP.h"

namespace sapidoro {

// The resizer panel for Qt's standard controls and the program's own widget set. The
// table of kinds and what each scales is at the top of NoBDERP.cpp.
class TNoBDEResizerPanel : public TCustomResizerPanel {
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE setActive)

public:
    explicit TNoBDEResizerPanel(QWidget *parent = nullptr);

protected:
    void AddPropertyHandlers(QWidget *control, TMRPropertyHandlers &handlers) override;
    void ChildControls(QWidget *container, QList<QWidget *> &controls) const override;
};

}  // namespace sapidoro
