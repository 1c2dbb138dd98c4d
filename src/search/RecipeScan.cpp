#include "search/RecipeScan.h"

#include "data/RecipeFile.h"
#include "data/Split.h"
#include "search/MatchTest.h"

#include <cstring>
#include <string>

namespace sapidoro {

namespace {

// The compared text of an ingredient line: the quantity before " ===" is never searched.
constexpr std::string_view kIngredientSearchSeparator = " ===";

class LineTest {
public:
    LineTest(SearchScope scope, std::string_view searchString)
        : m_equality(scope == SearchScope::Persone),
          m_searchString(searchString),
          m_contains(searchString) {}

    bool matches(std::string_view text) const {
        return m_equality ? text == m_searchString : m_contains.matches(text);
    }
    const ContainsTest &contains() const { return m_contains; }

private:
    bool m_equality;
    std::string_view m_searchString;
    ContainsTest m_contains;
};

// Tests every ingredient line of a record, given as the bytes of its lines with their line
// ends. Only lines where the search string occurs at all can match, so the bytes are
// searched as a whole and just those lines are split and tested.
template <typename OnLine>
void TestIngredientLines(std::string_view block, const ContainsTest &contains, OnLine onMatch) {
    std::size_t from = 0;
    while (from < block.size()) {
        const std::size_t hit = contains.find(block.substr(from));
        if (hit == std::string_view::npos) return;
        const std::size_t at = from + hit;
        const char *data = block.data();
        std::size_t start = 0;
        if (const void *cr = memrchr(data, '\r', at)) {
            const std::size_t crAt = static_cast<std::size_t>(static_cast<const char *>(cr) - data);
            start = crAt + 1;
            if (start < block.size() && data[start] == '\n') ++start;
        }
        if (start > at) {  // the occurrence begins on a line end's LF
            from = at + 1;
            continue;
        }
        const void *cr = std::memchr(data + at, '\r', block.size() - at);
        const std::size_t end =
            cr ? static_cast<std::size_t>(static_cast<const char *>(cr) - data) : block.size();
        const std::string_view line = block.substr(start, end - start);
        if (contains.matches(TextAfter(line, kIngredientSearchSeparator))) onMatch();
        from = end + 1;
    }
}

}  // namespace

void ScanRecipes(TextFile &file, SearchScope scope, std::string_view searchString,
                 const MatchHandler &onMatch, const RecordHandler &onRecord) {
    const LineTest test(scope, searchString);
    const bool ingredients = scope == SearchScope::Ingredienti;
    const int comparedLine = ComparedLineOf(scope);
    std::string name;  // reused, so a record costs no allocation

    if (file.eof()) return;
    file.skipLine();
    while (!file.eof()) {
        file.skipLine();  // line 1, "-Nome"
        // A file that ends before a name line holds no further record (the listing agrees).
        if (file.eof()) break;
        name.assign(file.readLineView());
        if (comparedLine == 2 && test.matches(name)) onMatch(name);
        // Lines 3 to 11 by position; past the end of the file they read as empty lines.
        for (int line = 3; line <= 11; ++line) {
            const std::string_view text = file.readLineView();
            if (line == comparedLine && test.matches(text)) onMatch(name);
        }
        if (ingredients) {
            // From line 12 up to "-Preparazione", which is tested too but never matches.
            bool found;
            const std::string_view block = file.readUntilLine(kPreparationMarker, found);
            TestIngredientLines(block, test.contains(), [&] { onMatch(name); });
        } else {
            file.skipLine();  // line 12
        }
        file.skipPastLine(kRecordSeparator);
        if (onRecord) onRecord();
    }
}

}  // namespace sapidoro
