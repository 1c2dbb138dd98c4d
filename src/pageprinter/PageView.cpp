#include "pageprinter/PageView.h"

#include "pageprinter/PagePrnt.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>

namespace sapidoro {

PagePaintBox::PagePaintBox(TPagePrinter &owner) : QWidget(&owner), m_owner(owner) {
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
}

void PagePaintBox::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    m_owner.PaintPage(painter);
}

namespace {

int PrimaryScreenResolution(bool horizontal) {
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen) return 96;
    return qRound(horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY());
}

// Rectangle from (x1, y1) to (x2, y2), right and bottom edges excluded: outlined with the
// painter's pen one pixel wide and filled with its brush.
void DrawRectangle(QPainter &painter, int x1, int y1, int x2, int y2) {
    if (x2 <= x1 || y2 <= y1) return;
    painter.drawRect(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
}

}  // namespace

QWidget *TPagePrinter::PaintBox() const {
    return m_paintBox;
}

QColor TPagePrinter::Color() const {
    return palette().color(QPalette::Window);
}

void TPagePrinter::setColor(const QColor &value) {
    QPalette colours = palette();
    colours.setColor(QPalette::Window, value);
    setPalette(colours);
    update();
}

int TPagePrinter::ScreenResolutionX() const {
    return m_creating ? PrimaryScreenResolution(true) : m_paintBox->logicalDpiX();
}

int TPagePrinter::ScreenResolutionY() const {
    return m_creating ? PrimaryScreenResolution(false) : m_paintBox->logicalDpiY();
}

std::int32_t TPagePrinter::ScreenDotsX(double length) const {
    return LengthToDots(length, MeasureUnit(), ScreenResolutionX());
}

std::int32_t TPagePrinter::ScreenDotsY(double length) const {
    return LengthToDots(length, MeasureUnit(), ScreenResolutionY());
}

std::int32_t TPagePrinter::ZoomedScreenDotsX(double length) const {
    return RoundHalfEven(ScreenDotsX(length) * static_cast<double>(m_zoomPercent) * 0.01);
}

std::int32_t TPagePrinter::ZoomedScreenDotsY(double length) const {
    return RoundHalfEven(ScreenDotsY(length) * static_cast<double>(m_zoomPercent) * 0.01);
}

int TPagePrinter::ViewPageWidth() const {
    // Printer dots shown at the screen's resolution, so the sheet has its real size at 100%.
    const auto printerDpi = Printer().TryDeviceCaps(DeviceCap::LOGPIXELSX);
    const auto dots = Printer().TryDeviceCaps(DeviceCap::PHYSICALWIDTH);
    const double ratio = m_creating || !printerDpi || !dots
                             ? 1.0
                             : static_cast<double>(*printerDpi) / ScreenResolutionX();
    const double d = dots ? *dots : ScreenDotsX(MeasureUnit() == muMillimeters ? 210 : 8.5);
    return RoundHalfEven(d * m_zoomPercent / ratio * 0.01);
}

int TPagePrinter::ViewPageHeight() const {
    const auto printerDpi = Printer().TryDeviceCaps(DeviceCap::LOGPIXELSY);
    const auto dots = Printer().TryDeviceCaps(DeviceCap::PHYSICALHEIGHT);
    const double ratio = m_creating || !printerDpi || !dots
                             ? 1.0
                             : static_cast<double>(*printerDpi) / ScreenResolutionY();
    const double d = dots ? *dots : ScreenDotsY(MeasureUnit() == muMillimeters ? 297 : 11);
    return RoundHalfEven(d * m_zoomPercent / ratio * 0.01);
}

void TPagePrinter::FitPaintBox() {
    // The paint box fills the client area, and is as large as the scroll ranges beyond it.
    const QSize client = viewport()->size();
    m_paintBox->resize(std::max(m_horzRange, client.width()),
                       std::max(m_vertRange, client.height()));
    horizontalScrollBar()->setRange(0, std::max(0, m_horzRange - client.width()));
    verticalScrollBar()->setRange(0, std::max(0, m_vertRange - client.height()));
    horizontalScrollBar()->setPageStep(client.width());
    verticalScrollBar()->setPageStep(client.height());
}

