#include "search/RecordJump.h"

#include "data/Split.h"
#include "search/MatchTest.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sapidoro {

namespace {

// The CR bytes of 64 bytes from `at`, bit i for byte i.
inline std::uint64_t CrBits(const char *at) {
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    std::uint64_t bits = 0;
    for (int k = 0; k < 4; ++k) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at + 16 * k));
        bits |=
            std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, cr)))}
            << (16 * k);
    }
    return bits;
#else
    std::uint64_t bits = 0;
    for (int i = 0; i < 64; ++i) bits |= std::uint64_t{at[i] == '\r'} << i;
    return bits;
#endif
}

// The first `count` CRs before `limit` from `begin`, into cr[0 .. count); false when there
// are fewer. Found 64 bytes at a time: one branch per 64 bytes rather than one per line.
// Whole blocks are read only while they end before `readable` (the file's end).
inline bool FirstCrs(const char *begin, const char *limit, const char *readable, unsigned count,
                     const char **cr) {
    unsigned found = 0;
    for (const char *block = begin; block < limit; block += 64) {
        std::uint64_t bits = 0;
        if (readable - block >= 64) {
            bits = CrBits(block);
        } else {
            for (std::ptrdiff_t i = 0; i < readable - block; ++i)
                bits |= std::uint64_t{block[i] == '\r'} << i;
        }
        if (limit - block < 64) bits &= (std::uint64_t{1} << (limit - block)) - 1;
        if (bits == 0) {
            // A long line: the C library's search finds its end far faster than blocks do.
            const char *from = block + 64;
            const char *to = std::min(limit, readable);
            if (from >= to) return false;
            const void *next = std::memchr(from, '\r', static_cast<std::size_t>(to - from));
            if (next == nullptr) return false;
            block = begin + (static_cast<const char *>(next) - begin) / 64 * 64 - 64;
            continue;
        }
        for (; bits != 0 && found < count; bits &= bits - 1)
            cr[found++] = block + __builtin_ctzll(bits);
        if (found == count) return true;
    }
    return false;
}

// The start of the separator line that ends a record of the table, or null when the record
// does not end with one.
inline const char *SeparatorLine(const char *begin, const char *end) {
    if (end - begin >= 2 && end[-1] == '\n' && end[-2] == '\r')
        end -= 2;
    else if (end > begin && end[-1] == '\r')
        --end;
    const std::size_t size = kRecordSeparator.size();
    if (static_cast<std::size_t>(end - begin) < size) return nullptr;
    const char *line = end - size;
    return std::memcmp(line, kRecordSeparator.data(), size) == 0 ? line : nullptr;
}

// The start of the line after the CR at `cr`, whose next byte is readable.
inline const char *LineAfter(const char *cr) {
    return cr + 1 + (cr[1] == '\n');
}

// Walks the table's records in the mapping; stops at the first record it cannot take as the
// walk would, or when the file was seen shortened, and returns the number of records done.
class TableWalk {
public:
    TableWalk(const FileMapping &mapping, const RecordTable &table, SearchScope scope,
              std::string_view searchString, const MatchHandler &onMatch,
              const RecordHandler &onRecord, const RecordFilter *filter)
        : m_mapping(mapping),
          m_table(table),
          m_test(scope, searchString),
          m_comparedLine(ComparedLineOf(scope)),
          m_ingredients(scope == SearchScope::Ingredienti),
          m_onMatch(onMatch),
          m_onRecord(onRecord),
          m_filter(filter) {}

