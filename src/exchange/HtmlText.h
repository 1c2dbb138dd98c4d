#pragma once

#include <string>
#include <string_view>

namespace sapidoro {

// The text a reader of the page sees in a text of its recipe data that may hold HTML: tags
// dropped (scripts and styles with their content), a line break for each `<br>` and at the
// edges of paragraphs, list items and other blocks, whitespace inside markup run together,
// every character reference decoded, also when the page escaped it twice ("&amp;atilde;"),
// U+2028 and U+2029 as line breaks, non-breaking spaces as spaces. UTF-8 in and out; lines
// are parted by '\n' and may be blank.
std::string WebTextLines(std::string_view utf8);

// The character references of `utf8` decoded (the whole table of HTML's named ones, decimal
// and hexadecimal ones); a reference that is not one stays as written.
std::string DecodeCharacterReferences(std::string_view utf8);

}  // namespace sapidoro
