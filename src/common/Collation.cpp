#include "common/Collation.h"

#include "common/Cp1252.h"
#include "common/QtText.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>
#include <future>
#include <iterator>
#include <numeric>
#include <optional>
#include <system_error>
#include <thread>
#include <unordered_map>

namespace sapidoro {

namespace {

// One per thread: a collator initialises itself on first use, and the listing may be sorted
// on a worker while the window thread sorts a list of its own.
const QCollator &NameCollator() {
    thread_local const QCollator collator = [] {
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
    // Both in one look-up: the rank, and the bits below.
    static constexpr unsigned kNotPlain = 0x100, kUnranked = 0x200;
    std::array<std::uint16_t, 256> both{};
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
        for (int byte = 0; byte <= 0xFF; ++byte)
            ranks.both[byte] = static_cast<std::uint16_t>(
                ranks.primary[byte] | (ranks.plain[byte] ? 0 : RankTable::kNotPlain) |
                (ranks.primary[byte] == 0 ? RankTable::kUnranked : 0));
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

namespace {

// A name in UTF-16 for the collator, on the stack when it is short, so that comparing two
// names allocates nothing.
class CollatorText {
public:
    explicit CollatorText(std::string_view name) {
        if (name.size() > m_local.size()) {
            m_spilled = FromCp1252(name);
            m_text = m_spilled;
            return;
        }
        for (std::size_t i = 0; i < name.size(); ++i)
            m_local[i] = Cp1252ToUnicode(static_cast<unsigned char>(name[i]));
        m_text = QStringView(m_local.data(), static_cast<qsizetype>(name.size()));
    }
    QStringView text() const { return m_text; }

private:
    std::array<char16_t, 256> m_local;
    QString m_spilled;
    QStringView m_text;
};

}  // namespace

int CompareNames(std::string_view a, std::string_view b) {
    if (const auto fast = FastCompare(a, b)) return *fast;
    // The collator's own comparison orders as its sort keys do, without making two of them.
    // An empty text goes by its key: the comparison puts it before one of ignorable bytes,
    // which its key makes equal.
    if (a.empty() || b.empty()) {
        const int byKeys = SortKey(a).compare(SortKey(b));
        return (byKeys > 0) - (byKeys < 0);
    }
    const CollatorText first(a), second(b);
    const int full = NameCollator().compare(first.text(), second.text());
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
// Returns whether every byte of the name within the window is plain.
bool FillWindow(PrefixEntry &entry, std::string_view name, std::size_t base) {
    const RankTable &table = Ranks();
    std::array<unsigned char, kWindowRanks> ranks{};
    const std::size_t end = std::min(name.size(), base + kWindowRanks);
    bool plain = true;
    for (std::size_t i = base; i < end; ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        const unsigned char r = table.primary[byte];
        if (r == 0) {
            plain = false;
            break;
        }
        ranks[i - base] = r;
        plain = plain && table.plain[byte];
    }
    for (std::size_t w = 0; w < kWindowWords; ++w) {
        std::uint64_t word;
        std::memcpy(&word, ranks.data() + 8 * w, sizeof word);
        if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
        entry.words[w] = word;
    }
    return plain;
}

// The entry of a name whose every byte bears a rank, made in one pass over its bytes; false
// for a name holding a byte without one.
bool MakeEntry(std::string_view name, std::uint32_t index, PrefixEntry &entry) {
    const RankTable &table = Ranks();
    std::array<unsigned char, kWindowRanks> ranks{};
    const std::size_t head = std::min(name.size(), kWindowRanks);
    // The bits of every byte, gathered without branches: most names are ranked and plain.
    unsigned seen = 0;
    for (std::size_t i = 0; i < head; ++i) {
        const unsigned both = table.both[static_cast<unsigned char>(name[i])];
        ranks[i] = static_cast<unsigned char>(both);
        seen |= both;
    }
    for (std::size_t i = head; i < name.size(); ++i)
        seen |= table.both[static_cast<unsigned char>(name[i])];
    if ((seen & RankTable::kUnranked) != 0) return false;
    for (std::size_t w = 0; w < kWindowWords; ++w) {
        std::uint64_t word;
        std::memcpy(&word, ranks.data() + 8 * w, sizeof word);
        if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
        entry.words[w] = word;
    }
    entry.index = index;
    entry.size = static_cast<std::uint32_t>(std::min(name.size(), kSizeLimit));
    entry.plain = (seen & RankTable::kNotPlain) == 0 && name.size() <= kSizeLimit ? 1 : 0;
    return true;
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
// a range are read afresh from the names every 32 positions. Every name bears a rank at each
// byte. Small ranges, and names equal at the first level but not plain, are sorted by
// comparison. Every step keeps equal names in their order.
class RankSorter {
public:
    // Sorts the entries of [begin, end); `apart` holds a flag for each of them.
    RankSorter(const std::vector<std::string_view> &names, EntryIt begin, EntryIt end,
               std::uint8_t *apart)
        : m_names(names),
          m_begin(begin),
          m_apart(apart),
          m_scratch(static_cast<std::size_t>(end - begin)) {
        std::fill(apart, apart + (end - begin), std::uint8_t{0});
    }

    void sort(EntryIt first, EntryIt last) {
        // Ranges wait on a list of their own rather than on the stack, which would overflow
        // with names that share long beginnings.
        m_pending.push_back({first, last, 0, false, false});
        for (;;) {
            while (!m_pending.empty()) {
                const Range range = m_pending.back();
                m_pending.pop_back();
                Counts counts;
                if (range.counted) {
                    counts = m_counts.back();
                    m_counts.pop_back();
                }
                sortRange(range.first, range.last, range.depth, range.counted ? &counts : nullptr,
                          range.inScratch);
            }
            if (m_waiting.empty()) return;
            loadWaitingWindows();
        }
    }

private:
    static constexpr std::size_t kComparisonBelow = 32;
    // A range this large is read from memory rather than from the cache: the pass that
    // splits it also counts the ranks that split its parts.
    static constexpr std::size_t kCountAheadFrom = 2048;
    // Entries by their rank at one position; a name that ends before it counts under 0.
    using Counts = std::array<std::uint32_t, 256>;
    struct Range {
        EntryIt first, last;
        std::size_t depth;
        bool counted;    // its counts wait on `m_counts`, in the same order as the ranges
        bool inScratch;  // its entries lie at the same places of the scratch list
    };

    // The entries of [first, last) agree on their first `depth` ranks and hold the window
    // that `depth` falls in; `known` counts their ranks at `depth` when already counted. With
    // `inScratch` they lie at the same places of the scratch list: a split moves the entries
    // from one list to the other, and only what is sorted in place is brought back.
    void sortRange(EntryIt first, EntryIt last, std::size_t depth, const Counts *known,
                   bool inScratch) {
        for (;; known = nullptr) {
            const auto count = static_cast<std::size_t>(last - first);
            const EntryIt in = inScratch ? scratchOf(first) : first, inEnd = in + (last - first);
            const auto bringBack = [&] {
                if (inScratch) std::copy(in, inEnd, first);
            };
            if (count < 2) return bringBack();
            const std::size_t base = depth - depth % kWindowRanks;
            if (count <= kComparisonBelow) return bringBack(), sortSmall(first, last, depth);
            const std::size_t at = depth - base;
            Counts counts{};
            if (known != nullptr)
                counts = *known;
            else
                for (EntryIt e = in; e != inEnd; ++e) ++counts[RankAt(*e, at)];
            unsigned low = 0, high = 255;
            while (counts[low] == 0) ++low;
            while (counts[high] == 0) --high;
            if (low == high) {
                // Every name ended here: they are equal at the first level.
                if (low == 0) return bringBack(), sortEnded(first, last, base);
                // One bucket holds the whole range: on past every rank the names share.
                depth = base + SharedRanks(in, inEnd, at);
                if (depth % kWindowRanks == 0)
                    return bringBack(), m_waiting.push_back({first, last, depth, false, false});
                continue;
            }
            std::array<std::uint32_t, 256> starts{}, next{};
            std::uint32_t sum = 0;
            for (unsigned r = low; r <= high; ++r) starts[r] = next[r] = sum, sum += counts[r];
            const EntryIt out = inScratch ? first : scratchOf(first);
            const bool countAhead = count >= kCountAheadFrom && (depth + 1) % kWindowRanks != 0;
            if (countAhead) {
                m_ahead.assign(high - low + 1, Counts{});
                for (EntryIt e = in; e != inEnd; ++e) {
                    const unsigned r = RankAt(*e, at);
                    out[next[r]++] = *e;
                    if (r != 0) ++m_ahead[r - low][RankAt(*e, at + 1)];
                }
            } else {
                for (EntryIt e = in; e != inEnd; ++e) out[next[RankAt(*e, at)]++] = *e;
            }
            const bool outInScratch = !inScratch;
            // Brings back the bucket of `rank` when it went to the scratch list.
            const auto bringBucketBack = [&](unsigned rank) {
                if (outInScratch)
                    std::copy(out + starts[rank], out + next[rank], first + starts[rank]);
            };
            for (unsigned r = low + 1; r <= high; ++r)
                if (next[r] != starts[r]) markApart(first + starts[r]);
            if (next[0] != starts[0]) {
                bringBucketBack(0);
                if (next[0] - starts[0] > 1) sortEnded(first, first + next[0], base);
            }
            for (unsigned r = std::max(low, 1u); r <= high; ++r) {
                if (next[r] == starts[r]) continue;
                const EntryIt from = first + starts[r], to = first + next[r];
                if (next[r] - starts[r] < 2 || (depth + 1) % kWindowRanks == 0) {
                    bringBucketBack(r);
                    if (next[r] - starts[r] > 1)
                        m_waiting.push_back({from, to, depth + 1, false, false});
                    continue;
                }
                if (countAhead) m_counts.push_back(m_ahead[r - low]);
                m_pending.push_back({from, to, depth + 1, countAhead, outInScratch});
            }
            return;
        }
    }

    EntryIt scratchOf(EntryIt at) { return m_scratch.begin() + (at - m_begin); }

    void markApart(EntryIt at) { m_apart[at - m_begin] = 1; }

    // Loads the next window of ranks of every range waiting for one, in the order in which the
    // names lie in memory rather than range by range from all over it, and sorts them on.
    void loadWaitingWindows() {
        struct Load {
            std::uint32_t name, place;
            std::size_t depth;
        };
        std::vector<Load> loads;
        for (const Range &range : m_waiting)
            for (EntryIt e = range.first; e != range.last; ++e)
                loads.push_back({e->index, static_cast<std::uint32_t>(e - m_begin), range.depth});
        std::sort(loads.begin(), loads.end(),
                  [](const Load &a, const Load &b) { return a.name < b.name; });
        for (const Load &load : loads)
            FillWindow(m_begin[load.place], m_names[load.name], load.depth);
        m_pending.swap(m_waiting);
    }

    // Names that ended together are equal at the first level: later levels decide, unless
    // every one is plain and they are equal outright.
    void sortEnded(EntryIt first, EntryIt last, std::size_t base) {
        if (std::all_of(first, last, [](const PrefixEntry &e) { return e.plain != 0; })) return;
        compareSort(first, last, base);
    }

    // The name fills the window and goes on beyond it.
    static bool GoesOn(const PrefixEntry &e, std::size_t base) {
        return RankAt(e, kWindowRanks - 1) != 0 && e.size > base + kWindowRanks;
    }

    bool less(const PrefixEntry &a, const PrefixEntry &b, std::size_t base) {
        if (const auto settled = WindowCompare(a, b, base)) return *settled < 0;
        if (a.words == b.words && GoesOn(a, base) && GoesOn(b, base)) return false;
        if (const auto fast = FastCompare(m_names[a.index], m_names[b.index])) return *fast < 0;
        return key(a.index).compare(key(b.index)) < 0;
    }

    // Windows settle most comparisons without touching the names. Names that fill the
    // window alike and go on beyond it tie here; each run of them is sorted afterwards by
    // its next window. The rest go to the rank comparison, and what that cannot settle to
    // sort keys made once per name.
    void compareSort(EntryIt first, EntryIt last, std::size_t base) {
        const auto byName = [&](const PrefixEntry &a, const PrefixEntry &b) {
            return less(a, b, base);
        };
        if (last - first > static_cast<std::ptrdiff_t>(kComparisonBelow)) {
            std::stable_sort(first, last, byName);
        } else {
            // Insertion sort: stable, and without the buffer a merge sort allocates.
            for (EntryIt i = first + 1; i < last; ++i) {
                if (!byName(*i, *(i - 1))) continue;
                const PrefixEntry moving = *i;
                EntryIt j = i;
                for (; j != first && byName(moving, *(j - 1)); --j) *j = *(j - 1);
                *j = moving;
            }
        }
        for (EntryIt i = first + 1; i < last; ++i) {
            const auto settled = WindowCompare(*(i - 1), *i, base);
            if (settled && *settled != 0) markApart(i);
        }
        sortRunsOnward(first, last, base);
    }

    // A small range, sorted by the eight ranks from `depth` on as one number, so that most
    // comparisons are one; names that share those go to the comparison of their windows.
    void sortSmall(EntryIt first, EntryIt last, std::size_t depth) {
        const std::size_t base = depth - depth % kWindowRanks, at = depth - base;
        const auto count = static_cast<std::size_t>(last - first);
        std::array<std::pair<std::uint64_t, std::uint32_t>, kComparisonBelow> keys;
        for (std::size_t i = 0; i < count; ++i) {
            keys[i] = {RanksFrom(first[static_cast<std::ptrdiff_t>(i)], at),
                       static_cast<std::uint32_t>(i)};
        }
        const auto before = [&](const std::pair<std::uint64_t, std::uint32_t> &a,
                                const std::pair<std::uint64_t, std::uint32_t> &b) {
            if (a.first != b.first) return a.first < b.first;
            return less(first[a.second], first[b.second], base);
        };
        for (std::size_t i = 1; i < count; ++i) {
            const auto moving = keys[i];
            std::size_t j = i;
            for (; j > 0 && before(moving, keys[j - 1]); --j) keys[j] = keys[j - 1];
            keys[j] = moving;
        }
        std::array<PrefixEntry, kComparisonBelow> sorted;
        for (std::size_t i = 0; i < count; ++i) sorted[i] = first[keys[i].second];
        std::copy(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(count), first);
        for (std::size_t i = 1; i < count; ++i) {
            const EntryIt at_i = first + static_cast<std::ptrdiff_t>(i);
            if (keys[i].first != keys[i - 1].first) {
                markApart(at_i);
            } else {
                const auto settled = WindowCompare(*(at_i - 1), *at_i, base);
                if (settled && *settled != 0) markApart(at_i);
            }
        }
        sortRunsOnward(first, last, base);
    }

    static std::uint64_t RanksFrom(const PrefixEntry &e, std::size_t at) {
        const std::size_t word = at / 8, shift = 8 * (at % 8);
        std::uint64_t ranks = e.words[word] << shift;
        if (shift != 0 && word + 1 < kWindowWords) ranks |= e.words[word + 1] >> (64 - shift);
        return ranks;
    }

    // Runs of names that tie over the whole window and go on go to their next window.
    void sortRunsOnward(EntryIt first, EntryIt last, std::size_t base) {
        for (EntryIt run = first; run != last;) {
            EntryIt end = run + 1;
            if (GoesOn(*run, base)) {
                while (end != last && GoesOn(*end, base) && end->words == run->words) ++end;
                if (end - run > 1)
                    m_waiting.push_back({run, end, base + kWindowRanks, false, false});
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
    std::uint8_t *m_apart;
    std::unordered_map<std::uint32_t, QCollatorSortKey> m_keys;  // few names need one
    std::vector<PrefixEntry> m_scratch;
    std::vector<Range> m_pending;
    std::vector<Range> m_waiting;  // for the next window of their names' ranks
    std::vector<Counts> m_counts;
    std::vector<Counts> m_ahead;  // the counts of the parts of the range being split
};

}  // namespace

namespace {

// A list this long is sorted in two parts at once, each on its own thread: at start-up the
// window's thread waits for the listing meanwhile.
constexpr std::size_t kSplitFrom = std::size_t{1} << 14;

unsigned FirstRank(std::string_view name) {
    return name.empty() ? 0 : Ranks().primary[static_cast<unsigned char>(name.front())];
}

// The first rank from which on the names go to the second part, chosen so that the parts
// are about as large; 0 when the list is not split. Names with different first ranks compare
// unequal, so the parts sort apart and follow each other.
unsigned SplitRank(const std::vector<std::string_view> &names) {
    if (names.size() < kSplitFrom || std::thread::hardware_concurrency() < 2) return 0;
    std::array<std::size_t, 256> counts{};
    for (const std::string_view name : names) ++counts[FirstRank(name)];
    const std::size_t half = names.size() / 2;
    std::size_t before = 0;
    unsigned split = 0;
    while (split < 255 && before + counts[split] <= half) before += counts[split++];
    // The rank that straddles the half goes before it when that leaves the parts closer.
    if (split < 255 && before + counts[split] - half < half - before) before += counts[split++];
    return before == 0 || before == names.size() ? 0 : split;
}

// The names whose first rank lies in [fromRank, toRank): those whose every byte bears a rank
// sorted by their ranks, the rest (`others`) by position.
struct SortedPart {
    std::vector<PrefixEntry> entries;
    std::vector<std::uint8_t> apart;
    std::vector<std::uint32_t> others;
};

SortedPart SortPart(const std::vector<std::string_view> &names, unsigned fromRank,
                    unsigned toRank) {
    SortedPart part;
    const bool whole = fromRank == 0 && toRank > 255;
    part.entries.reserve(whole ? names.size() : names.size() / 2);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!whole) {
            const unsigned rank = FirstRank(names[i]);
            if (rank < fromRank || rank >= toRank) continue;
        }
        PrefixEntry entry;
        if (MakeEntry(names[i], static_cast<std::uint32_t>(i), entry))
            part.entries.push_back(entry);
        else
            part.others.push_back(static_cast<std::uint32_t>(i));
    }
    part.apart.resize(part.entries.size());
    RankSorter(names, part.entries.begin(), part.entries.end(), part.apart.data())
        .sort(part.entries.begin(), part.entries.end());
    return part;
}

// Places the names of `others` (positions into `names`, in their order) into `order`, a
// stable sorted order of the rest, by comparison: each goes after every name that sorts
// before it or equal to it with an earlier position. Places next to them may compare equal.
void PlaceByComparison(const std::vector<std::string_view> &names,
                       std::vector<std::uint32_t> others, std::vector<std::uint32_t> &order,
                       std::vector<std::uint8_t> &apart) {
    std::stable_sort(others.begin(), others.end(), [&](std::uint32_t x, std::uint32_t y) {
        return CompareNames(names[x], names[y]) < 0;
    });
    std::vector<std::uint32_t> merged;
    std::vector<std::uint8_t> mergedApart;
    merged.reserve(order.size() + others.size());
    mergedApart.reserve(order.size() + others.size());
    std::size_t from = 0;
    bool placedLast = false;
    for (const std::uint32_t other : others) {
        const auto first = order.begin() + static_cast<std::ptrdiff_t>(from);
        const auto at = std::partition_point(first, order.end(), [&](std::uint32_t ranked) {
            const int c = CompareNames(names[ranked], names[other]);
            return c < 0 || (c == 0 && ranked < other);
        });
        for (auto it = first; it != at; ++it) {
            mergedApart.push_back(placedLast ? 0
                                             : apart[static_cast<std::size_t>(it - order.begin())]);
            merged.push_back(*it);
            placedLast = false;
        }
        from = static_cast<std::size_t>(at - order.begin());
        merged.push_back(other);
        mergedApart.push_back(0);
        placedLast = true;
    }
    for (std::size_t i = from; i < order.size(); ++i) {
        mergedApart.push_back(placedLast ? 0 : apart[i]);
        merged.push_back(order[i]);
        placedLast = false;
    }
    order = std::move(merged);
    apart = std::move(mergedApart);
}

}  // namespace

std::vector<std::uint32_t> SortedOrder(const std::vector<std::string_view> &names,
                                       std::vector<std::uint8_t> *apart) {
    // A byte without a rank (a control byte, say) is one the collator may pass over, so the
    // ranks of a name holding one do not line up with its letters: such names are placed by
    // comparison after the others are sorted by their ranks.
    const unsigned split = SplitRank(names);
    std::future<SortedPart> secondPart;
    if (split != 0) {
        try {
            secondPart = std::async(std::launch::async, SortPart, std::cref(names), split, 256u);
        } catch (const std::system_error &) {
            // No thread to spare: this one sorts the whole list.
        }
    }
    SortedPart first = SortPart(names, 0, secondPart.valid() ? split : 256u);
    const SortedPart second = secondPart.valid() ? secondPart.get() : SortedPart{};

    std::vector<std::uint32_t> order;
    order.reserve(names.size());
    for (const PrefixEntry &entry : first.entries) order.push_back(entry.index);
    for (const PrefixEntry &entry : second.entries) order.push_back(entry.index);
    std::vector<std::uint8_t> ownApart;
    std::vector<std::uint8_t> &places = apart != nullptr ? *apart : ownApart;
    places = std::move(first.apart);
    const std::size_t boundary = places.size();
    places.insert(places.end(), second.apart.begin(), second.apart.end());
    if (boundary > 0 && boundary < places.size()) places[boundary] = 1;
    std::vector<std::uint32_t> others;
    others.reserve(first.others.size() + second.others.size());
    std::merge(first.others.begin(), first.others.end(), second.others.begin(), second.others.end(),
               std::back_inserter(others));
    if (!others.empty()) PlaceByComparison(names, std::move(others), order, places);
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
