#pragma once

#include "scan/ContainsTest.h"
#include "search/Scope.h"

#include <string>
#include <string_view>

namespace sapidoro {

// The compared text of an ingredient line: the quantity before " ===" is never searched.
inline constexpr std::string_view kIngredientSearchSeparator = " ===";

// The test of a scope's line: equality under "Persone", the contains test under the others.
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

}  // namespace sapidoro
