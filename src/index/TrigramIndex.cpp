#include "index/TrigramIndex.h"

#include "common/AsciiCase.h"
#include "data/RecipeFile.h"

#include <algorithm>
#include <cstring>

namespace sapidoro {

namespace {

constexpr int kBucketBits = 17;
static_assert(TrigramIndex::kBuckets == std::size_t{1} << kBucketBits);

inline std::uint32_t Folded(char c) {
    return AsciiLower(static_cast<unsigned char>(c));
}

inline std::size_t BucketOf(std::uint32_t trigram) {
    return (trigram * 0x9E3779B1u) >> (32 - kBucketBits);
}

// The buckets of the trigrams of `text`, folded, in order of appearance.
template <typename Visit>
void ForEachTrigram(std::string_view text, Visit visit) {
    if (text.size() < 3) return;
    std::uint32_t trigram = Folded(text[0]) << 8 | Folded(text[1]);
    for (std::size_t i = 2; i < text.size(); ++i) {
        trigram = ((trigram << 8) | Folded(text[i])) & 0xFFFFFF;
        visit(BucketOf(trigram));
    }
}

// The records of one bucket's postings, in order.
std::vector<std::uint32_t> Decode(const std::uint8_t *at, const std::uint8_t *end) {
    std::vector<std::uint32_t> records;
    std::uint32_t mark = 0;
    while (at < end) {
        std::uint32_t gap = 0;
        for (int shift = 0; at < end; shift += 7) {
            const std::uint8_t byte = *at++;
            gap |= static_cast<std::uint32_t>(byte & 0x7F) << shift;
            if ((byte & 0x80) == 0) break;
        }
        mark += gap;
        records.push_back(mark - 1);
    }
    return records;
}

// The postings of one scope while they are gathered, record after record.
class PostingsBuilder {
public:
    PostingsBuilder()
        : m_lists(TrigramIndex::kBuckets),
          m_last(TrigramIndex::kBuckets, 0),
          m_count(TrigramIndex::kBuckets, 0) {}

    void add(std::string_view text, std::uint32_t record) {
        const std::uint32_t mark = record + 1;  // 0: no record yet
        ForEachTrigram(text, [&](std::size_t bucket) {
            if (m_last[bucket] == mark) return;
            std::uint32_t gap = mark - m_last[bucket];
            m_last[bucket] = mark;
            ++m_count[bucket];
            std::vector<std::uint8_t> &list = m_lists[bucket];
            while (gap >= 0x80) {
                list.push_back(static_cast<std::uint8_t>(gap | 0x80));
                gap >>= 7;
            }
            list.push_back(static_cast<std::uint8_t>(gap));
        });
    }

    // Lays the lists out one after another; a list of more than one record in eight takes
    // less room as a bitmap of the `records` indexed, bit r of byte r / 8 for record r.
    void finish(std::size_t records, std::vector<std::uint64_t> &offsets,
                std::vector<std::uint8_t> &bytes, std::vector<std::uint8_t> &dense) {
        const std::size_t bitmap = (records + 7) / 8;
        std::size_t total = 0;
        for (std::size_t b = 0; b < m_lists.size(); ++b)
            total += IsDense(b, records) ? bitmap : m_lists[b].size();
        bytes.reserve(total);
        offsets.reserve(m_lists.size() + 1);
        offsets.push_back(0);
        dense.assign(m_lists.size(), 0);
        for (std::size_t b = 0; b < m_lists.size(); ++b) {
            std::vector<std::uint8_t> &list = m_lists[b];
            if (IsDense(b, records)) {
                dense[b] = 1;
                const std::size_t at = bytes.size();
                bytes.resize(at + bitmap, 0);
                for (const std::uint32_t record : Decode(list.data(), list.data() + list.size()))
                    bytes[at + record / 8] |= static_cast<std::uint8_t>(1u << (record % 8));
            } else {
                bytes.insert(bytes.end(), list.begin(), list.end());
            }
            offsets.push_back(bytes.size());
            std::vector<std::uint8_t>().swap(list);
        }
    }

private:
    bool IsDense(std::size_t bucket, std::size_t records) const {
        return std::size_t{m_count[bucket]} * 8 > records;
    }

