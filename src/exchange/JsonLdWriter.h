#pragma once

#include "data/RecipeFile.h"

#include <string>
#include <string_view>
#include <vector>

namespace sapidoro {

// The `sdPublisher` name our exports carry: reading them back takes their texts as plain text
// and their labelled steps back into their fields.
inline constexpr std::string_view kJsonLdPublisher = "Sapidoro";

// The recipes as schema.org `Recipe` objects in a JSON-LD file (UTF-8): one object, or a
// `@graph` of them. Each ingredient is written as its text where reading it back gives the
// same line, else as the line itself; the main ingredient and notes follow the steps as
// labelled steps, so that reading the file back gives the same fields.
std::string WriteJsonLd(const std::vector<RecipeRecord> &recipes);

}  // namespace sapidoro
