#include "JpegMaker.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <jpeglib.h>

namespace sapidoro::test {

namespace {

unsigned Hash(unsigned x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    return x ^ (x >> 16);
}

// Smooth gradients, a few waves and some grain, so that every transform and quantizer
// option changes the result.
JSAMPLE Sample(int x, int y, int channel) {
    const double wave = 40.0 * std::sin(x * 0.13 + channel) + 30.0 * std::cos(y * 0.21 - channel);
    const double base = 60.0 + channel * 40.0 + x * 1.7 - y * 1.1 + wave;
    const int grain = static_cast<int>(Hash(x * 7919U + y * 104729U + channel) % 25) - 12;
    const int value = static_cast<int>(base) + grain;
    return static_cast<JSAMPLE>(value < 0 ? 0 : value > 255 ? 255 : value);
}

}  // namespace

std::string MakeJpeg(const JpegSpec &params) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);

    cinfo.image_width = params.width;
    cinfo.image_height = params.height;
    cinfo.input_components = params.components;
    cinfo.in_color_space = params.components == 1   ? JCS_GRAYSCALE
                           : params.components == 4 ? JCS_CMYK
                                                    : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, params.quality, TRUE);
    if (params.components == 3) {
        cinfo.comp_info[0].h_samp_factor = params.lumaH;
        cinfo.comp_info[0].v_samp_factor = params.lumaV;
    }
    if (params.progressive) jpeg_simple_progression(&cinfo);
    cinfo.restart_in_rows = params.restartRows;
    cinfo.density_unit = static_cast<UINT8>(params.densityUnit);
    cinfo.X_density = static_cast<UINT16>(params.xDensity);
    cinfo.Y_density = static_cast<UINT16>(params.yDensity);

    jpeg_start_compress(&cinfo, TRUE);
    for (const std::string &comment : params.comments)
        jpeg_write_marker(&cinfo, JPEG_COM, reinterpret_cast<const JOCTET *>(comment.data()),
                          static_cast<unsigned>(comment.size()));
    std::vector<JSAMPLE> row(static_cast<std::size_t>(params.width) * params.components);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < params.width; ++x)
            for (int c = 0; c < params.components; ++c)
                row[static_cast<std::size_t>(x) * params.components + c] = Sample(x, y, c);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::string bytes(reinterpret_cast<const char *>(buffer), size);
    std::free(buffer);
    return bytes;
}

std::string WithDeclaredSize(std::string jpeg, int width, int height) {
    // Baseline, extended and progressive frame headers: FF C0, FF C1, FF C2.
    for (std::size_t i = 0; i + 9 < jpeg.size(); ++i) {
        const auto marker = static_cast<unsigned char>(jpeg[i + 1]);
        if (static_cast<unsigned char>(jpeg[i]) == 0xFF && marker >= 0xC0 && marker <= 0xC2) {
            jpeg[i + 5] = static_cast<char>(height >> 8);
            jpeg[i + 6] = static_cast<char>(height & 0xFF);
            jpeg[i + 7] = static_cast<char>(width >> 8);
            jpeg[i + 8] = static_cast<char>(width & 0xFF);
            return jpeg;
        }
    }
    throw std::runtime_error("no frame header");
}

}  // namespace sapidoro::test
