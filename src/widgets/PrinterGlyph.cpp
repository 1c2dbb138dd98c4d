#include "widgets/PrinterGlyph.h"

#include <QBitmap>
#include <QPainter>

namespace sapidoro {

QImage PrinterGlyphImage() {
    QImage image(42, 38, QImage::Format_RGB888);
    image.fill(QColor(0xC0, 0xC0, 0xC0));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QColor outline(0x40, 0x40, 0x00);
    const QColor yellow(0xFF, 0xFF, 0x00);
    const QColor shade(0xC8, 0xA0, 0x00);
    const QColor paper(0xFF, 0xFF, 0xFF);
    const QColor ink(0x80, 0x80, 0x80);

    // The sheet standing in the feeder, with a few lines of print.
    painter.setPen(outline);
    painter.setBrush(paper);
    painter.drawRect(12, 2, 17, 16);
    for (int y = 5; y <= 13; y += 3) painter.fillRect(14, y, 13, 1, ink);

    // The printer body, lit on top and shaded at the front.
    painter.setBrush(yellow);
    painter.drawRect(3, 15, 35, 16);
    painter.fillRect(4, 27, 34, 4, shade);
    painter.fillRect(8, 20, 25, 2, outline);                   // the paper slot
    painter.fillRect(32, 17, 3, 2, QColor(0x00, 0xA0, 0x00));  // the power lamp

    // The printed sheet coming out at the front.
    painter.setBrush(paper);
    painter.drawRect(10, 29, 21, 5);
    painter.fillRect(12, 31, 17, 1, ink);
    painter.end();
    return image;
}

QPixmap PrinterGlyph() {
    const QImage image = PrinterGlyphImage();
    QPixmap pixmap = QPixmap::fromImage(image);
    const QColor transparent = image.pixelColor(0, image.height() - 1);
    pixmap.setMask(
        QBitmap::fromImage(image.createMaskFromColor(transparent.rgb(), Qt::MaskInColor)));
    return pixmap;
}

}  // namespace sapidoro
