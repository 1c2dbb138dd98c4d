#pragma once

#include "picture/JpegOptions.h"

#include <QImage>

#include <cstdint>
#include <functional>
#include <span>

namespace sapidoro {

// Progress of one decode: the percentage of output rows read, reported only when it
// reaches a new multiple of `step` (never at 0).
struct JpegProgress {
    int step = 10;
    std::function<void(int percent)> report;
};

// Decodes a whole JPEG image held in memory into an 8-bit indexed bitmap (grey or
// quantized output, 256-entry colour table) or a 24-bit RGB one. Empty data gives a
// null image. Throws EJPEGException with libjpeg's message when the data are refused,
// and "There are warnings" when libjpeg warned (a truncated file, say).
QImage DecodeJpeg(std::span<const std::uint8_t> data, const JpegDecodeOptions &options,
                  const JpegProgress &progress = {}, const JpegDecodeLimits &limits = {});

}  // namespace sapidoro
