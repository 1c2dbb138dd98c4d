#pragma once

#include <QByteArray>

namespace sapidoro {

// The picture as JPEG: a JPEG stays as it is; any other format Qt's image plugins read (PNG,
// WebP, GIF, ...) is decoded, laid on white where it is transparent and written as JPEG.
// Throws Exception when the bytes are no picture Qt can read.
QByteArray PictureAsJpeg(const QByteArray &bytes);

}  // namespace sapidoro
