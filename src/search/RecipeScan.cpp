#include "search/RecipeScan.h"

#include "data/RecipeFile.h"
#include "data/Split.h"
#include "search/MatchTest.h"

#include <algorithm>
#include <optional>

namespace sapidoro {

namespace {

// Walks one record from the current position by line offsets; the record's bytes stay in
// the buffer until it is done, so the name is taken in place.
class RecordWalk {
public:
    RecordWalk(IndexedTextFile &file, SearchScope scope, std::string_view searchString,
               const MatchHandler &onMatch)
        : m_file(file),
          m_scope(scope),
          m_searchString(searchString),
          m_onMatch(onMatch),
          m_comparedLine(ComparedLineOf(scope)),
          m_ingredients(scope == SearchScope::Ingredienti),
          m_needleSize(searchString.size()) {
        if (m_ingredients) {
            // Ingredient lines without a place where the search string may start are not
            // tested: the file's bytes are indexed for its first bytes, case-folded.
            m_file.watchMarkers(kRecordSeparator, kPreparationMarker);
            m_file.watchPrefix(searchString, true);
        } else {
            m_file.watchMarkers(kRecordSeparator);
        }
    }

    // One record from line 1; false when the file ends before its name line.
    bool walkRecord() {
        std::size_t end;
        const std::size_t nameStart = m_file.lineAfter(0, end);  // line 1, "-Nome"
        // A file that ends before a name line holds no further record (the listing agrees).
        if (m_file.endsAt(nameStart)) return false;
        m_nameStart = nameStart;
        std::size_t line = m_file.lineAfter(nameStart, m_nameEnd);
        if (m_comparedLine == 2) test(nameStart, m_nameEnd);
        // Lines 3 to 11 by position; past the end of the file they read as empty lines.
        for (int number = 3; number <= 11; ++number) {
            const std::size_t start = line;
            line = m_file.lineAfter(start, end);
            if (number == m_comparedLine) test(start, end);
        }
        if (m_ingredients) {
            line = testIngredientLines(line);
        } else {
            line = m_file.lineAfter(line, end);  // line 12
        }
        m_file.advance(line);
        m_file.skipPastLine(kRecordSeparator);
        return true;
    }

private:
    std::string_view name() const { return m_file.bytes(m_nameStart, m_nameEnd); }

    void test(std::size_t start, std::size_t end) {
        if (lineTest().matches(m_file.bytes(start, end))) report(end);
    }

    // Reports the record's name for a match in a line that ends at offset `end`. A short name
    // is copied first: a file shortened by another program meanwhile reads as zeros where it
    // no longer reaches, and a match there is not the file's. A long one, whose copy would
    // cost more than the search, is passed in place once the file is seen to reach past it.
    void report(std::size_t end) {
        const std::string_view whole = name();
        if (whole.size() > kLongestCopiedName) {
            if (m_file.intact(std::max(end, m_nameEnd))) m_onMatch(whole);
            return;
        }
        m_nameCopy.assign(whole);
        if (m_file.intact(std::max(end, m_nameEnd))) m_onMatch(m_nameCopy);
    }
    static constexpr std::size_t kLongestCopiedName = 64 * 1024;

    // From line 12 up to "-Preparazione", which is tested too but never matches; returns
    // the offset after the last line read.
    std::size_t testIngredientLines(std::size_t line) {
        // While the record is buffered up to "-Preparazione", only the lines that hold a
        // place where the search string may start are looked at.
        const std::size_t preparation = m_file.markerLine(line, kPreparationMarker);
        if (preparation != IndexedTextFile::npos) {
            std::size_t at = m_needleSize > 0 ? line : preparation;
            while ((at = m_file.nextPrefix(at, preparation)) < preparation) {
                const std::size_t start = m_file.lineStartOf(at, line);
                if (start > at) {  // the place is the LF of a line end
                    ++at;
                    continue;
                }
                const std::size_t end = m_file.crAfter(at);
                testIngredientLine(start, end);
                at = end + 1;
            }
            std::size_t end;
            return m_file.lineAfter(preparation, end);
        }
        while (!m_file.endsAt(line)) {
            std::size_t end;
            const std::size_t start = line;
            line = m_file.lineAfter(start, end);
            if (testIngredientLine(start, end)) break;
        }
        return line;
    }

    // Tests one ingredient line; true when it is "-Preparazione", which ends them.
    bool testIngredientLine(std::size_t start, std::size_t end) {
        // Only a line where the search string may start can hold it.
        if (m_needleSize > 0 && end - start >= m_needleSize &&
            m_file.prefixIn(start, end - m_needleSize + 1)) {
            const std::string_view text = m_file.bytes(start, end);
            if (lineTest().matches(TextAfter(text, kIngredientSearchSeparator))) report(end);
        }
        return end - start == kPreparationMarker.size() &&
               m_file.bytes(start, end) == kPreparationMarker;
    }

    // Made on the first line tested: a file of no record folds no search string, which may
    // be megabytes long.
    const LineTest &lineTest() {
        if (!m_test) m_test.emplace(m_scope, m_searchString);
        return *m_test;
    }

    IndexedTextFile &m_file;
    SearchScope m_scope;
    std::string_view m_searchString;
    std::optional<LineTest> m_test;
    const MatchHandler &m_onMatch;
    int m_comparedLine;
    bool m_ingredients;
    std::size_t m_needleSize;
    std::size_t m_nameStart = 0, m_nameEnd = 0;
    std::string m_nameCopy;
};

}  // namespace

void ScanRecipes(IndexedTextFile &file, SearchScope scope, std::string_view searchString,
                 const MatchHandler &onMatch, const RecordHandler &onRecord) {
    if (file.eof()) return;
    file.skipLine();
    ScanRecords(file, scope, searchString, onMatch, onRecord);
}

void ScanRecords(IndexedTextFile &file, SearchScope scope, std::string_view searchString,
                 const MatchHandler &onMatch, const RecordHandler &onRecord) {
    RecordWalk walk(file, scope, searchString, onMatch);
    while (!file.eof()) {
        if (!walk.walkRecord()) break;
        if (onRecord) onRecord();
    }
}

}  // namespace sapidoro
