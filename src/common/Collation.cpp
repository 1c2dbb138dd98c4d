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
#include <unordered_map>

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

bool EqualNames(std::string_view a, std::string_view b) {
    // Names alike up to a byte where both bear different ranks differ at the first level.
    const auto &rank = Ranks().primary;
    const std::size_t n = std::min(a.size(), b.size());
    std::size_t i = 0;
    while (i < n && a[i] == b[i] && rank[static_cast<unsigned char>(a[i])] != 0) ++i;
    if (i < n && a[i] != b[i]) {
        const unsigned ra = rank[static_cast<unsigned char>(a[i])];
        const unsigned rb = rank[static_cast<unsigned char>(b[i])];
        if (ra != 0 && rb != 0 && ra != rb) return false;
    }
    return CompareNames(a, b) == 0;
}

namespace {

// 32 first-level ranks of a name from a window's start on, packed so that integer order is
// rank order; a zero byte stands for the end of the name or for a byte without a rank.
constexpr std::size_t kWindowWords = 4;
constexpr std::size_t kWindowRanks = 8 * kWindowWords;
constexpr std::size_t kSizeLimit = 0x7FFFFFFF;
struct PrefixEntry {
    std::array<std::uint64_t, kWindowWords> words{};
    std::uint32_t index = 0;
    std::uint32_t size : 31 = 0;  // the name's length, to tell its end from a byte without a rank
    std::uint32_t plain : 1 = 0;  // every byte ranked and without an accent
};

// Ranks of the name from `base` on, up to the window's end or the first byte without one.
void FillWindow(PrefixEntry &entry, std::string_view name, std::size_t base) {
    const auto &rank = Ranks().primary;
    std::array<unsigned char, kWindowRanks> ranks{};
    const std::size_t end = std::min(name.size(), base + kWindowRanks);
    for (std::size_t i = base; i < end; ++i) {
        const unsigned char r = rank[static_cast<unsigned char>(name[i])];
        if (r == 0) break;
        ranks[i - base] = r;
    }
    for (std::size_t w = 0; w < kWindowWords; ++w) {
        std::uint64_t word = 0;
        for (std::size_t b = 0; b < 8; ++b) word = (word << 8) | ranks[8 * w + b];
        entry.words[w] = word;
    }
}

PrefixEntry MakeEntry(std::string_view name, std::uint32_t index) {
    const RankTable &ranks = Ranks();
    PrefixEntry entry;
    entry.index = index;
    entry.size = static_cast<std::uint32_t>(std::min(name.size(), kSizeLimit));
    unsigned plain = name.size() <= kSizeLimit ? 1 : 0;
    for (const char c : name) plain &= ranks.plain[static_cast<unsigned char>(c)] ? 1u : 0u;
    entry.plain = plain;
    FillWindow(entry, name, 0);
    return entry;
}

unsigned RankAt(const PrefixEntry &entry, std::size_t at) {
    return static_cast<unsigned>((entry.words[at / 8] >> (56 - 8 * (at % 8))) & 0xFF);
}

// The order of two names that agree on every rank before the window at `base`, when their
// windows settle it: by the first rank that differs, by the end of one name where the
// other goes on, or equal when both end in the window and are plain.
std::optional<int> WindowCompare(const PrefixEntry &a, const PrefixEntry &b, std::size_t base) {
    for (std::size_t w = 0; w < kWindowWords; ++w) {
        const std::uint64_t x = a.words[w], y = b.words[w];
        if (x == y) continue;
        const auto at = static_cast<std::size_t>(std::countl_zero(x ^ y) / 8);
        const int shift = 56 - 8 * static_cast<int>(at);
        const auto ra = (x >> shift) & 0xFF, rb = (y >> shift) & 0xFF;
        if (ra != 0 && rb != 0) return ra < rb ? -1 : 1;
        const std::size_t position = base + 8 * w + at;
        if (ra == 0 && a.size == position) return -1;
        if (rb == 0 && b.size == position) return 1;
        return std::nullopt;  // a byte without a rank
    }
    if (a.plain && b.plain && a.size == b.size && a.size <= base + kWindowRanks) return 0;
    return std::nullopt;
}

using EntryIt = std::vector<PrefixEntry>::iterator;

// How far into the window every entry of the range bears the ranks of the first from `at`
// on, which all share; the first zero rank (an end or a byte without a rank) stops it.
std::size_t SharedRanks(EntryIt first, EntryIt last, std::size_t at) {
    std::size_t shared = at + 1;
    while (shared < kWindowRanks && RankAt(*first, shared) != 0) ++shared;
    for (EntryIt e = first + 1; e != last && shared > at + 1; ++e) {
        for (std::size_t w = at / 8; w < kWindowWords && 8 * w < shared; ++w) {
            const std::uint64_t differ = e->words[w] ^ first->words[w];
            if (differ == 0) continue;
            shared =
                std::min(shared, 8 * w + static_cast<std::size_t>(std::countl_zero(differ)) / 8);
            break;
        }
    }
    return shared;
}

// Sorts by the first-level ranks one position at a time, each range split into buckets by
// its rank there, so that a name costs a few passes however long the list is; the ranks of
// a range are read afresh from the names every 32 positions. Small ranges, and ranges that
// the ranks cannot split (a byte without a rank, names equal at the first level but not
// plain), are sorted by comparison. Every step keeps equal names in their order.
class RankSorter {
public:
    RankSorter(const std::vector<std::string_view> &names, std::vector<PrefixEntry> &entries,
               std::vector<std::uint8_t> &apart)
        : m_names(names), m_begin(entries.begin()), m_apart(apart), m_scratch(entries.size()) {
        m_apart.assign(entries.size(), 0);
    }

