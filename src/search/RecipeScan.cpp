#include "search/RecipeScan.h"

#include "data/RecipeFile.h"
#include "data/Split.h"
#include "search/MatchTest.h"

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

private:
    bool m_equality;
    std::string_view m_searchString;
    ContainsTest m_contains;
};

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
            while (!file.eof()) {
                const std::string_view line = file.readLineView();
                if (test.matches(TextAfter(line, kIngredientSearchSeparator))) onMatch(name);
                if (line == kPreparationMarker) break;
            }
        } else {
            file.skipLine();  // line 12
        }
        while (!file.eof()) {
            if (file.readLineView() == kRecordSeparator) break;
        }
        if (onRecord) onRecord();
    }
}

}  // namespace sapidoro
