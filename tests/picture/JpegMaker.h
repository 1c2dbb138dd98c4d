#pragma once

#include <string>
#include <vector>

namespace sapidoro::test {

// What a test JPEG looks like; the pixels are a deterministic photograph-like pattern.
struct JpegSpec {
    int width = 64;
    int height = 48;
    int components = 3;  // 1 grey, 3 colour (YCbCr), 4 CMYK
    int quality = 85;
    bool progressive = false;
    int lumaH = 2, lumaV = 2;  // sampling factors of the first component
    int restartRows = 0;
    int densityUnit = 0;  // 2: dots per centimetre
    int xDensity = 1, yDensity = 1;
    std::vector<std::string> comments;
};

// The JPEG file bytes for `params`, compressed by libjpeg.
std::string MakeJpeg(const JpegSpec &params);

// Overwrites the width and height that the frame header declares.
std::string WithDeclaredSize(std::string jpeg, int width, int height);

}  // namespace sapidoro::test
