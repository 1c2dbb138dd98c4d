#pragma once

#include <QImage>
#include <QPixmap>

namespace sapidoro {

// The print button's picture: a yellow printer with a sheet of paper on a silver frame,
// 42 x 38 pixels, 24-bit.
QImage PrinterGlyphImage();

// The same picture as the button shows it: every pixel of the bottom-left pixel's colour
// is transparent.
QPixmap PrinterGlyph();

}  // namespace sapidoro
