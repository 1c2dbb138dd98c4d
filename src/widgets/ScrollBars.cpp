#include "widgets/ScrollBars.h"

#include <QAbstractScrollArea>

namespace sapidoro {

void SetScrollBars(QAbstractScrollArea *box, ScrollStyle style) {
    const bool horizontal = style == ScrollStyle::Horizontal || style == ScrollStyle::Both;
    const bool vertical = style == ScrollStyle::Vertical || style == ScrollStyle::Both;
    box->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    box->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

}  // namespace sapidoro
