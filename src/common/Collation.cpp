#include "common/Collation.h"

#include "common/QtText.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <numeric>
#include <optional>

namespace sapidoro {

namespace {

const QCollator &NameCollator() {
    static const QCollator collator = [] {
        QCollator c{QLocale(QLocale::Italian, QLocale::Italy)};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(false);
        return c;
    }();
    return collator;
}

// The collation's own order is that of its sort keys.
QCollatorSortKey SortKey(std::string_view text) {
    return NameCollator().sortKey(FromCp1252(text));
}

struct RankTable {
    std::array<unsigned char, 256> primary{};  // 0: no rank known for the byte
    std::array<bool, 256> plain{};             // ranked, and without an accent
};

// Base letter of an accented letter ("\xE8" -> 'e'), or 0 when the byte is no such letter.
char AccentBase(unsigned char byte) {
    const QString decomposed =
        FromCp1252(std::string_view(reinterpret_cast<const char *>(&byte), 1))
            .normalized(QString::NormalizationForm_D);
    if (decomposed.size() < 2 || decomposed[0].unicode() >= 0x80 || !decomposed[0].isLetter())
        return 0;
    for (qsizetype i = 1; i < decomposed.size(); ++i)
        if (decomposed[i].category() != QChar::Mark_NonSpacing) return 0;
    return static_cast<char>(decomposed[0].toLower().unicode());
}

// Ranks of the first collation level. Each printable ASCII character has one weight and no
// contraction, so a run of them compares character by character ("a" and "A" share a rank,
// as case is not regarded). An accented letter whose first-level weight is its base
// letter's shares that rank and differs only at the second level.
const RankTable &Ranks() {
    static const RankTable table = [] {
        const auto key = [](std::string_view text) { return SortKey(text); };
        const auto less = [&](std::string_view x, std::string_view y) {
            return key(x).compare(key(y)) < 0;
        };
        const QCollatorSortKey empty = key({});
        std::vector<char> chars;
        for (char c = 0x20; c < 0x7F; ++c)
            if (key(std::string_view(&c, 1)).compare(empty) > 0) chars.push_back(c);
        std::stable_sort(chars.begin(), chars.end(), [&](char x, char y) {
            return less(std::string_view(&x, 1), std::string_view(&y, 1));
        });
        RankTable ranks;
        unsigned char rank = 0;
        for (std::size_t i = 0; i < chars.size(); ++i) {
            if (i == 0 || less(std::string_view(&chars[i - 1], 1), std::string_view(&chars[i], 1)))
                ++rank;
            ranks.primary[static_cast<unsigned char>(chars[i])] = rank;
            ranks.plain[static_cast<unsigned char>(chars[i])] = true;
        }
        for (int byte = 0x80; byte <= 0xFF; ++byte) {
            const char base = AccentBase(static_cast<unsigned char>(byte));
            if (base == 0) continue;
            const std::string c(1, static_cast<char>(byte)), l(1, base);
            // Same first-level weight as the base letter, and only one: the letter after it
            // decides against the base letter followed by anything.
            if (less(c + "a", l + "b") && less(l + "a", c + "b") && less(c + "a", l + "aa"))
                ranks.primary[byte] = ranks.primary[static_cast<unsigned char>(base)];
        }
        return ranks;
    }();
    return table;
}

// Compares by the first-level ranks while both texts stay within ranked bytes; nothing when
// a byte without a rank is met, or the texts differ only at a later level.
std::optional<int> FastCompare(std::string_view a, std::string_view b) {
    const RankTable &ranks = Ranks();
    const std::size_t n = std::min(a.size(), b.size());
    bool plain = true;
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
        const unsigned char ra = ranks.primary[ca], rb = ranks.primary[cb];
        if (ra == 0 || rb == 0) return std::nullopt;
        if (ra != rb) return ra < rb ? -1 : 1;
        plain = plain && ranks.plain[ca] && ranks.plain[cb];
    }
    if (a.size() == b.size()) return plain ? std::optional<int>(0) : std::nullopt;
    // The longer text sorts after when what follows the common part carries a weight.
    const std::string_view longer = a.size() > b.size() ? a : b;
    if (ranks.primary[static_cast<unsigned char>(longer[n])] == 0) return std::nullopt;
    return a.size() < b.size() ? -1 : 1;
}

}  // namespace

int CompareNames(std::string_view a, std::string_view b) {
    if (const auto fast = FastCompare(a, b)) return *fast;
    const int full = SortKey(a).compare(SortKey(b));
    return (full > 0) - (full < 0);
}

namespace {

// The first 32 ranks of a name, packed so that integer order is rank order; a zero byte
// stands for the end of the name or for a byte without a rank.
constexpr std::size_t kPrefixWords = 4;
constexpr std::size_t kPrefixRanks = 8 * kPrefixWords;
struct PrefixEntry {
    std::array<std::uint64_t, kPrefixWords> words{};
    std::uint32_t index = 0;
    std::uint32_t size = 0;  // the name's length, to tell its end from a byte without a rank
};

PrefixEntry MakePrefix(std::string_view name, std::uint32_t index) {
    const auto &rank = Ranks().primary;
    PrefixEntry entry;
    entry.index = index;
    entry.size = static_cast<std::uint32_t>(std::min<std::size_t>(name.size(), UINT32_MAX));
    const std::size_t n = std::min(name.size(), kPrefixRanks);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint64_t r = rank[static_cast<unsigned char>(name[i])];
        if (r == 0) break;
        entry.words[i / 8] |= r << (56 - 8 * (i % 8));
    }
    return entry;
}

