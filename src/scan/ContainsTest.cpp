#include "scan/ContainsTest.h"

#include "common/AsciiCase.h"

#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sapidoro {

namespace {

// The fold of every byte, looked up in the inner loops.
constexpr std::array<unsigned char, 256> MakeFoldTable() {
    std::array<unsigned char, 256> table{};
    for (int i = 0; i < 256; ++i) table[i] = AsciiUpper(static_cast<unsigned char>(i));
    return table;
}

constexpr std::array<unsigned char, 256> kFold = MakeFoldTable();

bool EqualFolded(const unsigned char *text, const unsigned char *folded, std::size_t n) {
    for (std::size_t k = 0; k < n; ++k) {
        if (kFold[text[k]] != folded[k]) return false;
    }
    return true;
}

}  // namespace

ContainsTest::ContainsTest(std::string_view searchString) : m_folded(AsciiUpper(searchString)) {}

std::size_t ContainsTest::find(std::string_view text) const {
    const std::size_t m = m_folded.size();
    if (m == 0 || text.size() < m) return std::string_view::npos;
    const auto *needle = reinterpret_cast<const unsigned char *>(m_folded.data());
    const auto *bytes = reinterpret_cast<const unsigned char *>(text.data());
    const std::size_t candidates = text.size() - m + 1;  // possible start positions
    std::size_t i = 0;
#if defined(__SSE2__)
    // Sixteen start positions at a time: the first and the last byte of the folded search
    // string must both match (letters compared with the 0x20 bit set, a superset that the exact
    // check below narrows), then the bytes between them are compared.
    const unsigned char first = needle[0], last = needle[m - 1];
    const __m128i firstCase = _mm_set1_epi8(static_cast<char>(IsAsciiLetter(first) ? 0x20 : 0));
    const __m128i lastCase = _mm_set1_epi8(static_cast<char>(IsAsciiLetter(last) ? 0x20 : 0));
    const __m128i firstWant =
        _mm_set1_epi8(static_cast<char>(IsAsciiLetter(first) ? first | 0x20 : first));
    const __m128i lastWant =
        _mm_set1_epi8(static_cast<char>(IsAsciiLetter(last) ? last | 0x20 : last));
    for (; i + 16 <= candidates; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes + i + m - 1));
        const __m128i hit = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(a, firstCase), firstWant),
                                          _mm_cmpeq_epi8(_mm_or_si128(b, lastCase), lastWant));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
        while (mask != 0) {
            const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(mask));
            if (EqualFolded(bytes + at, needle, m)) return at;
            mask &= mask - 1;
        }
    }
#endif
    for (; i < candidates; ++i) {
        if (kFold[bytes[i]] == needle[0] && EqualFolded(bytes + i, needle, m)) return i;
    }
    return std::string_view::npos;
}

}  // namespace sapidoro
