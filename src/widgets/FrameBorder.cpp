#include "widgets/FrameBorder.h"

#include <qdrawutil.h>
#include <QPainter>

namespace sapidoro {

FrameBorder::FrameBorder(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void FrameBorder::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    qDrawShadeRect(&painter, rect(), palette(), true, 1, 0);
}

}  // namespace sapidoro
