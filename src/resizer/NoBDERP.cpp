#include "resizer/NoBDERP.h"

TNoBDEResizerPanel::TNoBDEResizerPanel(QWidget *parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setAutoFillBackground(true);
}
