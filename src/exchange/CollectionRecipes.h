#pragma once

#include "data/RecipeFile.h"

#include <string>
#include <vector>

namespace sapidoro {

// Every record of a recipe file, whole, in file order (a record cut short by the end of the
// file is left out).
std::vector<RecipeRecord> ReadAllRecipes(const std::string &path);

// The records of `names`, in that order: for each name the first record bearing it, as the
// lookup by name finds it; names without a record are left out.
std::vector<RecipeRecord> ReadRecipesNamed(const std::string &path,
                                           const std::vector<std::string> &names);

// The names and the distinct dishes of a recipe file, for an import to check against.
struct CollectionIndex {
    std::vector<std::string> names;
    std::vector<std::string> dishes;
};
CollectionIndex IndexCollection(const std::string &path);

}  // namespace sapidoro
