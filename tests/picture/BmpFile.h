#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sapidoro::test {

// A Windows BMP file as djpeg writes it, read field by field.
struct BmpFile {
    std::uint32_t fileSize = 0;
    std::uint32_t pixelOffset = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    int bitsPerPixel = 0;
    std::int32_t xPelsPerMeter = 0;
    std::int32_t yPelsPerMeter = 0;
    std::uint32_t colorsUsed = 0;
    std::vector<std::uint32_t> colourTable;  // as 0x00RRGGBB
    std::vector<std::string> rows;           // top row first, padding dropped
};

// Throws std::runtime_error for anything but an uncompressed 8- or 24-bit bottom-up BMP.
BmpFile ReadBmp(const std::string &bytes);

}  // namespace sapidoro::test
