#pragma once

#include "writer/RecipeFields.h"

#include <string>

namespace sapidoro::test {

// A recipe with a line of each kind; `tag` varies its texts.
RecipeFields SampleRecipe(const std::string &name, const std::string &tag = "");

// The names of the files in `folder` whose names begin with ".sapidoro-save-".
int LeftoverTemps(const std::string &folder);

}  // namespace sapidoro::test
