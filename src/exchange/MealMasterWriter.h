#pragma once

#include "data/RecipeFile.h"

#include <string>
#include <vector>

namespace sapidoro {

// The recipes as a MealMaster file ("MMMMM" format, Windows-1252, CR LF): one column of
// ingredients, directions as paragraphs, the main ingredient and notes as labelled lines at
// the end of the directions, so that reading the file back gives the same fields.
std::string WriteMealMaster(const std::vector<RecipeRecord> &recipes);

// One recipe, appended to `out`.
void AppendMealMaster(const RecipeRecord &recipe, std::string &out);

}  // namespace sapidoro
