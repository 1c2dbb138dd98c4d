// Decodes arbitrary bytes under every option set: any outcome but a crash, a hang, a leak
// or an error other than EJPEGException is a fault.
#include "picture/JpegDecoder.h"
#include "picture/JpegErrors.h"

#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 1) return 0;
    // The first byte picks the options; the rest is the file.
    const std::uint8_t pick = data[0];
    sapidoro::JpegDecodeOptions options;
    options.numOfColors = static_cast<sapidoro::TNumOfColors>(pick % 3);
    options.dctMethod = static_cast<sapidoro::TDCTMethod>(pick / 3 % 3);
    options.dither = static_cast<sapidoro::TDither>(pick / 9 % 3);
    options.fastProcessing = pick & 0x20;
    options.grayScale = pick & 0x40;
    options.noSmooth = pick & 0x80;
    options.onePass = (pick / 27) % 2;
    // The control's own limits: a file that passes them here passes them in the program.
    const sapidoro::JpegDecodeLimits limits;
    sapidoro::JpegProgress progress;
    progress.step = 1 + pick % 100;
    progress.report = [](int percent) {
        if (percent < 1 || percent > 100) std::abort();
    };
    try {
        const QImage image =
            sapidoro::DecodeJpeg(std::span(data + 1, size - 1), options, progress, limits);
        if (size > 1 && image.isNull()) std::abort();
    } catch (const sapidoro::EJPEGException &) {
    }
    return 0;
}
