#pragma once

#include <string>
#include <string_view>

namespace sapidoro {

// Whether `code` (the two-character unit column, blanks trimmed) is a MealMaster unit.
bool IsMealMasterUnit(std::string_view code);

// The unit as the collection writes it after `amount`: spelled out in Italian where an
// Italian kitchen unit exists (singular for one or less, plural otherwise), else kept (the view
// is then of `code`).
std::string_view ItalianUnit(std::string_view code, std::string_view amount);

// The MealMaster code that `ItalianUnit` spells as `word`, or empty.
std::string_view MealMasterCodeFor(std::string_view word);

}  // namespace sapidoro
