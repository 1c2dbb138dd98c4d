#include "widgets/ScrollBars.h"

#include <QAbstractScrollArea>

namespace sapidoro {

void SetScrollBars(QAbstractScrollArea *box, ScrollStyle style) {
    const bool horizontal = style == ScrollStyle::Horizontal || style == ScrollStyle::Both;
    const bool vertical = style == ScrollStyle::Vertical || style == ScrollStyle::Both;
    box->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    box->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

ScrollStyle ScrollBarsOf(const QAbstractScrollArea *box) {
    const bool horizontal = box->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
    const bool vertical = box->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
    if (horizontal && vertical) return ScrollStyle::Both;
    if (horizontal) return ScrollStyle::Horizontal;
    if (vertical) return ScrollStyle::Vertical;
    return ScrollStyle::None;
}

}  // namespace sapidoro