    void sort(EntryIt first, EntryIt last) {
        // Ranges wait on a list of their own rather than on the stack, which would overflow
        // with names that share long beginnings.
        m_pending.push_back({first, last, 0});
        while (!m_pending.empty()) {
            const Range range = m_pending.back();
            m_pending.pop_back();
            sortRange(range.first, range.last, range.depth);
        }
    }

private:
    static constexpr std::size_t kComparisonBelow = 16;
    struct Range {
        EntryIt first, last;
        std::size_t depth;
    };

    // The entries of [first, last) agree on their first `depth` ranks and hold the window
    // that `depth` falls in.
    void sortRange(EntryIt first, EntryIt last, std::size_t depth) {
        for (;;) {
            const auto count = static_cast<std::size_t>(last - first);
            if (count < 2) return;
            const std::size_t base = depth - depth % kWindowRanks;
            if (count <= kComparisonBelow) return compareSort(first, last, base);
            const std::size_t at = depth - base;
            std::array<std::uint32_t, 256> starts{};
            unsigned low = 255, high = 0;
            bool unranked = false;
            for (EntryIt e = first; e != last; ++e) {
                const unsigned r = RankAt(*e, at);
                ++starts[r];
                low = std::min(low, r);
                high = std::max(high, r);
                unranked = unranked || (r == 0 && e->size > depth);
            }
            // A byte without a rank leaves its name's place open among all the others.
            if (unranked) return compareSort(first, last, base);
            if (low == high) {
                // Every name ended here: they are equal at the first level.
                if (low == 0) return sortEnded(first, last, base);
                // One bucket holds the whole range: on past every rank the names share.
                depth = base + SharedRanks(first, last, at);
                advance(first, last, depth);
                continue;
            }
            std::uint32_t sum = 0;
            std::array<std::uint32_t, 256> next{};
            for (unsigned r = low; r <= high; ++r) next[r] = sum, sum += starts[r];
            std::copy(next.begin() + low, next.begin() + high + 1, starts.begin() + low);
            const auto out = m_scratch.begin();
            for (EntryIt e = first; e != last; ++e) out[next[RankAt(*e, at)]++] = *e;
            std::copy(out, out + static_cast<std::ptrdiff_t>(count), first);
            for (unsigned r = low + 1; r <= high; ++r)
                if (next[r] != starts[r]) markApart(first + starts[r]);
            if (next[0] - starts[0] > 1) sortEnded(first, first + next[0], base);
            for (unsigned r = std::max(low, 1u); r <= high; ++r) {
                if (next[r] - starts[r] < 2) continue;
                const EntryIt from = first + starts[r], to = first + next[r];
                advance(from, to, depth + 1);
                m_pending.push_back({from, to, depth + 1});
            }
            return;
        }
    }

