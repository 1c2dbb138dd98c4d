#include "SampleData.h"

#include "common/Cp1252.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <set>
#include <string>

namespace fs = std::filesystem;
using sapidoro::Cp1252ToUtf8;
using sapidoro::test::ReadBytes;
using sapidoro::test::SampleFile;
using sapidoro::test::SampleRecords;

namespace {

struct JpegFrame {
    int width = 0;
    int height = 0;
    int components = 0;
    bool baseline = false;
};

int Byte(const std::string &b, std::size_t i) {
    return static_cast<unsigned char>(b[i]);
}

// The frame header of a JPEG file: walks the marker segments up to the first start of frame.
std::optional<JpegFrame> ReadFrame(const std::string &b) {
    if (b.size() < 4 || Byte(b, 0) != 0xFF || Byte(b, 1) != 0xD8) return std::nullopt;
    std::size_t i = 2;
    while (i + 4 <= b.size()) {
        if (Byte(b, i) != 0xFF) return std::nullopt;
        const int marker = Byte(b, i + 1);
        if (marker == 0xFF) {  // fill byte
            ++i;
            continue;
        }
        const std::size_t length = static_cast<std::size_t>(Byte(b, i + 2) << 8 | Byte(b, i + 3));
        const bool startOfFrame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (startOfFrame) {
            if (i + 10 > b.size()) return std::nullopt;
            return JpegFrame{Byte(b, i + 7) << 8 | Byte(b, i + 8),
                             Byte(b, i + 5) << 8 | Byte(b, i + 6), Byte(b, i + 9), marker == 0xC0};
        }
        if (marker == 0xDA || length < 2) return std::nullopt;
        i += 2 + length;
    }
    return std::nullopt;
}

fs::path PictureFolder() {
    return fs::path(SampleFile("immagini"));
}

}  // namespace

TEST(SamplePictures, AreNamedAfterRecipesAndCoverMostOfThem) {
    std::set<std::string> expected;
    for (const auto &r : SampleRecords()) expected.insert(Cp1252ToUtf8(r.name) + ".jpg");

    bool fallback = false;
    std::size_t pictures = 0;
    for (const fs::directory_entry &entry : fs::directory_iterator(PictureFolder())) {
        const std::string file = entry.path().filename().string();
        if (file == "noimage.jpg") {
            fallback = true;
            continue;
        }
        EXPECT_EQ(expected.count(file), 1u) << file << " belongs to no recipe";
        ++pictures;
    }
    EXPECT_TRUE(fallback) << "noimage.jpg is missing";
    // Most recipes have a picture; a few show the fallback.
    EXPECT_GE(pictures * 10, expected.size() * 8);
    EXPECT_LT(pictures, expected.size());
}

TEST(SamplePictures, AreSmallBaselineJpegsOfVariedSizeAndColour) {
    bool larger = false, grey = false;
    std::set<std::pair<int, int>> sizes;
    for (const fs::directory_entry &entry : fs::directory_iterator(PictureFolder())) {
        SCOPED_TRACE(entry.path().filename().string());
        const std::string bytes = ReadBytes(entry.path().string());
        EXPECT_LE(bytes.size(), 40u * 1024u);
        ASSERT_GE(bytes.size(), 2u);
        EXPECT_EQ(bytes.substr(bytes.size() - 2), "\xFF\xD9");
        const std::optional<JpegFrame> frame = ReadFrame(bytes);
        ASSERT_TRUE(frame.has_value()) << "no JPEG frame header";
        EXPECT_TRUE(frame->baseline);
        EXPECT_TRUE(frame->components == 1 || frame->components == 3);
        larger |= frame->width > 393 && frame->height > 593;
        grey |= frame->components == 1;
        sizes.emplace(frame->width, frame->height);
    }
    EXPECT_TRUE(larger) << "no picture larger than the 393 x 593 frame";
    EXPECT_TRUE(grey) << "no greyscale picture";
    EXPECT_GE(sizes.size(), 5u);
}