    std::size_t run() {
        const char *data = m_mapping.data();
        for (std::size_t record = 0; record < m_table.size(); ++record) {
            if (m_filter != nullptr && m_filter->passesOver(record)) {
                if (m_onRecord) m_onRecord();
                continue;
            }
            prefetch(record + kPrefetchDistance);
            const char *begin = data + m_table.start(record);
            const char *separator = SeparatorLine(begin, data + m_table.start(record + 1));
            m_matches = 0;
            if (separator == nullptr || !firstLines(record, begin, separator) ||
                !(m_ingredients ? ingredientRecord(record, begin, separator) : fixedLineRecord()))
                return record;
            // A short name is copied first: the bytes read may turn out to be zeros where a
            // file shortened meanwhile no longer reaches, and the walk's road then takes
            // over. A long one, whose copy would cost more than the search, is passed in
            // place once the file is seen to still reach past it.
            const bool inPlace = m_matches > 0 && m_name.size() > kLongestCopiedName;
            if (inPlace) {
                const auto nameEnd = static_cast<std::size_t>(m_cr[1] - data);
                if (m_mapping.currentSize() < nameEnd) return record;
            } else if (m_matches > 0) {
                m_nameCopy.assign(m_name);
            }
            if (m_mapping.shortened()) return record;
            for (int match = 0; match < m_matches; ++match)
                m_onMatch(inPlace ? m_name : std::string_view(m_nameCopy));
            if (m_onRecord) m_onRecord();
        }
        return m_table.size();
    }

private:
    // The walk waits on memory more than on work: the bytes a record some way ahead will be
    // read at are asked for while this one is tested. Once its layout is learnt, those are
    // the lines the scope tests; before, its first lines and its separator line.
    static constexpr std::size_t kPrefetchDistance = 8;
    static constexpr std::size_t kLongestCopiedName = 64 * 1024;
    void prefetch(std::size_t record) const {
        if (record >= m_table.size() || (m_filter != nullptr && m_filter->passesOver(record)))
            return;
        const char *begin = m_mapping.data() + m_table.start(record);
        const RecordTable::Layout &layout = m_table.layout(record);
        if (layout.lineEnds[11] == 0) {
            const char *end = m_mapping.data() + m_table.start(record + 1);
            const char *last = std::min(end, begin + (m_ingredients ? 768 : 384));
            for (const char *line = begin; line < last; line += 64) __builtin_prefetch(line);
            const std::size_t tail = kRecordSeparator.size() + 2;
            __builtin_prefetch(end - begin > static_cast<std::ptrdiff_t>(tail) ? end - tail
                                                                               : begin);
        } else if (!m_ingredients) {
            __builtin_prefetch(begin + layout.lineEnds[m_comparedLine - 2]);
            __builtin_prefetch(begin + layout.lineEnds[m_comparedLine - 1]);
        } else if (layout.preparation != 0) {
            for (const char *line = begin + layout.lineEnds[10]; line < begin + layout.preparation;
                 line += 64)
                __builtin_prefetch(line);
        }
    }

    // Finds the ends of lines 1 to 12, or takes them from the record's learnt layout; false
    // when line 12 does not end before the separator line. That line is the first equal to
    // ":Ricette" from line 3 on, so lines 3 to 12 then hold none, as the walk, which reads
    // them by position, needs.
    bool firstLines(std::size_t record, const char *begin, const char *separator) {
        RecordTable::Layout &layout = m_table.layout(record);
        if (layout.lineEnds[11] != 0) {
            for (int line = 0; line < 12; ++line) m_cr[line] = begin + layout.lineEnds[line];
        } else {
            if (!FirstCrs(begin, separator, m_mapping.data() + m_mapping.size(), 12, m_cr))
                return false;
            if (m_cr[11] - begin <= UINT16_MAX) {
                for (int line = 0; line < 12; ++line)
                    layout.lineEnds[line] = static_cast<std::uint16_t>(m_cr[line] - begin);
            }
        }
        const char *name = LineAfter(m_cr[0]);
        m_name = std::string_view(name, static_cast<std::size_t>(m_cr[1] - name));
        return true;
    }

    bool fixedLineRecord() {
        const char *line = LineAfter(m_cr[m_comparedLine - 2]);
        const char *end = m_cr[m_comparedLine - 1];
        if (m_test.matches(std::string_view(line, static_cast<std::size_t>(end - line))))
            ++m_matches;
        return true;
    }

    // Lines 12 up to "-Preparazione" are tested; the region is searched as a whole and each
    // place found is checked on its own line, as the walk tests it. False when no
    // "-Preparazione" line stands before the separator line (the walk would read on past it).
    bool ingredientRecord(std::size_t record, const char *begin, const char *separator) {
        const char *from = LineAfter(m_cr[10]);
        RecordTable::Layout &layout = m_table.layout(record);
        std::size_t preparation;
        if (layout.preparation != 0) {
            preparation = layout.preparation - static_cast<std::size_t>(from - begin);
        } else {
            const std::string_view rest(from, static_cast<std::size_t>(separator - from));
            for (preparation = 0;; ++preparation) {
                preparation = rest.find(kPreparationMarker, preparation);
                if (preparation == std::string_view::npos) return false;
                const std::size_t after = preparation + kPreparationMarker.size();
                if (after < rest.size() && rest[after] == '\r' && LineStartsAt(rest, preparation))
                    break;
            }
            const std::size_t offset = static_cast<std::size_t>(from - begin) + preparation;
            if (offset <= UINT32_MAX) layout.preparation = static_cast<std::uint32_t>(offset);
        }
        const std::string_view region(from, preparation);
        for (std::size_t at = 0; at < region.size();) {
            const std::size_t found = m_test.contains().find(region.substr(at));
            if (found == std::string_view::npos) break;
            const std::size_t place = at + found;
            const std::size_t lineStart = LineStartOf(region, place);
            if (lineStart > place) {  // the LF of a line end
                at = place + 1;
                continue;
            }
            const std::size_t lineEnd = region.find('\r', place);
            const std::string_view line = region.substr(lineStart, lineEnd - lineStart);
            if (m_test.matches(TextAfter(line, kIngredientSearchSeparator))) {
                ++m_matches;
                at = lineEnd + 1;
            } else {
                at = place + 1;
            }
        }
        return true;
    }

