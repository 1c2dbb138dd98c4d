// The block index against plain byte-by-byte definitions, at every instruction set level the
// processor has.
#include "scan/LineIndex.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace sapidoro;

namespace {

constexpr IndexLevel kLevels[] = {IndexLevel::Portable, IndexLevel::Sse2, IndexLevel::Avx2};

struct Expected {
    std::vector<std::uint64_t> cr, marker, prefix;
    std::size_t ctrlZ;
};

bool PrefixAt(const std::string &bytes, std::size_t at, const PrefixPattern &p) {
    for (std::size_t j = 0; j < p.length; ++j) {
        const auto b = static_cast<unsigned char>(at + j < bytes.size() ? bytes[at + j] : 0);
        if ((b | p.orMask[j]) != p.want[j]) return false;
    }
    return true;
}

Expected Naive(const std::string &bytes, std::size_t to, const IndexPatterns &p) {
    Expected e{std::vector<std::uint64_t>((to + 63) / 64), {}, {}, to};
    e.marker = e.prefix = e.cr;
    for (std::size_t i = 0; i < to; ++i) {
        const auto at = [&](std::size_t k) { return k < bytes.size() ? bytes[k] : '\0'; };
        if (at(i) == 26 && e.ctrlZ == to) e.ctrlZ = i;
        const std::uint64_t bit = std::uint64_t{1} << (i % 64);
        if (at(i) == '\r') e.cr[i / 64] |= bit;
        for (const auto &pair : p.markers) {
            if (at(i) == static_cast<char>(pair[0]) && at(i + 1) == static_cast<char>(pair[1])) {
                e.marker[i / 64] |= bit;
            }
        }
        // No prefix: the bitmap is not built.
        if (p.prefix.length > 0 && PrefixAt(bytes, i, p.prefix)) e.prefix[i / 64] |= bit;
    }
    return e;
}

}  // namespace

TEST(LineIndex, BitmapsAndCtrlZMatchAByteByByteReading) {
    std::mt19937 random(5);
    const char alphabet[] = {'\r', '\n', 'a', 'A', 'p', 'P', ':', 'R', '-', '\x1A', '\xE8', 'z'};
    for (int round = 0; round < 400; ++round) {
        const std::size_t size = 1 + random() % 300;
        std::string bytes;
        for (std::size_t i = 0; i < size; ++i) {
            char c = alphabet[random() % sizeof alphabet];
            if (c == '\x1A' && random() % 6 != 0) c = 'a';
            bytes.push_back(c);
        }
        IndexPatterns patterns;
        patterns.markers[0][0] = ':';
        patterns.markers[0][1] = 'R';
        patterns.markers[1][0] = random() % 2 ? '-' : ':';
        patterns.markers[1][1] = random() % 2 ? 'P' : 'R';
        std::string prefix;
        for (std::size_t j = random() % 5; j > 0; --j) prefix.push_back(alphabet[random() % 8]);
        patterns.prefix = MakePrefixPattern(prefix, random() % 2 == 0);
        // The chunk that holds the end is indexed whole: zeroed bytes behind the text.
        std::string padded = bytes + std::string(192, '\0');
        const Expected want = Naive(padded, bytes.size(), patterns);
        for (IndexLevel wanted : kLevels) {
            const ScopedIndexLevel level(wanted);
            if (level.level() != wanted) continue;
            const std::size_t words = (bytes.size() + 63) / 64;
            std::vector<std::uint64_t> cr(words + 1), marker(words + 1), pre(words + 1);
            const std::size_t ctrlZ = IndexLines(padded.data(), 0, bytes.size(),
                                                 {cr.data(), marker.data(), pre.data()}, patterns);
            SCOPED_TRACE(::testing::Message()
                         << "round " << round << " level " << IndexLevelName(wanted));
            ASSERT_EQ(ctrlZ, want.ctrlZ);
            // Chunks after the one holding a Ctrl-Z are not indexed.
            const std::size_t checked = ctrlZ < bytes.size() ? ctrlZ / 64 + 1 : words;
            for (std::size_t w = 0; w < checked; ++w) {
                ASSERT_EQ(cr[w], want.cr[w]) << "word " << w;
                ASSERT_EQ(marker[w], want.marker[w]) << "word " << w;
                ASSERT_EQ(pre[w], want.prefix[w]) << "word " << w;
            }
        }
    }
}

TEST(LineIndex, FoldedPrefixMatchesOnlyTheLettersAToZInEitherCase) {
    const PrefixPattern p = MakePrefixPattern("p\xE8@", true);
    // "P" and "p" match; the accented letter and "@" only themselves ("`" is "@" | 0x20).
    EXPECT_TRUE(PrefixAt("P\xE8@", 0, p));
    EXPECT_TRUE(PrefixAt("p\xE8@", 0, p));
    EXPECT_FALSE(PrefixAt("p\xC8@", 0, p));
    EXPECT_FALSE(PrefixAt("p\xE8`", 0, p));
}

TEST(LineIndex, ALevelIsForcedDownToWhatTheProcessorHasAndRestored) {
    const IndexLevel best = BestIndexLevel();
    ASSERT_EQ(CurrentIndexLevel(), best);
    {
        const ScopedIndexLevel portable(IndexLevel::Portable);
        EXPECT_EQ(portable.level(), IndexLevel::Portable);
        EXPECT_EQ(CurrentIndexLevel(), IndexLevel::Portable);
        {
            // A level above the processor's runs as its best one.
            const ScopedIndexLevel widest(IndexLevel::Avx2);
            EXPECT_EQ(widest.level(), best);
        }
        EXPECT_EQ(CurrentIndexLevel(), IndexLevel::Portable);
    }
    EXPECT_EQ(CurrentIndexLevel(), best);
#if defined(__x86_64__)
    EXPECT_GE(best, IndexLevel::Sse2);  // the baseline of every x86-64 processor
#endif
    EXPECT_STREQ(IndexLevelName(IndexLevel::Avx2), "AVX2");
}