void TPagePrinter::resizeEvent(QResizeEvent *event) {
    QScrollArea::resizeEvent(event);
    FitPaintBox();
}

void TPagePrinter::UpdateScrollRanges() {
    const int margin = 2 * (static_cast<int>(m_shadowOffset) + 1);
    m_horzRange = ViewPageWidth() + margin;
    m_vertRange = ViewPageHeight() + margin;
    FitPaintBox();
    if (m_creating) return;
    // Moving away and back tells every listener of the scroll bars, even when already at 0.
    const auto moveToTop = [](QScrollBar *bar) {
        bar->setValue(1);
        bar->setValue(0);
    };
    const int centredX = (m_horzRange - viewport()->width()) / 2;
    switch (m_zoomLocation) {
        case zlTopLeft:
            moveToTop(horizontalScrollBar());
            moveToTop(verticalScrollBar());
            break;
        case zlTopCenter:
            horizontalScrollBar()->setValue(centredX);
            moveToTop(verticalScrollBar());
            break;
        case zlCenter:
            horizontalScrollBar()->setValue(centredX);
            verticalScrollBar()->setValue((m_vertRange - viewport()->height()) / 2);
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
    painter.setRenderHint(QPainter::Antialiasing, false);
    const int boxWidth = m_paintBox->width();
    const int boxHeight = m_paintBox->height();
    const QColor end = Color();

    const int n = boxHeight - 1;
    if (m_gradientBackground && n > 0) {
        // From black in the top row to `Color` in the bottom row, one row at a time.
        for (int d = 0; d <= n; ++d) {
            const auto mix = [&](int component) { return (d * component) / n; };
            painter.fillRect(0, d, boxWidth, 1,
                             QColor(mix(end.red()), mix(end.green()), mix(end.blue())));
        }
    }

    const int width = ViewPageWidth();
    const int height = ViewPageHeight();
    const int left = (boxWidth - width) / 2;
    const int top = (boxHeight - height) / 2;
    const int right = left + width;
    const int bottom = top + height;

    const int shadow = static_cast<int>(m_shadowOffset);
    if (shadow > 0) {
        painter.setPen(QPen(m_shadowColor, 1, Qt::SolidLine));
        painter.setBrush(m_shadowColor);
        DrawRectangle(painter, right, top + shadow, right + shadow, bottom + shadow);
        DrawRectangle(painter, left + shadow, bottom, right, bottom + shadow);
    }
    painter.setPen(QPen(Qt::black, 1, Qt::SolidLine));
    painter.setBrush(Qt::white);
    DrawRectangle(painter, left, top, right, bottom);

    const int pageNumber = PageNumber();
    if (pageNumber >= 1 && pageNumber <= PageCount()) {
        // The page, recorded from the printable area's corner, stretched to the sheet's edge.
        const PagePicture &page = Page(pageNumber);
        const QRect target(QPoint(left + ZoomedScreenDotsX(PrintableOffsetX()) + 1,
                                  top + ZoomedScreenDotsY(PrintableOffsetY()) + 1),
                           QPoint(right, bottom));
        if (page.Width() > 0 && page.Height() > 0 && target.width() > 0 && target.height() > 0) {
            painter.save();
            painter.setClipRect(target);
            painter.translate(target.topLeft());
            painter.scale(static_cast<double>(target.width()) / page.Width(),
                          static_cast<double>(target.height()) / page.Height());
            page.Play(painter);
            painter.restore();
        }
    }

    if (m_showMargins) {
        QPen dotted(QColor(192, 192, 192), 1, Qt::CustomDashLine);
        dotted.setDashPattern({1, 1});
        painter.setPen(dotted);
        painter.setBrush(Qt::NoBrush);
        DrawRectangle(
            painter, left + ZoomedScreenDotsX(MarginLeft()), top + ZoomedScreenDotsY(MarginTop()),
            right - ZoomedScreenDotsX(MarginRight()), bottom - ZoomedScreenDotsY(MarginBottom()));
    }
    painter.setPen(end);
}

}  // namespace sapidoro
