#pragma once

#include <cstdint>

namespace sapidoro {

// Colour quantization of the decoded picture.
enum class TNumOfColors { _16, _256, TrueColor };
// Inverse transform method.
enum class TDCTMethod { Integ, FastInteg, FloatingPoint };
// Dithering when quantizing.
enum class TDither { None, FS, Ordered };

// The decoding options of the picture control, with its defaults.
struct JpegDecodeOptions {
    TNumOfColors numOfColors = TNumOfColors::_256;
    TDCTMethod dctMethod = TDCTMethod::Integ;
    TDither dither = TDither::FS;
    bool fastProcessing = false;
    bool grayScale = false;
    bool noSmooth = false;
    bool onePass = false;
};

// Bounds that keep a hostile file from exhausting memory or time.
struct JpegDecodeLimits {
    // Largest decoded bitmap accepted, in bytes (rows padded to 4 bytes).
    std::uint64_t maxBitmapBytes = std::uint64_t{1} << 28;
    // Largest working memory libjpeg may take (whole-image buffers of progressive
    // and two-pass decoding).
    std::uint64_t maxLibraryBytes = std::uint64_t{1} << 30;
    // Most scans a progressive file may have; each scan walks the whole image.
    int maxScans = 1000;
};

}  // namespace sapidoro
