#include "data/RecipeFile.h"

namespace sapidoro {

namespace {

// Reads lines until one equals `marker`; false when the file ends first.
bool SkipPast(TextFile &file, std::string_view marker) {
    return file.skipPastLine(marker);
}

// Reads one line and drops it, then returns the next one.
std::string ReadSecondLine(TextFile &file) {
    file.skipLine();
    return file.readLine();
}

}  // namespace

RecipeListing ListRecipeNames(TextFile &file) {
    RecipeListing listing;
    if (file.eof()) return listing;
    file.skipLine();
    while (!file.eof()) {
        file.skipLine();  // "-Nome"
        if (file.eof()) {
            listing.cutShort = true;
            break;
        }
        listing.names.emplace_back(file.readLineView());
        if (!SkipPast(file, kRecordSeparator)) {
            listing.cutShort = true;
            break;
        }
    }
    return listing;
}

RecipeListing ListRecipeNames(const std::string &path) {
    TextFile file(path);
    return ListRecipeNames(file);
}

bool SeekRecipe(TextFile &file, std::string_view name) {
    bool afterNameMarker = false;  // the line before the first one read counts as empty
    while (!file.eof()) {
        const std::string_view line = file.readLineView();
        if (afterNameMarker && line == name) return true;
        afterNameMarker = line == kNameMarker;
    }
    return false;
}

RecipeRecord ReadRecipeBody(TextFile &file, std::string name) {
    RecipeRecord record;
    record.name = std::move(name);
    record.dish = ReadSecondLine(file);
    record.mainIngredient = ReadSecondLine(file);
    record.persons = ReadSecondLine(file);
    record.notes = ReadSecondLine(file);
    file.skipLine();
    bool preparationMet = false;
    while (!file.eof()) {
        std::string_view line = file.readLineView();
        if (line == kPreparationMarker) {
            preparationMet = true;
            break;
        }
        record.ingredients.emplace_back(line);
    }
    if (!preparationMet) return record;
    while (!file.eof()) {
        std::string_view line = file.readLineView();
        if (line == kRecordSeparator) {
            record.complete = true;
            break;
        }
        record.preparation.emplace_back(line);
    }
    return record;
}

std::optional<RecipeRecord> FindRecipe(const std::string &path, std::string_view name) {
    TextFile file(path);
    return FindRecipe(file, name);
}

std::optional<RecipeRecord> FindRecipe(TextFile &file, std::string_view name) {
    if (!SeekRecipe(file, name)) return std::nullopt;
    return ReadRecipeBody(file, std::string(name));
}

}  // namespace sapidoro
