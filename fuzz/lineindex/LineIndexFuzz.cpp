// Indexes arbitrary bytes at every instruction set level the processor has (portable, SSE2,
// AVX2) and compares each level's bitmaps and Ctrl-Z answer with a byte-by-byte
// reading of the same bytes.
//
// Input: marker pairs [0..1] and [2..3]; flags [4]: bit 0 watch markers, bit 1 two markers,
// bit 2 fold letters, bits 3-5 prefix length (up to 4), bits 6-7 chunks skipped at the start;
// prefix bytes [5..8]; then the bytes to index.
#include "scan/LineIndex.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace sapidoro;

namespace {

constexpr std::size_t kHeader = 9;
constexpr std::size_t kPadding = 128;

[[noreturn]] void Fail(const char *what, IndexLevel level, std::size_t word) {
    std::fprintf(stderr, "%s differs at level %s, word %zu\n", what, IndexLevelName(level), word);
    std::abort();
}

struct Bitmaps {
    std::vector<std::uint64_t> cr, marker, prefix;
    explicit Bitmaps(std::size_t words) : cr(words), marker(words), prefix(words) {}
};

// Bit i of each bitmap by its definition, for every byte of the chunks [from, to) covers.
Bitmaps Plain(const std::string &padded, std::size_t from, std::size_t chunksEnd,
              const unsigned char markers[2][2], bool watchMarkers, std::string_view prefix,
              bool fold) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(padded[i]); };
    const auto folded = [&](unsigned char c) {
        return fold && c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
    };
    Bitmaps plain(chunksEnd / 64 + 1);
    for (std::size_t i = from; i < chunksEnd; ++i) {
        const std::uint64_t bit = std::uint64_t{1} << (i % 64);
        if (byte(i) == '\r') plain.cr[i / 64] |= bit;
        for (int m = 0; m < 2 && watchMarkers; ++m) {
            if (byte(i) == markers[m][0] && byte(i + 1) == markers[m][1])
                plain.marker[i / 64] |= bit;
        }
        bool match = !prefix.empty();
        for (std::size_t j = 0; j < prefix.size(); ++j) {
            match = match && folded(byte(i + j)) == folded(static_cast<unsigned char>(prefix[j]));
        }
        if (match) plain.prefix[i / 64] |= bit;
    }
    return plain;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < kHeader) return 0;
    const unsigned char flags = data[4];
    const bool watchMarkers = flags & 1;
    unsigned char markers[2][2] = {{data[0], data[1]}, {data[0], data[1]}};
    if (flags & 2) {
        markers[1][0] = data[2];
        markers[1][1] = data[3];
    }
    const bool fold = flags & 4;
    const std::size_t prefixLength = ((flags >> 3) & 7) % 5;
    const std::string_view prefix(reinterpret_cast<const char *>(data) + 5, prefixLength);
    const std::string bytes(reinterpret_cast<const char *>(data) + kHeader, size - kHeader);
    const std::size_t from = 64 * std::min<std::size_t>(flags >> 6, bytes.size() / 64);
    const std::size_t to = bytes.size();
    if (from >= to) return 0;

    std::string padded = bytes + std::string(kPadding, '\0');
    const std::size_t ctrlZ = bytes.find('\x1A', from);
    const std::size_t wantCtrlZ = ctrlZ == std::string::npos ? to : ctrlZ;
    const std::size_t lastChunk = (wantCtrlZ < to ? wantCtrlZ : to - 1) / 64;
    const Bitmaps want =
        Plain(padded, from, 64 * (lastChunk + 1), markers, watchMarkers, prefix, fold);

    IndexPatterns patterns;
    for (int m = 0; m < 2; ++m) {
        patterns.markers[m][0] = markers[m][0];
        patterns.markers[m][1] = markers[m][1];
    }
    patterns.prefix = MakePrefixPattern(prefix, fold);
    for (IndexLevel level : {IndexLevel::Portable, IndexLevel::Sse2, IndexLevel::Avx2}) {
        const ScopedIndexLevel forced(level);
        if (forced.level() != level) continue;  // the processor lacks it
        Bitmaps got(to / 64 + 2);
        const LineBitmaps out{got.cr.data(), watchMarkers ? got.marker.data() : nullptr,
                              prefixLength > 0 ? got.prefix.data() : nullptr};
        const std::size_t gotCtrlZ = IndexLines(padded.data(), from, to, out, patterns);
        if (gotCtrlZ != wantCtrlZ) Fail("Ctrl-Z offset", level, 0);
        for (std::size_t w = from / 64; w <= lastChunk; ++w) {
            if (got.cr[w] != want.cr[w]) Fail("CR bitmap", level, w);
            if (got.marker[w] != want.marker[w]) Fail("marker bitmap", level, w);
            if (got.prefix[w] != want.prefix[w]) Fail("prefix bitmap", level, w);
        }
        // Chunks after the one holding a Ctrl-Z are left alone.
        for (std::size_t w = lastChunk + 1; w < got.cr.size(); ++w) {
            if (got.cr[w] != 0 || got.marker[w] != 0 || got.prefix[w] != 0)
                Fail("chunk after the end", level, w);
        }
    }
    return 0;
}
