#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sapidoro {

// The values the labelled recipe text is composed from, as the controls hold them
// (Windows-1252 bytes).
struct RecipeTextFields {
    std::string_view name;  // a long name is not copied for the text
    std::string dish;
    std::string mainIngredient;
    int persons = 0;
    std::string calories;
    std::string notes;
    std::vector<std::string> ingredients;  // the lines of the ingredient box
    std::vector<std::string> preparation;  // the lines of the preparation box
};

// The labelled recipe text, one entry per line: "NOME: ", "PIATTO: ",
// "INGREDIENTE PRINCIPALE: ", "PERSONE: ", "CALORIE PER PERSONA: ", "NOTE: " with their
// values, "INGREDIENTI: ", the ingredient lines, "PREPARAZIONE: ", the preparation lines.
std::vector<std::string> ComposeRecipeText(const RecipeTextFields &fields);
// The length of the longest label, "INGREDIENTE PRINCIPALE: ".
inline constexpr int kLongestRecipeLabel = 24;

}  // namespace sapidoro
