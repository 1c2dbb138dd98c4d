#include "search/RecordJump.h"

#include "data/Split.h"
#include "search/MatchTest.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sapidoro {

namespace {

// The first CR in [from, end), or `end`. Lines are short: an inline loop of 16-byte blocks
// costs less than a library call per line. No byte at or past `end` is read.
inline const char *FindCr(const char *from, const char *end) {
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    for (; end - from >= 16; from += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(from));
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, cr)));
        if (mask != 0) return from + __builtin_ctz(mask);
    }
#endif
    while (from < end && *from != '\r') ++from;
    return from;
}

// The lines of one record of a mapped file, found by their CRs. A line is found only when
// its CR and the byte after it lie inside the record, as they do for every line before a
// record's separator line.
class RecordLines {
public:
    RecordLines(const char *begin, const char *end) : m_at(begin), m_end(end) {}

    bool next(std::string_view &line) {
        const char *cr = FindCr(m_at, m_end);
        if (cr + 1 >= m_end) return false;
        line = std::string_view(m_at, static_cast<std::size_t>(cr - m_at));
        m_at = cr + 1 + (cr[1] == '\n');
        return true;
    }
    const char *position() const { return m_at; }

private:
    const char *m_at;
    const char *m_end;
};

// Walks the table's records in the mapping; stops at the first record it cannot take as the
// walk would, or when the file was seen shortened, and returns the number of records done.
class TableWalk {
public:
    TableWalk(const FileMapping &mapping, const RecordTable &table, SearchScope scope,
              std::string_view searchString, const MatchHandler &onMatch,
              const RecordHandler &onRecord)
        : m_mapping(mapping),
          m_table(table),
          m_test(scope, searchString),
          m_comparedLine(ComparedLineOf(scope)),
          m_ingredients(scope == SearchScope::Ingredienti),
          m_onMatch(onMatch),
          m_onRecord(onRecord) {}

    std::size_t run() {
        for (std::size_t record = 0; record < m_table.size(); ++record) {
            m_matches = 0;
            const char *begin = m_mapping.data() + m_table.start(record);
            RecordLines lines(begin, m_mapping.data() + m_table.start(record + 1));
            if (!(m_ingredients ? ingredientRecord(lines) : fixedLineRecord(lines))) return record;
            // The name is copied first: the bytes read may turn out to be zeros where a file
            // shortened meanwhile no longer reaches, and the walk's road then takes over.
            if (m_matches > 0) m_nameCopy.assign(m_name);
            if (m_mapping.shortened()) return record;
            for (int match = 0; match < m_matches; ++match) m_onMatch(m_nameCopy);
            if (m_onRecord) m_onRecord();
        }
        return m_table.size();
    }

private:
    // Lines 1 to `last`; false when one is missing or a separator line stands from line 3 on
    // (the walk would pass over it to a later one).
    bool firstLines(RecordLines &lines, int last, std::string_view &compared) {
        std::string_view line;
        for (int number = 1; number <= last; ++number) {
            if (!lines.next(line) || (number >= 3 && line == kRecordSeparator)) return false;
            if (number == 2) m_name = line;
            if (number == m_comparedLine) compared = line;
        }
        return true;
    }

    bool fixedLineRecord(RecordLines &lines) {
        std::string_view compared;
        if (!firstLines(lines, 12, compared)) return false;
        if (m_test.matches(compared)) ++m_matches;
        return true;
    }

    // Lines 12 up to "-Preparazione" are tested; the region is searched as a whole and each
    // place found is checked on its own line, as the walk tests it.
    bool ingredientRecord(RecordLines &lines) {
        std::string_view unused;
        if (!firstLines(lines, 11, unused)) return false;
        const char *from = lines.position();
        const char *to = from;
        for (std::string_view line;;) {
            to = lines.position();
            if (!lines.next(line) || line == kRecordSeparator) return false;
            if (line == kPreparationMarker) break;
        }
        const std::string_view region(from, static_cast<std::size_t>(to - from));
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
    std::string_view m_name;
    int m_matches = 0;  // matching lines of the record at hand
    std::string m_nameCopy;
};

}  // namespace

std::size_t ScanRecipes(TextFile &file, const RecordTable &table, SearchScope scope,
                        std::string_view searchString, const MatchHandler &onMatch,
                        const RecordHandler &onRecord) {
    if (!table.describes(file.mapping()) || file.offset() != 0) {
        ScanRecipes(file, scope, searchString, onMatch, onRecord);
        return 0;
    }
    const std::size_t done =
        TableWalk(*file.mapping(), table, scope, searchString, onMatch, onRecord).run();
    file.jumpTo(table.start(done));
    ScanRecords(file, scope, searchString, onMatch, onRecord);
    return done;
}

std::optional<RecipeRecord> FindListedRecipe(const std::string &path, const NameCatalog &catalog,
                                             std::string_view name) {
    const RecordTable &table = catalog.records();
    if (table.namesOnlyAtHeads()) {
        const std::size_t record = catalog.firstRecordOf(name);
        if (record < table.size()) {
            const auto file = TextFile::MapOrOpen(path);
            if (table.describes(file->mapping())) {
                file->jumpTo(table.start(record));
                if (file->readLineView() == kNameMarker && file->readLineView() == name)
                    return ReadRecipeBody(*file, std::string(name));
            }
        }
    }
    return FindRecipe(path, name);
}

}  // namespace sapidoro
