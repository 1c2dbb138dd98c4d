#pragma once

#include "data/RecipeFile.h"
#include "scan/FileMapping.h"

#include <functional>
#include <string>
#include <vector>

namespace sapidoro {

// One recipe read from a foreign file: its fields as the collection will hold them
// (Windows-1252), the local picture found for it, and what got in the way of reading it.
struct ImportedRecipe {
    RecipeRecord record;
    std::string picturePath;            // a JPEG beside the page, or empty
    std::vector<char32_t> unwritable;   // characters that became '?'
    std::vector<std::string> problems;  // UTF-8 texts for the preview
    // The picture's addresses as the page gives them, when none lies beside it.
    std::vector<std::string> pictureAddresses;
};

// What a file gave: the recipes read, and, when the reading stopped early, why (UTF-8).
struct ImportResult {
    std::vector<ImportedRecipe> recipes;
    std::string stopMessage;
    std::string encoding;  // the encoding found, for the preview
};

// Takes each recipe read, in file order.
using RecipeVisitor = std::function<void(ImportedRecipe &&recipe)>;

// What a reading gave besides its recipes: how many, and, when it stopped early, why (UTF-8).
struct ImportReading {
    std::size_t recipes = 0;
    std::string stopMessage;
    std::string encoding;
    std::string sourcePath;  // the file read, if any, and its identity before the reading
    FileIdentity sourceIdentity;
};

// The identity of the file at `path` (links followed); throws EInOutError.
FileIdentity SourceIdentity(const std::string &path);

// Bounds that keep a hostile file from taking unbounded memory.
inline constexpr std::size_t kMaxImportedRecipes = 300000;
inline constexpr std::size_t kMaxImportedBytes = 512u << 20;

// The labelled lines that carry the two fields the foreign formats lack, at the end of the
// directions, so that an export reads back whole.
inline constexpr std::string_view kMainIngredientLabel = "Ingrediente principale:";
inline constexpr std::string_view kNotesLabel = "Note:";

// Moves trailing labelled lines of the preparation into the main ingredient and notes.
void TakeLabelledFields(RecipeRecord &record);
// The labelled lines an export appends to the preparation (none when nothing needs them).
std::vector<std::string> LabelledFieldLines(const RecipeRecord &record);

// The persons from a servings or yield text (Windows-1252): its first whole number ("Serves 4",
// "4-6 persone"), "1" when it has none or when the number is a weight or a volume.
std::string PersonsFromYield(std::string_view text);

// The persons a yield text gives, whether it held a number, and, when that number weighs or
// measures something ("750 g di crema", "1 litro"), the problem to show (UTF-8).
struct YieldReading {
    std::string persons = "1";
    bool counted = false;
    std::string problem;
};
YieldReading ReadYield(std::string_view text);

// The collection's own spelling of `dish` when it holds one equal but for letter case.
std::string MatchDish(const std::string &dish, const std::vector<std::string> &collectionDishes);

// The text without leading and trailing blanks (spaces and tabs); inline, as the readers call
// it on every line.
inline std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

}  // namespace sapidoro
