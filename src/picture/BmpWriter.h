#pragma once

#include <QImage>

#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

namespace sapidoro {

// Holds the decoded rows as a Windows bitmap of the output would: 8 bits per pixel with
// a 256-entry colour table for grey or quantized output (the quantizer's colour map
// padded with black, or the grey ramp), 24 bits for unquantized colour, rows padded to
// 4 bytes, the density in pixels per metre when the JPEG gives dots per centimetre.
// The rows go straight into the picture's bitmap instead of through a BMP file image.
class BmpWriter {
public:
    // Allocates the bitmap for the output the header announced. Throws EJPEGException for
    // an output colour space a bitmap cannot hold and for a bitmap above `maxBytes`.
    BmpWriter(const jpeg_decompress_struct &cinfo, std::uint64_t maxBytes);

    // Takes the colour table; the quantizer's map exists once decompression has started.
    void setColourTable(const jpeg_decompress_struct &cinfo);

    JSAMPROW row(JDIMENSION y) { return m_bits + static_cast<std::size_t>(y) * m_bytesPerLine; }

    QImage take() { return std::move(m_image); }

    // Bytes of a bitmap `width` pixels wide and `height` high: rows padded to 4 bytes.
    static std::uint64_t BitmapBytes(std::uint64_t width, std::uint64_t height, int bitsPerPixel);

private:
    QImage m_image;
    uchar *m_bits = nullptr;
    std::size_t m_bytesPerLine = 0;
};

}  // namespace sapidoro
