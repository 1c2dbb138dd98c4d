#pragma once

#include "common/Exception.h"

#include <string>
#include <string_view>

namespace sapidoro {

// The picked name is not in the recipe file any more (FindRecipe of data/RecipeFile.h found
// no record): the file changed since start-up. The message (UTF-8) names the recipe.
class ERecipeNotFound : public Exception {
public:
    explicit ERecipeNotFound(std::string_view nameCp1252);
};

}  // namespace sapidoro
