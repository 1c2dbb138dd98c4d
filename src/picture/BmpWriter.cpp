#include "picture/BmpWriter.h"

#include "picture/JpegErrors.h"

#include <algorithm>
#include <string>

namespace sapidoro {

namespace {

constexpr int kColourTableEntries = 256;

// Quantized or grey output: one byte per pixel indexing the colour table.
bool IsIndexed(const jpeg_decompress_struct &cinfo) {
    return cinfo.quantize_colors || cinfo.out_color_space == JCS_GRAYSCALE;
}

std::string SizeText(const jpeg_decompress_struct &cinfo) {
    return std::to_string(cinfo.output_width) + " x " + std::to_string(cinfo.output_height);
}

}  // namespace

std::uint64_t BmpWriter::BitmapBytes(std::uint64_t width, std::uint64_t height, int bitsPerPixel) {
    const std::uint64_t bytesPerLine = (width * bitsPerPixel + 31) / 32 * 4;
    return bytesPerLine * height;
}

BmpWriter::BmpWriter(const jpeg_decompress_struct &cinfo, std::uint64_t maxBytes) {
    if (cinfo.out_color_space != JCS_GRAYSCALE && cinfo.out_color_space != JCS_RGB)
        throw EJPEGException("BMP output must be grayscale or RGB");
    const bool indexed = IsIndexed(cinfo);
    const int bitsPerPixel = indexed ? 8 : 24;
    // JDIMENSION is 32 bits wide: the product is computed in 64 bits and cannot overflow.
    if (cinfo.output_width == 0 || cinfo.output_height == 0 ||
        BitmapBytes(cinfo.output_width, cinfo.output_height, bitsPerPixel) > maxBytes)
        throw EJPEGException("Picture too large: " + SizeText(cinfo) + " pixels");

    m_image = QImage(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height),
                     indexed ? QImage::Format_Indexed8 : QImage::Format_RGB888);
    if (m_image.isNull())
        throw EJPEGException("Not enough memory for a picture of " + SizeText(cinfo) + " pixels");
    m_bits = m_image.bits();
    m_bytesPerLine = static_cast<std::size_t>(m_image.bytesPerLine());
    if (cinfo.density_unit == 2) {
        m_image.setDotsPerMeterX(cinfo.X_density * 100);
        m_image.setDotsPerMeterY(cinfo.Y_density * 100);
    }
}

void BmpWriter::setColourTable(const jpeg_decompress_struct &cinfo) {
    if (!IsIndexed(cinfo)) return;
    QList<QRgb> table(kColourTableEntries, qRgb(0, 0, 0));
    if (cinfo.quantize_colors) {
        const bool grey = cinfo.out_color_components == 1;
        const int used = std::min(cinfo.actual_number_of_colors, kColourTableEntries);
        for (int i = 0; i < used; ++i) {
            const int red = cinfo.colormap[0][i];
            table[i] =
                grey ? qRgb(red, red, red) : qRgb(red, cinfo.colormap[1][i], cinfo.colormap[2][i]);
        }
    } else {
        for (int i = 0; i < kColourTableEntries; ++i) table[i] = qRgb(i, i, i);
    }
    m_image.setColorTable(table);
}

}  // namespace sapidoro
