// Draws the program's icon from the print button's printer glyph: the glyph on a clear
// square, enlarged by whole pixels so that its pixel art stays sharp, one PNG per size.
#include "widgets/PrinterGlyph.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <cstdio>

int main(int argc, char *argv[]) {
    // The glyph is drawn without a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_icon <output.png> <size>\n");
        return 2;
    }
    const int size = QString::fromLocal8Bit(argv[2]).toInt();
    const QImage glyph = sapidoro::PrinterGlyph().toImage();
    const int scale = size / std::max(glyph.width(), glyph.height());
    if (scale < 1) {
        std::fprintf(stderr, "make_icon: %d pixels are fewer than the glyph has\n", size);
        return 2;
    }
    const QImage large =
        glyph.scaled(glyph.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.drawImage((size - large.width()) / 2, (size - large.height()) / 2, large);
    painter.end();
    if (!icon.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "make_icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