    std::vector<std::vector<std::uint8_t>> m_lists;
    std::vector<std::uint32_t> m_last;
    std::vector<std::uint32_t> m_count;  // records in each list
};

// The start of the separator line that ends a record, or null when it does not end with one
// (as the table road reads it).
const char *SeparatorLine(const char *begin, const char *end) {
    if (end - begin >= 2 && end[-1] == '\n' && end[-2] == '\r')
        end -= 2;
    else if (end > begin && end[-1] == '\r')
        --end;
    const std::size_t size = kRecordSeparator.size();
    if (static_cast<std::size_t>(end - begin) < size) return nullptr;
    const char *line = end - size;
    return std::memcmp(line, kRecordSeparator.data(), size) == 0 ? line : nullptr;
}

const char *LineAfter(const char *cr) {
    return cr + 1 + (cr[1] == '\n');
}

bool LineStartsAt(std::string_view text, std::size_t at) {
    if (at == 0 || text[at - 1] == '\r') return true;
    return text[at - 1] == '\n' && at >= 2 && text[at - 2] == '\r';
}

// The ingredient region of a record from line 12 up to its "-Preparazione" line, as the table
// road tests it; nothing when no such line stands before the separator line.
std::optional<std::string_view> IngredientRegion(const char *from, const char *separator) {
    const std::string_view rest(from, static_cast<std::size_t>(separator - from));
    for (std::size_t at = 0;; ++at) {
        at = rest.find(kPreparationMarker, at);
        if (at == std::string_view::npos) return std::nullopt;
        const std::size_t after = at + kPreparationMarker.size();
        if (after < rest.size() && rest[after] == '\r' && LineStartsAt(rest, at))
            return rest.substr(0, at);
    }
}

}  // namespace

std::optional<TrigramIndex> TrigramIndex::Build(std::shared_ptr<const FileMapping> mapping,
                                                const std::vector<std::uint64_t> &starts) {
    if (mapping == nullptr || starts.empty()) return std::nullopt;
    // Lines 10 serve two scopes; each distinct line is gathered once.
    enum Gathered { kName, kDish, kPeople, kLineTen, kIngredients, kGathered };
    std::array<PostingsBuilder, kGathered> builders;
    std::array<std::size_t, kGathered> covered{};
    const char *data = mapping->data();
    const std::size_t records = std::min<std::size_t>(starts.size() - 1, UINT32_MAX - 1);
    const char *cr[12];
    bool ingredientsOn = true;
    std::size_t record = 0;
    for (; record < records; ++record) {
        if (starts[record + 1] > mapping->size() || starts[record] > starts[record + 1]) break;
        const char *begin = data + starts[record];
        const char *separator = SeparatorLine(begin, data + starts[record + 1]);
        if (separator == nullptr) break;
        // Lines 1 to 12 end before the separator line, or the table road does not take it.
        const char *at = begin;
        int found = 0;
        for (; found < 12; ++found) {
            const void *next = std::memchr(at, '\r', static_cast<std::size_t>(separator - at));
            if (next == nullptr) break;
            cr[found] = static_cast<const char *>(next);
            at = cr[found] + 1;
        }
        if (found < 12) break;
        const auto line = [&](int number) {
            const char *start = LineAfter(cr[number - 2]);
            return std::string_view(start, static_cast<std::size_t>(cr[number - 1] - start));
        };
        const auto number = static_cast<std::uint32_t>(record);
        builders[kName].add(line(2), number);
        builders[kDish].add(line(4), number);
        builders[kPeople].add(line(8), number);
        builders[kLineTen].add(line(10), number);
        if (ingredientsOn) {
            // The whole region holds every trigram of each line's tested part.
            const std::optional<std::string_view> region =
                IngredientRegion(LineAfter(cr[10]), separator);
            if (region) {
                builders[kIngredients].add(*region, number);
                covered[kIngredients] = record + 1;
            } else {
                ingredientsOn = false;
            }
        }
    }
    if (mapping->shortened()) return std::nullopt;
    for (int g = kName; g < kIngredients; ++g) covered[static_cast<std::size_t>(g)] = record;

    TrigramIndex index;
    std::array<Postings, kGathered> gathered;
    for (std::size_t g = 0; g < kGathered; ++g) {
        gathered[g].covered = covered[g];
        gathered[g].coveredEnd = starts[covered[g]];
        builders[g].finish(covered[g], gathered[g].offsets, gathered[g].bytes, gathered[g].dense);
    }
    const auto take = [&](SearchScope scope, Gathered g) {
        index.m_scopes[Index(scope)] = std::make_shared<const Postings>(std::move(gathered[g]));
    };
    take(SearchScope::Nome, kName);
    take(SearchScope::Piatto, kDish);
    take(SearchScope::Persone, kPeople);
    take(SearchScope::Luogo, kLineTen);
    index.m_scopes[Index(SearchScope::RicettaAdattaA)] = index.m_scopes[Index(SearchScope::Luogo)];
    take(SearchScope::Ingredienti, kIngredients);
    index.m_mapping = std::move(mapping);
    return index;
}

std::optional<RecordFilter> TrigramIndex::candidates(SearchScope scope,
                                                     std::string_view searchString) const {
    if (searchString.size() < kShortestSearch) return std::nullopt;
    const Postings &postings = *m_scopes[Index(scope)];
    std::vector<std::size_t> buckets;
    ForEachTrigram(searchString, [&](std::size_t bucket) { buckets.push_back(bucket); });
    if (buckets.empty()) return std::nullopt;
    std::sort(buckets.begin(), buckets.end());
    buckets.erase(std::unique(buckets.begin(), buckets.end()), buckets.end());
    // The shortest list first: every other one only narrows it; bitmaps come last.
    const auto dense = [&](std::size_t b) { return postings.dense[b] != 0; };
    const auto length = [&](std::size_t b) {
        return postings.offsets[b + 1] - postings.offsets[b];
    };
    std::sort(buckets.begin(), buckets.end(), [&](std::size_t a, std::size_t b) {
        return std::pair(dense(a), length(a)) < std::pair(dense(b), length(b));
    });
    const auto at = [&](std::size_t b) { return postings.bytes.data() + postings.offsets[b]; };
    const auto list = [&](std::size_t b) { return Decode(at(b), at(b + 1)); };
    const auto holds = [&](std::size_t b, std::uint32_t record) {
        return record < postings.covered && ((at(b)[record / 8] >> (record % 8)) & 1) != 0;
    };
    RecordFilter filter;
    filter.mapping = m_mapping.get();
    filter.covered = postings.covered;
    filter.coveredEnd = postings.coveredEnd;
    filter.candidates.assign((postings.covered + 63) / 64, 0);
    if (dense(buckets.front())) {
        // Every list is a bitmap: the records in all of them.
        const std::size_t size = length(buckets.front());
        for (std::size_t byte = 0; byte < size; ++byte) {
            std::uint8_t bits = at(buckets.front())[byte];
            for (std::size_t i = 1; i < buckets.size() && bits != 0; ++i)
                bits &= at(buckets[i])[byte];
            filter.candidates[byte / 8] |= std::uint64_t{bits} << (8 * (byte % 8));
        }
        return filter;
    }
    std::vector<std::uint32_t> kept = list(buckets.front());
    for (std::size_t i = 1; i < buckets.size() && !kept.empty(); ++i) {
        if (dense(buckets[i])) {
            const std::size_t b = buckets[i];
            std::erase_if(kept, [&](std::uint32_t record) { return !holds(b, record); });
            continue;
        }
        const std::vector<std::uint32_t> other = list(buckets[i]);
        kept.erase(std::set_intersection(kept.begin(), kept.end(), other.begin(), other.end(),
                                         kept.begin()),
                   kept.end());
    }
    for (const std::uint32_t record : kept)
        if (record < postings.covered)
            filter.candidates[record >> 6] |= std::uint64_t{1} << (record & 63);
    return filter;
}

std::size_t TrigramIndex::memoryBytes() const {
    std::size_t total = 0;
    for (std::size_t s = 0; s < m_scopes.size(); ++s) {
        if (s == Index(SearchScope::RicettaAdattaA)) continue;  // shares Luogo's
        total += m_scopes[s]->bytes.size() + m_scopes[s]->dense.size() +
                 m_scopes[s]->offsets.size() * sizeof(std::uint64_t);
    }
    return total;
}

}  // namespace sapidoro
