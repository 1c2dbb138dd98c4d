#include "view/RecipeText.h"

namespace sapidoro {

std::vector<std::string> ComposeRecipeText(const RecipeTextFields &fields) {
    std::vector<std::string> lines;
    lines.reserve(8 + fields.ingredients.size() + fields.preparation.size());
    lines.push_back(std::string("NOME: ").append(fields.name));
    lines.push_back("PIATTO: " + fields.dish);
    lines.push_back("INGREDIENTE PRINCIPALE: " + fields.mainIngredient);
    lines.push_back("PERSONE: " + std::to_string(fields.persons));
    lines.push_back("CALORIE PER PERSONA: " + fields.calories);
    lines.push_back("NOTE: " + fields.notes);
    lines.push_back("INGREDIENTI: ");
    lines.insert(lines.end(), fields.ingredients.begin(), fields.ingredients.end());
    lines.push_back("PREPARAZIONE: ");
    lines.insert(lines.end(), fields.preparation.begin(), fields.preparation.end());
    return lines;
}

}  // namespace sapidoro
