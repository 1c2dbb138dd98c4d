#pragma once

#include <string>

namespace sapidoro::bench {

// Writes a large collection into `folder` (which ends with "/"): ricette.txt with `recipes`
// records, ing.txt with several thousand calorie entries and luoghi.txt. Windows-1252 text
// with CR LF line ends; the same seed always gives the same bytes.
void GenerateCollection(const std::string &folder, int recipes, unsigned seed);

}  // namespace sapidoro::bench
