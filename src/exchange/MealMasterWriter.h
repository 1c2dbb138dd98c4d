#pragma once

#include "data/RecipeFile.h"

#include <string>
#include <string_view>
#include <vector>

namespace sapidoro {

// The header line of every exported recipe; it names the encoding, which a reader takes
// over its guess.
inline constexpr std::string_view kMealMasterExportHeader =
    "MMMMM----- Recipe via Sapidoro 1.3 (Windows-1252)";

// The recipes as a MealMaster file ("MMMMM" format, Windows-1252, CR LF): one column of
// ingredients, directions as paragraphs, the main ingredient and notes as labelled lines at
// the end of the directions, so that reading the file back gives the same fields.
std::string WriteMealMaster(const std::vector<RecipeRecord> &recipes);

// One recipe, appended to `out`.
void AppendMealMaster(const RecipeRecord &recipe, std::string &out);

}  // namespace sapidoro
