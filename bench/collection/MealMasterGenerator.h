#pragma once

#include <string>

namespace sapidoro::bench {

// Writes `recipes` MealMaster recipes to `path` in DOS code page 437 with CR LF line ends:
// "MMMMM" headed, Italian titles with accented letters, one- and two-column ingredient
// blocks with continuation lines and section headings, directions in wrapped paragraphs.
// Every character has a Windows-1252 byte. The same seed always gives the same bytes.
void GenerateMealMaster(const std::string &path, int recipes, unsigned seed);

}  // namespace sapidoro::bench
