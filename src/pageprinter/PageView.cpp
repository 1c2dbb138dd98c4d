#include "pageprinter/PageView.h"

#include "pageprinter/PagePrnt.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>

namespace sapidoro {

PagePaintBox::PagePaintBox(TPagePrinter &owner) : QWidget(&owner), m_owner(owner) {}

void PagePaintBox::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    m_owner.PaintPage(painter);
}

namespace {

int ScreenResolution(bool horizontal) {
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen) return 96;
    return qRound(horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY());
}

}  // namespace

int TPagePrinter::ViewPageWidth() const {
    const int screenDpi = m_creating ? ScreenResolution(true) : m_paintBox->logicalDpiX();
    const auto printerDpi = Printer().TryDeviceCaps(DeviceCap::LOGPIXELSX);
    const auto dots = Printer().TryDeviceCaps(DeviceCap::PHYSICALWIDTH);
    const double ratio = m_creating || !printerDpi ? 1.0 : double(*printerDpi) / screenDpi;
    const double d = dots ? *dots
                          : LengthToDots(m_document.MeasureUnit() == muMillimeters ? 210 : 8.5,
                                         m_document.MeasureUnit(), screenDpi);
    return RoundHalfEven(d * m_zoomPercent / ratio * 0.01);
}

int TPagePrinter::ViewPageHeight() const {
    const int screenDpi = m_creating ? ScreenResolution(false) : m_paintBox->logicalDpiY();
    const auto printerDpi = Printer().TryDeviceCaps(DeviceCap::LOGPIXELSY);
    const auto dots = Printer().TryDeviceCaps(DeviceCap::PHYSICALHEIGHT);
    const double ratio = m_creating || !printerDpi ? 1.0 : double(*printerDpi) / screenDpi;
    const double d = dots ? *dots
                          : LengthToDots(m_document.MeasureUnit() == muMillimeters ? 297 : 11,
                                         m_document.MeasureUnit(), screenDpi);
    return RoundHalfEven(d * m_zoomPercent / ratio * 0.01);
}

void TPagePrinter::UpdateScrollRanges() {
    const int horizontalRange = ViewPageWidth() + 2 * (static_cast<int>(m_shadowOffset) + 1);
    const int verticalRange = ViewPageHeight() + 2 * (static_cast<int>(m_shadowOffset) + 1);
    m_paintBox->setMinimumSize(horizontalRange, verticalRange);
    if (m_creating) return;
    const int centredX = (horizontalRange - viewport()->width()) / 2;
    switch (m_zoomLocation) {
        case zlTopLeft:
            horizontalScrollBar()->setValue(0);
            verticalScrollBar()->setValue(0);
            break;
        case zlTopCenter:
            horizontalScrollBar()->setValue(centredX);
            verticalScrollBar()->setValue(0);
            break;
        case zlCenter:
            horizontalScrollBar()->setValue(centredX);
            verticalScrollBar()->setValue((verticalRange - viewport()->height()) / 2);
            break;
    }
}

void TPagePrinter::setZoomPercent(std::uint32_t value) {
    m_zoomPercent = value;
    UpdateScrollRanges();
    update();
}

void TPagePrinter::setShadowOffset(std::uint32_t value) {
    if (value == m_shadowOffset) return;
    m_shadowOffset = value;
    UpdateScrollRanges();
    update();
}

void TPagePrinter::setShadowColor(const QColor &value) {
    if (value == m_shadowColor) return;
    m_shadowColor = value;
    update();
}

void TPagePrinter::setShowMargins(bool value) {
    if (value == m_showMargins) return;
    m_showMargins = value;
    update();
}

void TPagePrinter::setGradientBackground(bool value) {
    if (value == m_gradientBackground) return;
    m_gradientBackground = value;
    update();
}

void TPagePrinter::PaintPage(QPainter &painter) {
    // The sheet centred in the box and the page shown on it, scaled to the zoom.
    const int width = ViewPageWidth();
    const int height = ViewPageHeight();
    const QRect sheet((m_paintBox->width() - width) / 2, (m_paintBox->height() - height) / 2, width,
                      height);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(sheet);
    const int pageNumber = m_document.PageNumber();
    if (pageNumber < 1 || pageNumber > PageCount()) return;
    const PagePicture &page = Page(pageNumber);
    const int fullWidth = DeviceDotsX(PageWidth());
    const int fullHeight = DeviceDotsY(PageHeight());
    if (fullWidth <= 0 || fullHeight <= 0) return;
    painter.save();
    painter.translate(sheet.topLeft());
    painter.scale(double(width) / fullWidth, double(height) / fullHeight);
    page.Play(painter, QPoint(DeviceDotsX(PrintableOffsetX()), DeviceDotsY(PrintableOffsetY())));
    painter.restore();
}

}  // namespace sapidoro
