#pragma once

#include "data/TextFile.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sapidoro {

// Whole-line markers of the recipe file.
inline constexpr std::string_view kNameMarker = "-Nome";
inline constexpr std::string_view kPreparationMarker = "-Preparazione";
inline constexpr std::string_view kRecordSeparator = ":Ricette";

// Names of the records in file order. `cutShort` tells that the file ended inside a
// record (no name line, or no closing separator); the names read up to there are kept.
struct RecipeListing {
    std::vector<std::string> names;
    bool cutShort = false;
};

// The start-up record walk: passes over the file's first line, then takes line 2 of every
// record and reads on to the record's separator line. Stops at the end of the file.
RecipeListing ListRecipeNames(TextFile &file);
RecipeListing ListRecipeNames(const std::string &path);

// Reads from the current position to the first line equal to `name` whose preceding line
// is exactly "-Nome" (the line before the first one read counts as empty). Returns false,
// with the file at its end, when there is none.
bool SeekRecipe(TextFile &file, std::string_view name);

// One record, as read after its name line.
struct RecipeRecord {
    std::string name;
    std::string dish;            // line 4
    std::string mainIngredient;  // line 6
    std::string persons;         // line 8, as text
    std::string notes;           // line 10
    std::vector<std::string> ingredients;
    std::vector<std::string> preparation;
    bool complete = false;  // both "-Preparazione" and ":Ricette" were met before the end
};

// Reads lines 3 onward of the record whose name line was just read; stops at the end of
// the file when the record is cut short.
RecipeRecord ReadRecipeBody(TextFile &file, std::string name);

// The lookup by name: the first record bearing `name`, or nothing when the file has none.
std::optional<RecipeRecord> FindRecipe(const std::string &path, std::string_view name);
std::optional<RecipeRecord> FindRecipe(TextFile &file, std::string_view name);

}  // namespace sapidoro
