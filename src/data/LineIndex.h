#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sapidoro {

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

// "a" to "z" as "A" to "Z"; any other byte as it is.
unsigned char FoldPatternByte(char c);

// Where the bitmaps of a buffer go: bit i of a word array stands for byte i.
struct LineBitmaps {
    std::uint64_t *cr;      // the byte is a CR
    std::uint64_t *starts;  // a line starts at the byte: after a CR and its LF, if any
    std::uint64_t *prefix;  // the pattern matches the bytes from there on; null: not looked for
};

// Indexes bytes [from, to) of `data`, `from` a multiple of 64, in whole chunks of 64 bytes:
// the chunk that holds `to` is indexed whole, and the prefix looks up to kMaxPrefix - 1
// bytes further, so `data` must be readable (and should be zeroed) up to 128 bytes past
// `to`. A line start at byte i depends on bytes i - 2 to i; bytes before `data` count as
// neither CR nor LF. Returns the offset of the first byte 26 in [from, to), or `to` when
// there is none; the chunks after the one holding it are not indexed.
std::size_t IndexLines(const char *data, std::size_t from, std::size_t to,
                       const LineBitmaps &out, const PrefixPattern &pattern);

namespace detail {
// Test hook: the widest instruction set the index may use (0 the baseline, 1 AVX2, 2
// AVX-512BW); returns the one it will use on this processor.
int LimitLineIndex(int level);
}  // namespace detail

}  // namespace sapidoro
