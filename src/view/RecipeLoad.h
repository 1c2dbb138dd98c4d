#pragma once

#include "common/Exception.h"
#include "data/RecipeFile.h"

#include <string>
#include <string_view>

namespace sapidoro {

// The picked name is not in the recipe file any more: the file changed since start-up.
// The message (UTF-8) names the recipe.
class ERecipeNotFound : public Exception {
public:
    explicit ERecipeNotFound(std::string_view nameCp1252);
};

// The record to show for `name`: the first record bearing it, found by the lookup by name
// and read up to its separator (or the end of the file, for a record cut short). Throws
// EInOutError when the file cannot be read, ERecipeNotFound when no record bears the name.
// A caller that empties stale fields before reporting a missing name uses `FindRecipe`
// from data/RecipeFile.h and throws ERecipeNotFound itself.
RecipeRecord ReadRecipeForView(const std::string &recipeFile, std::string_view name);

}  // namespace sapidoro
