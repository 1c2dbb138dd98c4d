#pragma once

#include <string>
#include <string_view>

namespace sapidoro {

// The contains test of a search: the search string occurs in the text as a contiguous run
// of bytes once "a" to "z" are folded on both sides (common/AsciiCase.h). An empty search string
// never matches.
class ContainsTest {
public:
    explicit ContainsTest(std::string_view searchString);
    bool matches(std::string_view text) const { return find(text) != std::string_view::npos; }
    // Where the first occurrence starts; npos when there is none.
    std::size_t find(std::string_view text) const;

private:
    std::string m_folded;  // the search string folded once, so lines are never copied
};

}  // namespace sapidoro
