#pragma once

// The reading rules of the data files and what the program makes of them, written the plain
// way: every file is first cut into its list of lines, and each operation is a loop over that
// list. Nothing here calls the program's own code; the fuzz target compares the two.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plain {

using Strings = std::vector<std::string>;

// The lines of a data file: the bytes before the first byte 26, cut at every CR, an LF right
// after a CR dropped with it; bytes after the last CR make one more line.
Strings SplitLines(std::string_view bytes);

// Reads a list of lines in order; past the last one every read gives an empty line. The lines
// of the last few files cut are kept, so that reading the same bytes again costs no cutting.
class LineCursor {
public:
    explicit LineCursor(std::string_view bytes);
    bool eof() const { return m_next >= m_lines->size(); }
    const std::string &read();
    const Strings &lines() const { return *m_lines; }
    void seek(std::size_t line) { m_next = line; }

private:
    std::shared_ptr<const Strings> m_lines;
    std::size_t m_next = 0;
};

// Drops the lines kept: a fuzz target calls it at the end of each input, so that the memory
// an input takes is given back within its run, as libFuzzer's leak watch expects.
void ForgetLines();

std::string TextBefore(std::string_view text, std::string_view separator);
std::string TextAfter(std::string_view text, std::string_view separator);

// A whole number: leading blanks, an optional sign, digits, within 32 bits.
std::optional<std::int32_t> ParseInt(std::string_view text);
std::string NotAnIntegerMessage(std::string_view text);

struct Listing {
    Strings names;
    bool cutShort = false;
};
Listing ListNames(std::string_view recipeFile);

enum class Scope { Ingredienti, Luogo, Nome, Persone, Piatto, RicettaAdattaA };

// The contains test: the needle, "a" to "z" folded on both sides, occurs in the text.
bool Contains(std::string_view text, std::string_view needle);

// The name of each match of a scan, in the order met, and the number of records walked.
struct Scan {
    Strings matches;
    std::size_t records = 0;
};
Scan ScanFile(std::string_view recipeFile, Scope scope, std::string_view needle);

// Order of names: the Italian collation without regard to case.
bool NameLess(std::string_view a, std::string_view b);
int NameOrder(std::string_view a, std::string_view b);
Strings SortedNames(Strings names);

// The result list after a search: the distinct names matched, in the order of the result
// list (`complete`: matches outside it sorted in), without an empty name first.
Strings Collect(const Strings &resultList, bool complete, const Strings &matches);

struct Record {
    std::string dish, mainIngredient, persons, notes;
    Strings ingredients, preparation;
    bool complete = false;
};
std::optional<Record> FindRecord(std::string_view recipeFile, std::string_view name);

// The calories of a record's ingredient lines, each looked up in the table from its first
// line; the run ends at the first calories text that is no whole number.
struct Calories {
    std::int64_t sum = 0;
    std::int32_t missing = 0;
    Strings notFound;
    std::optional<std::string> error;
};
Calories CountCalories(std::string_view table, const Strings &ingredientLines);
// The calories of the first entry with this name and quantity, as text.
std::optional<std::string> FirstEntry(std::string_view table, std::string_view name,
                                      std::string_view quantity);

Strings IngredientNames(std::string_view table);
Strings Places(std::string_view places);

// Windows-1252 to Unicode, byte by byte; the five bytes the code page leaves undefined keep
// their value.
char32_t CodePoint(unsigned char byte);
std::string Utf8Of(std::string_view cp1252);
// The code points of strict UTF-8; nothing when the bytes are not that.
std::optional<std::u32string> DecodeUtf8(std::string_view utf8);
// Unicode to Windows-1252, "?" for a character without a byte.
std::string Cp1252Of(const std::u32string &text);

}  // namespace plain