    // Whether offset `at` of `text`, which begins with a line, begins a line: it follows a
    // CR, or the LF of a CR LF.
    static bool LineStartsAt(std::string_view text, std::size_t at) {
        if (at == 0 || text[at - 1] == '\r') return true;
        return text[at - 1] == '\n' && at >= 2 && text[at - 2] == '\r';
    }

    // The start of the line of `region` that holds `at`; past `at` when `at` is the LF of a
    // CR LF line end.
    static std::size_t LineStartOf(std::string_view region, std::size_t at) {
        const std::size_t cr = region.rfind('\r', at);
        if (cr == std::string_view::npos) return 0;
        if (cr == at) return at;  // a match cannot start at a line's CR; stay on it
        return cr + 1 + (region[cr + 1] == '\n');
    }

    const FileMapping &m_mapping;
    const RecordTable &m_table;
    LineTest m_test;
    int m_comparedLine;
    bool m_ingredients;
    const MatchHandler &m_onMatch;
    const RecordHandler &m_onRecord;
    const RecordFilter *m_filter;
    const char *m_cr[12] = {};  // the ends of lines 1 to 12 of the record at hand
    std::string_view m_name;
    int m_matches = 0;  // matching lines of the record at hand
    std::string m_nameCopy;
};

}  // namespace

std::size_t ScanRecipes(const std::string &path, const RecordTable &table, SearchScope scope,
                        std::string_view searchString, const MatchHandler &onMatch,
                        const RecordHandler &onRecord, const RecordFilter *filter) {
    const std::shared_ptr<const FileMapping> mapping = table.mappingOf(path);
    if (filter != nullptr && (filter->mapping != mapping.get() || filter->covered > table.size() ||
                              filter->coveredEnd != table.start(filter->covered)))
        filter = nullptr;
    if (mapping == nullptr) {
        const auto file = IndexedTextFile::MapOrOpen(path);
        ScanRecipes(*file, scope, searchString, onMatch, onRecord);
        return 0;
    }
    // A table of no record builds no test: folding a search string of megabytes costs a pass.
    const std::size_t done =
        table.size() == 0
            ? 0
            : TableWalk(*mapping, table, scope, searchString, onMatch, onRecord, filter).run();
    // What the table road did not take goes the walk's road, in the same mapping.
    const auto file = IndexedTextFile::Over(mapping);
    file->jumpTo(table.start(done));
    ScanRecords(*file, scope, searchString, onMatch, onRecord);
    return done;
}

std::optional<RecipeRecord> FindListedRecipe(const std::string &path, const NameCatalog &catalog,
                                             std::string_view name, bool withName) {
    const RecordTable &table = catalog.records();
    if (table.namesOnlyAtHeads()) {
        const std::size_t record = catalog.firstRecordOf(name);
        if (record < table.size()) {
            if (std::shared_ptr<const FileMapping> mapping = table.mappingOf(path)) {
                const auto file = TextFile::InMapping(std::move(mapping), table.start(record));
                if (file->readLineView() == kNameMarker && file->readLineView() == name)
                    return ReadRecipeBody(*file, withName ? std::string(name) : std::string());
            }
        }
    }
    // Read in place where the file maps, and the name not copied unless asked for: the name
    // and the lines before the record may be megabytes long.
    const auto file = TextFile::MapOrOpen(path);
    if (!SeekRecipe(*file, name)) return std::nullopt;
    return ReadRecipeBody(*file, withName ? std::string(name) : std::string());
}

}  // namespace sapidoro
