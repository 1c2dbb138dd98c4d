#include "net/PictureJpeg.h"

#include "common/Exception.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

namespace sapidoro {

namespace {

constexpr int kJpegQuality = 90;

[[noreturn]] void Refuse(const QString &why) {
    throw Exception(
        QStringLiteral("l'immagine non si pu\u00F2 leggere (%1).").arg(why).toStdString());
}

}  // namespace

QByteArray PictureAsJpeg(const QByteArray &bytes) {
    QBuffer input;
    input.setData(bytes);
    input.open(QIODevice::ReadOnly);
    QImageReader reader(&input);
    const QByteArray format = reader.format();
    if (format.isEmpty()) Refuse(QStringLiteral("formato sconosciuto"));
    if (format == "jpeg" || format == "jpg") {
        if (!reader.size().isValid()) Refuse(reader.errorString());
        return bytes;
    }
    const QImage image = reader.read();
    if (image.isNull()) Refuse(reader.errorString());
    QImage opaque(image.size(), QImage::Format_RGB32);
    opaque.fill(Qt::white);
    {
        QPainter painter(&opaque);
        painter.drawImage(0, 0, image);
    }
    QByteArray jpeg;
    QBuffer output(&jpeg);
    output.open(QIODevice::WriteOnly);
    QImageWriter writer(&output, "jpeg");
    writer.setQuality(kJpegQuality);
    if (!writer.write(opaque)) Refuse(writer.errorString());
    return jpeg;
}

}  // namespace sapidoro
