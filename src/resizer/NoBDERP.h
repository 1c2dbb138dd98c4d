#pragma once

#include "resizer/Align.h"

#include <QFrame>

// The panel that holds every control of the main window. For now a plain container with
// a raised one-pixel bevel; alignment alClient makes it fill its parent's client area.
class TNoBDEResizerPanel : public QFrame {
    Q_OBJECT

public:
    explicit TNoBDEResizerPanel(QWidget *parent = nullptr);

    TAlign align() const { return sapidoro::AlignOf(this); }
    void setAlign(TAlign align) { sapidoro::SetAlign(this, align); }
};
