#include "BmpFile.h"

#include <stdexcept>

namespace sapidoro::test {

namespace {

std::uint32_t Le(const std::string &bytes, std::size_t at, int size) {
    if (at + size > bytes.size()) throw std::runtime_error("BMP cut short");
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

}  // namespace

BmpFile ReadBmp(const std::string &bytes) {
    if (bytes.compare(0, 2, "BM") != 0) throw std::runtime_error("not a BMP");
    BmpFile bmp;
    bmp.fileSize = Le(bytes, 2, 4);
    bmp.pixelOffset = Le(bytes, 10, 4);
    if (Le(bytes, 14, 4) != 40) throw std::runtime_error("unexpected info header size");
    bmp.width = static_cast<std::int32_t>(Le(bytes, 18, 4));
    bmp.height = static_cast<std::int32_t>(Le(bytes, 22, 4));
    bmp.bitsPerPixel = static_cast<int>(Le(bytes, 28, 2));
    if (Le(bytes, 30, 4) != 0) throw std::runtime_error("compressed BMP");
    bmp.xPelsPerMeter = static_cast<std::int32_t>(Le(bytes, 38, 4));
    bmp.yPelsPerMeter = static_cast<std::int32_t>(Le(bytes, 42, 4));
    bmp.colorsUsed = Le(bytes, 46, 4);
    if ((bmp.bitsPerPixel != 8 && bmp.bitsPerPixel != 24) || bmp.height <= 0)
        throw std::runtime_error("unexpected BMP layout");
    for (std::uint32_t i = 0; i < bmp.colorsUsed; ++i)
        bmp.colourTable.push_back(Le(bytes, 54 + 4 * i, 4));
    const std::size_t rowBytes = static_cast<std::size_t>(bmp.width) * bmp.bitsPerPixel / 8;
    const std::size_t stride = (rowBytes + 3) / 4 * 4;
    if (bmp.pixelOffset + stride * bmp.height > bytes.size())
        throw std::runtime_error("BMP pixels cut short");
    for (std::int32_t y = bmp.height - 1; y >= 0; --y)
        bmp.rows.push_back(bytes.substr(bmp.pixelOffset + stride * y, rowBytes));
    return bmp;
}

}  // namespace sapidoro::test
