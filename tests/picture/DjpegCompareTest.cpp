// The decoded bitmap against the BMP that djpeg writes with the same options: the same
// size, bit depth, colour table, density and every pixel.
#include "BmpFile.h"
#include "Djpeg.h"
#include "JpegMaker.h"

#include "picture/JpegDecoder.h"

#include <gtest/gtest.h>

#include <span>

namespace sapidoro {
namespace {

using test::JpegSpec;

struct NamedImage {
    const char *name;
    JpegSpec params;
};

struct NamedOptions {
    const char *name;
    JpegDecodeOptions options;
    QStringList djpeg;
};

void PrintTo(const NamedImage &image, std::ostream *out) {
    *out << image.name;
}
void PrintTo(const NamedOptions &options, std::ostream *out) {
    *out << options.name;
}

JpegDecodeOptions Options(TNumOfColors colours, TDCTMethod dct, TDither dither) {
    JpegDecodeOptions options;
    options.numOfColors = colours;
    options.dctMethod = dct;
    options.dither = dither;
    return options;
}

std::vector<NamedImage> Images() {
    std::vector<NamedImage> images;
    JpegSpec colour;
    colour.width = 97;
    colour.height = 61;
    images.push_back({"colour_odd_size", colour});

    JpegSpec grey;
    grey.width = 64;
    grey.height = 47;
    grey.components = 1;
    images.push_back({"greyscale", grey});

    JpegSpec progressive;
    progressive.width = 120;
    progressive.height = 80;
    progressive.lumaH = progressive.lumaV = 1;
    progressive.progressive = true;
    images.push_back({"progressive", progressive});

    // A comment longer than one 4096-byte chunk makes the skipper read on.
    JpegSpec commented;
    commented.width = 50;
    commented.height = 40;
    commented.comments = {"Sapidoro", std::string(5000, 'c'), std::string(1, '\xFF')};
    commented.densityUnit = 2;
    commented.xDensity = 38;
    commented.yDensity = 40;
    images.push_back({"comments_and_density_per_cm", commented});

    JpegSpec inches = commented;
    inches.comments.clear();
    inches.densityUnit = 1;
    inches.xDensity = inches.yDensity = 300;
    images.push_back({"density_per_inch", inches});

    JpegSpec restarts;
    restarts.width = 33;
    restarts.height = 17;
    restarts.lumaH = 2;
    restarts.lumaV = 1;
    restarts.restartRows = 1;
    images.push_back({"h2v1_with_restarts", restarts});

    JpegSpec tiny;
    tiny.width = tiny.height = 1;
    images.push_back({"one_pixel", tiny});
    return images;
}

std::vector<NamedOptions> OptionSets() {
    std::vector<NamedOptions> sets;
    const auto s = [](const char *text) { return QString::fromLatin1(text); };
    sets.push_back(
        {"main_window", {}, {s("-colors"), s("256"), s("-dct"), s("int"), s("-dither"), s("fs")}});
    sets.push_back({"true_colour",
                    Options(TNumOfColors::TrueColor, TDCTMethod::Integ, TDither::FS),
                    {s("-dct"), s("int")}});
    JpegDecodeOptions sixteen = Options(TNumOfColors::_16, TDCTMethod::Integ, TDither::Ordered);
    sixteen.onePass = true;
    sets.push_back({"16_onepass_ordered",
                    sixteen,
                    {s("-colors"), s("16"), s("-onepass"), s("-dither"), s("ordered")}});
    sets.push_back({"256_float_no_dither",
                    Options(TNumOfColors::_256, TDCTMethod::FloatingPoint, TDither::None),
                    {s("-colors"), s("256"), s("-dct"), s("float"), s("-dither"), s("none")}});
    // The fast preset wins over the transform and dithering chosen beside it.
    JpegDecodeOptions fast = Options(TNumOfColors::_256, TDCTMethod::FloatingPoint, TDither::FS);
    fast.fastProcessing = true;
    sets.push_back({"fast_processing",
                    fast,
                    {s("-colors"), s("256"), s("-onepass"), s("-dither"), s("ordered"), s("-dct"),
                     s("fast"), s("-nosmooth")}});
    JpegDecodeOptions greyTrue = Options(TNumOfColors::TrueColor, TDCTMethod::Integ, TDither::FS);
    greyTrue.grayScale = true;
    sets.push_back({"grayscale_true_colour", greyTrue, {s("-grayscale")}});
    JpegDecodeOptions grey256;
    grey256.grayScale = true;
    sets.push_back({"grayscale_256", grey256, {s("-grayscale"), s("-colors"), s("256")}});
    JpegDecodeOptions noSmooth =
        Options(TNumOfColors::TrueColor, TDCTMethod::FastInteg, TDither::FS);
    noSmooth.noSmooth = true;
    sets.push_back({"nosmooth_fast_integer", noSmooth, {s("-nosmooth"), s("-dct"), s("fast")}});
    JpegDecodeOptions onePass;
    onePass.onePass = true;
    sets.push_back({"256_onepass_fs",
                    onePass,
                    {s("-colors"), s("256"), s("-onepass"), s("-dither"), s("fs")}});
    return sets;
}

QImage Decode(const std::string &jpeg, const JpegDecodeOptions &options) {
    return DecodeJpeg(std::span(reinterpret_cast<const std::uint8_t *>(jpeg.data()), jpeg.size()),
                      options);
}

void ExpectSameBitmap(const QImage &image, const test::BmpFile &bmp) {
    ASSERT_EQ(image.width(), bmp.width);
    ASSERT_EQ(image.height(), bmp.height);
    if (bmp.bitsPerPixel == 8) {
        ASSERT_EQ(image.format(), QImage::Format_Indexed8);
        ASSERT_EQ(bmp.colorsUsed, 256u);
        ASSERT_EQ(image.colorCount(), 256);
        for (int i = 0; i < 256; ++i)
            EXPECT_EQ(image.color(i), 0xFF000000u | bmp.colourTable[i]) << "colour " << i;
    } else {
        ASSERT_EQ(image.format(), QImage::Format_RGB888);
        ASSERT_EQ(image.colorCount(), 0);
    }
    const int bytesPerPixel = bmp.bitsPerPixel / 8;
    for (int y = 0; y < image.height(); ++y) {
        std::string row(reinterpret_cast<const char *>(image.constScanLine(y)),
                        static_cast<std::size_t>(image.width()) * bytesPerPixel);
        // The BMP stores blue, green, red.
        if (bytesPerPixel == 3)
            for (std::size_t x = 0; x < row.size(); x += 3) std::swap(row[x], row[x + 2]);
        ASSERT_EQ(row, bmp.rows[y]) << "row " << y;
    }
    if (bmp.xPelsPerMeter > 0) {
        EXPECT_EQ(image.dotsPerMeterX(), bmp.xPelsPerMeter);
        EXPECT_EQ(image.dotsPerMeterY(), bmp.yPelsPerMeter);
    } else {
        // No density in dots per centimetre: the bitmap keeps the default resolution.
        EXPECT_EQ(image.dotsPerMeterX(), QImage(1, 1, QImage::Format_RGB888).dotsPerMeterX());
    }
}

class DjpegCompare : public ::testing::TestWithParam<std::tuple<NamedImage, NamedOptions>> {};

TEST_P(DjpegCompare, SamePixelsDepthAndColourTable) {
    const auto &[image, options] = GetParam();
    const std::string jpeg = test::MakeJpeg(image.params);
    const std::string expected = test::RunDjpeg(jpeg, options.djpeg);
    ASSERT_FALSE(expected.empty());
    ExpectSameBitmap(Decode(jpeg, options.options), test::ReadBmp(expected));
}

INSTANTIATE_TEST_SUITE_P(Pictures, DjpegCompare,
                         ::testing::Combine(::testing::ValuesIn(Images()),
                                            ::testing::ValuesIn(OptionSets())),
                         [](const auto &param) {
                             return std::string(std::get<0>(param.param).name) + "__" +
                                    std::get<1>(param.param).name;
                         });

TEST(DjpegCompareDensity, DotsPerCentimetreBecomePixelsPerMetre) {
    JpegSpec params;
    params.densityUnit = 2;
    params.xDensity = 38;
    params.yDensity = 45;
    const QImage image = Decode(test::MakeJpeg(params), {});
    EXPECT_EQ(image.dotsPerMeterX(), 3800);
    EXPECT_EQ(image.dotsPerMeterY(), 4500);
}

}  // namespace
}  // namespace sapidoro