unsigned RankAt(const PrefixEntry &entry, std::size_t depth) {
    return static_cast<unsigned>((entry.words[depth / 8] >> (56 - 8 * (depth % 8))) & 0xFF);
}

// The order of two prefixes when it is settled by ranks that both names have.
std::optional<bool> PrefixLess(const PrefixEntry &a, const PrefixEntry &b) {
    for (std::size_t w = 0; w < kPrefixWords; ++w) {
        const std::uint64_t x = a.words[w], y = b.words[w];
        if (x == y) continue;
        const int shift = 56 - (std::countl_zero(x ^ y) / 8) * 8;
        if (((x >> shift) & 0xFF) == 0 || ((y >> shift) & 0xFF) == 0) return std::nullopt;
        return x < y;
    }
    return std::nullopt;
}

using EntryIt = std::vector<PrefixEntry>::iterator;

// Sorts by the first-level ranks one position at a time, each range split into buckets by
// its rank there, so that a name costs a few passes however long the list is. A range that
// the ranks cannot split (a byte without a rank, names equal at the first level, or few
// names) is sorted by comparison. Every step keeps equal names in their order.
class RankSorter {
public:
    RankSorter(const std::vector<std::string_view> &names, std::vector<PrefixEntry> &entries)
        : m_names(names), m_keys(names.size()), m_scratch(entries.size()) {}

    void sort(EntryIt first, EntryIt last, std::size_t depth) {
        for (;;) {
            const auto count = static_cast<std::size_t>(last - first);
            if (count < 2) return;
            if (count <= kComparisonBelow || depth == kPrefixRanks) return compareSort(first, last);
            std::array<std::size_t, 257> starts{};
            for (EntryIt e = first; e != last; ++e) ++starts[RankAt(*e, depth) + 1];
            // A byte without a rank leaves its name's place open among all the others.
            if (starts[1] > 0 && std::any_of(first, last, [depth](const PrefixEntry &e) {
                    return RankAt(e, depth) == 0 && e.size > depth;
                }))
                return compareSort(first, last);
            if (std::find(starts.begin() + 1, starts.end(), count) != starts.end()) {
                ++depth;  // one bucket holds the whole range
                continue;
            }
            for (std::size_t b = 1; b < starts.size(); ++b) starts[b] += starts[b - 1];
            std::array<std::size_t, 256> next{};
            std::copy(starts.begin(), starts.end() - 1, next.begin());
            const auto out = m_scratch.begin();
            for (EntryIt e = first; e != last; ++e) out[next[RankAt(*e, depth)]++] = *e;
            std::copy(out, out + count, first);
            // Names that end here are equal at the first level: later levels decide.
            compareSort(first, first + starts[1]);
            for (std::size_t b = 1; b < 256; ++b)
                sort(first + starts[b], first + starts[b + 1], depth + 1);
            return;
        }
    }

private:
    static constexpr std::size_t kComparisonBelow = 24;

    void compareSort(EntryIt first, EntryIt last) {
        // Prefixes settle most comparisons without touching the names; ties go to the rank
        // comparison, and what that cannot settle to sort keys made once per name.
        std::stable_sort(first, last, [this](const PrefixEntry &a, const PrefixEntry &b) {
            if (const auto settled = PrefixLess(a, b)) return *settled;
            if (const auto fast = FastCompare(m_names[a.index], m_names[b.index])) return *fast < 0;
            return key(a.index).compare(key(b.index)) < 0;
        });
    }
    const QCollatorSortKey &key(std::size_t i) {
        if (!m_keys[i]) m_keys[i].emplace(SortKey(m_names[i]));
        return *m_keys[i];
    }

    const std::vector<std::string_view> &m_names;
    std::vector<std::optional<QCollatorSortKey>> m_keys;
    std::vector<PrefixEntry> m_scratch;
};

}  // namespace

std::vector<std::uint32_t> SortedOrder(const std::vector<std::string_view> &names) {
    std::vector<PrefixEntry> entries;
    entries.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        entries.push_back(MakePrefix(names[i], static_cast<std::uint32_t>(i)));
    RankSorter(names, entries).sort(entries.begin(), entries.end(), 0);
    std::vector<std::uint32_t> order;
    order.reserve(entries.size());
    for (const PrefixEntry &entry : entries) order.push_back(entry.index);
    return order;
}

void SortNames(std::vector<std::string> &names) {
    const std::vector<std::uint32_t> order = SortedOrder({names.begin(), names.end()});
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (const std::uint32_t index : order) sorted.push_back(std::move(names[index]));
    names = std::move(sorted);
}

}  // namespace sapidoro
