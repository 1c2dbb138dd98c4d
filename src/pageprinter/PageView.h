#pragma once

#include <QWidget>

namespace sapidoro {

class TPagePrinter;

// The page printer's paint box: fills the scroll area and paints the page view.
class PagePaintBox : public QWidget {
public:
    explicit PagePaintBox(TPagePrinter &owner);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TPagePrinter &m_owner;
};

}  // namespace sapidoro
