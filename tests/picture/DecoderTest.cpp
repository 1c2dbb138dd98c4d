// The decoder's refusals, warnings, progress reports and limits.
#include "JpegMaker.h"

#include "picture/JpegDecoder.h"
#include "picture/JpegErrors.h"

#include <gtest/gtest.h>

#include <span>
#include <stdexcept>

namespace sapidoro {
namespace {

using test::JpegSpec;
using test::MakeJpeg;

QImage Decode(const std::string &jpeg, const JpegDecodeOptions &options = {},
              const JpegProgress &progress = {}, const JpegDecodeLimits &limits = {}) {
    return DecodeJpeg(std::span(reinterpret_cast<const std::uint8_t *>(jpeg.data()), jpeg.size()),
                      options, progress, limits);
}

std::string DecodeError(const std::string &jpeg, const JpegDecodeOptions &options = {},
                        const JpegDecodeLimits &limits = {}) {
    try {
        Decode(jpeg, options, {}, limits);
    } catch (const EJPEGException &error) {
        return error.message();
    }
    return "no error";
}

JpegSpec Sized(int width, int height) {
    JpegSpec params;
    params.width = width;
    params.height = height;
    return params;
}

JpegDecodeOptions TrueColour() {
    JpegDecodeOptions options;
    options.numOfColors = TNumOfColors::TrueColor;
    return options;
}

TEST(DecodeJpegErrors, RefusedDataRaisesLibjpegsMessage) {
    EXPECT_EQ(DecodeError("Hello, world"), "Not a JPEG file: starts with $48 $65");
    EXPECT_EQ(DecodeError(std::string("\xFF\xD8\xFF\xD9", 4)), "JPEG datastream contains no image");
}

TEST(DecodeJpegErrors, EmptyDataGiveNoPicture) {
    EXPECT_TRUE(Decode("").isNull());
}

TEST(DecodeJpegErrors, TruncatedFileWarns) {
    const std::string jpeg = MakeJpeg(Sized(80, 60));
    for (const std::size_t keep : {jpeg.size() - 2, jpeg.size() / 2, jpeg.size() - 100})
        EXPECT_EQ(DecodeError(jpeg.substr(0, keep)), "There are warnings") << keep;
    // Cut inside the headers, the image itself is missing: a fatal error, not a warning.
    EXPECT_EQ(DecodeError(jpeg.substr(0, 200)), "Invalid JPEG file structure: missing SOS marker");
    // Cut inside a comment: the skipper stops at the end of the data.
    JpegSpec commented = Sized(16, 16);
    commented.comments = {std::string(9000, 'x')};
    EXPECT_EQ(DecodeError(MakeJpeg(commented).substr(0, 6000)),
              "JPEG datastream contains no image");
    JpegSpec progressive = Sized(80, 60);
    progressive.progressive = true;
    const std::string scans = MakeJpeg(progressive);
    EXPECT_EQ(DecodeError(scans.substr(0, scans.size() * 2 / 3)), "There are warnings");
}

TEST(DecodeJpegErrors, FourComponentOutputIsRefused) {
    JpegSpec cmyk = Sized(16, 16);
    cmyk.components = 4;
    const std::string jpeg = MakeJpeg(cmyk);
    EXPECT_EQ(DecodeError(jpeg), "BMP output must be grayscale or RGB");
    EXPECT_EQ(DecodeError(jpeg, TrueColour()), "BMP output must be grayscale or RGB");
}

TEST(DecodeJpegLimits, HugeDeclaredSizeIsRefusedBeforeDecoding) {
    const std::string jpeg = test::WithDeclaredSize(MakeJpeg(Sized(16, 16)), 60000, 60000);
    EXPECT_EQ(DecodeError(jpeg), "Picture too large: 60000 x 60000 pixels");
    EXPECT_EQ(DecodeError(jpeg, TrueColour()), "Picture too large: 60000 x 60000 pixels");
}

TEST(DecodeJpegLimits, BitmapLimitCountsPaddedRows) {
    // 10 pixels of 24 bits make 30 bytes, padded to 32 per row.
    const std::string jpeg = MakeJpeg(Sized(10, 5));
    JpegDecodeLimits limits;
    limits.maxBitmapBytes = 32 * 5;
    EXPECT_FALSE(Decode(jpeg, TrueColour(), {}, limits).isNull());
    limits.maxBitmapBytes = 32 * 5 - 1;
    EXPECT_EQ(DecodeError(jpeg, TrueColour(), limits), "Picture too large: 10 x 5 pixels");
    // 8 bits per pixel: 12 bytes per row.
    limits.maxBitmapBytes = 12 * 5;
    EXPECT_FALSE(Decode(jpeg, {}, {}, limits).isNull());
}

TEST(DecodeJpegLimits, ProgressiveScanCountIsBounded) {
    JpegSpec params = Sized(32, 32);
    params.progressive = true;  // libjpeg's simple progression writes 10 scans for colour
    const std::string jpeg = MakeJpeg(params);
    JpegDecodeLimits limits;
    limits.maxScans = 10;
    EXPECT_FALSE(Decode(jpeg, {}, {}, limits).isNull());
    limits.maxScans = 9;
    EXPECT_EQ(DecodeError(jpeg, {}, limits), "JPEG file has more than 9 scans");
}

TEST(DecodeJpegLimits, LibraryMemoryIsBounded) {
    JpegSpec params = Sized(256, 256);
    params.progressive = true;  // keeps every coefficient of the image until the last scan
    JpegDecodeLimits limits;
    limits.maxLibraryBytes = 64 * 1024;
    EXPECT_EQ(DecodeError(MakeJpeg(params), TrueColour(), limits), "Backing store not supported");
}

std::vector<int> ProgressOf(int height, int step) {
    std::vector<int> reported;
    JpegProgress progress;
    progress.step = step;
    progress.report = [&reported](int percent) { reported.push_back(percent); };
    Decode(MakeJpeg(Sized(8, height)), {}, progress);
    return reported;
}

TEST(DecodeJpegProgress, ReportsNewMultiplesOfTheStepOnly) {
    EXPECT_EQ(ProgressOf(100, 10), (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
    // 15 rows reach 6, 13, 20, 26, ... percent: 10, 30, 50, 70 and 90 are skipped.
    EXPECT_EQ(ProgressOf(15, 10), (std::vector<int>{20, 40, 60, 80, 100}));
    EXPECT_EQ(ProgressOf(7, 10), (std::vector<int>{100}));
    EXPECT_EQ(ProgressOf(100, 30), (std::vector<int>{30, 60, 90}));
    EXPECT_EQ(ProgressOf(3, 100), (std::vector<int>{100}));
    EXPECT_EQ(ProgressOf(250, 1).size(), 100u);
}

TEST(DecodeJpegProgress, HandlerErrorEndsDecoding) {
    JpegProgress progress;
    progress.report = [](int percent) {
        if (percent == 50) throw std::runtime_error("stop");
    };
    EXPECT_THROW(Decode(MakeJpeg(Sized(8, 20)), {}, progress), std::runtime_error);
}

}  // namespace
}  // namespace sapidoro