    void markApart(EntryIt at) { m_apart[static_cast<std::size_t>(at - m_begin)] = 1; }

    // Loads the next window of ranks when `depth` enters it.
    void advance(EntryIt first, EntryIt last, std::size_t depth) {
        if (depth % kWindowRanks != 0 || last - first < 2) return;
        for (EntryIt e = first; e != last; ++e) FillWindow(*e, m_names[e->index], depth);
    }

    // Names that ended together are equal at the first level: later levels decide, unless
    // every one is plain and they are equal outright.
    void sortEnded(EntryIt first, EntryIt last, std::size_t base) {
        if (std::all_of(first, last, [](const PrefixEntry &e) { return e.plain != 0; })) return;
        compareSort(first, last, base);
    }

    // Windows settle most comparisons without touching the names. Names that fill the
    // window alike and go on beyond it tie here; each run of them is sorted afterwards by
    // its next window. The rest go to the rank comparison, and what that cannot settle to
    // sort keys made once per name.
    void compareSort(EntryIt first, EntryIt last, std::size_t base) {
        const auto goesOn = [base](const PrefixEntry &e) {
            return RankAt(e, kWindowRanks - 1) != 0 && e.size > base + kWindowRanks;
        };
        const auto less = [&](const PrefixEntry &a, const PrefixEntry &b) {
            if (const auto settled = WindowCompare(a, b, base)) return *settled < 0;
            if (a.words == b.words && goesOn(a) && goesOn(b)) return false;
            if (const auto fast = FastCompare(m_names[a.index], m_names[b.index])) return *fast < 0;
            return key(a.index).compare(key(b.index)) < 0;
        };
        if (last - first > static_cast<std::ptrdiff_t>(kComparisonBelow)) {
            std::stable_sort(first, last, less);
        } else {
            // Insertion sort: stable, and without the buffer a merge sort allocates.
            for (EntryIt i = first + 1; i < last; ++i) {
                if (!less(*i, *(i - 1))) continue;
                const PrefixEntry moving = *i;
                EntryIt j = i;
                for (; j != first && less(moving, *(j - 1)); --j) *j = *(j - 1);
                *j = moving;
            }
        }
        for (EntryIt i = first + 1; i < last; ++i) {
            const auto settled = WindowCompare(*(i - 1), *i, base);
            if (settled && *settled != 0) markApart(i);
        }
        for (EntryIt run = first; run != last;) {
            EntryIt end = run + 1;
            if (goesOn(*run)) {
                while (end != last && goesOn(*end) && end->words == run->words) ++end;
                if (end - run > 1) {
                    advance(run, end, base + kWindowRanks);
                    m_pending.push_back({run, end, base + kWindowRanks});
                }
            }
            run = end;
        }
    }
    const QCollatorSortKey &key(std::uint32_t i) {
        auto found = m_keys.find(i);
        if (found == m_keys.end()) found = m_keys.emplace(i, SortKey(m_names[i])).first;
        return found->second;
    }

    const std::vector<std::string_view> &m_names;
    const EntryIt m_begin;
    std::vector<std::uint8_t> &m_apart;
    std::unordered_map<std::uint32_t, QCollatorSortKey> m_keys;  // few names need one
    std::vector<PrefixEntry> m_scratch;
    std::vector<Range> m_pending;
};

}  // namespace

std::vector<std::uint32_t> SortedOrder(const std::vector<std::string_view> &names,
                                       std::vector<std::uint8_t> *apart) {
    std::vector<PrefixEntry> entries;
    entries.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        entries.push_back(MakeEntry(names[i], static_cast<std::uint32_t>(i)));
    std::vector<std::uint8_t> ownApart;
    RankSorter(names, entries, apart != nullptr ? *apart : ownApart)
        .sort(entries.begin(), entries.end());
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
