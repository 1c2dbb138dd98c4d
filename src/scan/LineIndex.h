#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sapidoro {

// Set bits of a word.
inline unsigned CountBits(std::uint64_t bits) {
    return static_cast<unsigned>(__builtin_popcountll(bits));
}

// The longest prefix a line index looks for.
inline constexpr std::size_t kMaxPrefix = 4;

// A prefix to look for, byte by byte: a byte matches when (byte | orMask) == want. A letter
// of a folded prefix takes the 0x20 bit as its mask, so both cases match it.
struct PrefixPattern {
    std::size_t length = 0;
    unsigned char orMask[kMaxPrefix] = {};
    unsigned char want[kMaxPrefix] = {};
};

// The pattern of `prefix` (its first kMaxPrefix bytes); with `foldLetters` the letters "a"
// to "z" and "A" to "Z" match either case, every other byte only itself.
PrefixPattern MakePrefixPattern(std::string_view prefix, bool foldLetters);

// What a line index looks for besides CR bytes: up to two line markers by their first two
// bytes (exact), and a prefix (a search string's beginning).
struct IndexPatterns {
    unsigned char markers[2][2] = {};  // the same pair twice when one marker is watched
    PrefixPattern prefix;
};

// Where the bitmaps of a buffer go: bit i of a word array stands for byte i.
struct LineBitmaps {
    std::uint64_t *cr;      // the byte is a CR
    std::uint64_t *marker;  // a marker's first two bytes start there; null: not looked for
    std::uint64_t *prefix;  // the prefix pattern matches from there on; null: not looked for
};

// Indexes bytes [from, to) of `data`, `from` a multiple of 64, in whole chunks of 64 bytes:
// the chunk that holds `to` is indexed whole, and patterns look up to kMaxPrefix - 1 bytes
// further, so `data` must be readable (and should be zeroed) up to 128 bytes past `to`.
// Returns the offset of the first byte 26 in [from, to), or `to` when there is none; the
// chunks after the one holding it are not indexed.
std::size_t IndexLines(const char *data, std::size_t from, std::size_t to, const LineBitmaps &out,
                       const IndexPatterns &patterns);

// The instruction sets `IndexLines` can run on, from plain C++ to the widest.
enum class IndexLevel { Portable, Sse2, Avx2 };

// The widest level this processor runs; the index uses it unless told otherwise.
IndexLevel BestIndexLevel();

// The level `IndexLines` uses now.
IndexLevel CurrentIndexLevel();

// Makes `IndexLines` use `level`, or the widest level below it that the processor has, and
// returns the level now in use. For tests, fuzzers and benchmarks, which check every level
// against the portable one; the program itself always runs the best level.
IndexLevel ForceIndexLevel(IndexLevel level);

// A readable name of a level ("portable", "SSE2", "AVX2").
const char *IndexLevelName(IndexLevel level);

// Forces a level for the lifetime of the object, then goes back to the one used before.
class ScopedIndexLevel {
public:
    explicit ScopedIndexLevel(IndexLevel level);
    ~ScopedIndexLevel();
    ScopedIndexLevel(const ScopedIndexLevel &) = delete;
    ScopedIndexLevel &operator=(const ScopedIndexLevel &) = delete;
    // The level in use while the object lives.
    IndexLevel level() const { return m_level; }

private:
    IndexLevel m_before;
    IndexLevel m_level;
};

}  // namespace sapidoro
