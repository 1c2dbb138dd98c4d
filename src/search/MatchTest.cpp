#include "search/MatchTest.h"

#include <array>
#include <cstring>

namespace sapidoro {

namespace {

constexpr std::array<unsigned char, 256> MakeFoldTable() {
    std::array<unsigned char, 256> table{};
    for (int i = 0; i < 256; ++i) {
        table[i] = static_cast<unsigned char>(i >= 'a' && i <= 'z' ? i - ('a' - 'A') : i);
    }
    return table;
}

constexpr std::array<unsigned char, 256> kFold = MakeFoldTable();

}  // namespace

char FoldAscii(char c) { return static_cast<char>(kFold[static_cast<unsigned char>(c)]); }

std::string FoldAscii(std::string_view text) {
    std::string folded(text);
    for (char &c : folded) c = FoldAscii(c);
    return folded;
}

ContainsTest::ContainsTest(std::string_view searchString) : m_folded(FoldAscii(searchString)) {}

bool ContainsTest::matches(std::string_view text) const {
    const std::size_t m = m_folded.size();
    if (m == 0 || text.size() < m) return false;
    const auto *needle = reinterpret_cast<const unsigned char *>(m_folded.data());
    const auto *at = reinterpret_cast<const unsigned char *>(text.data());
    const auto *last = at + (text.size() - m);
    const unsigned char first = needle[0];
    for (; at <= last; ++at) {
        if (kFold[*at] != first) continue;
        std::size_t k = 1;
        while (k < m && kFold[at[k]] == needle[k]) ++k;
        if (k == m) return true;
    }
    return false;
}

}  // namespace sapidoro
