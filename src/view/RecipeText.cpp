#include "view/RecipeText.h"

namespace sapidoro {

std::vector<std::string> ComposeRecipeText(const RecipeTextFields &fields) {
    std::vector<std::string> lines;
    lines.reserve(8 + fields.ingredients.size() + fields.preparation.size());
    lines.push_back("NOME: " + fields.name);
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

std::vector<std::string> SplitBoxText(std::string_view text) {
    std::vector<std::string> lines;
    if (text.empty()) return lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    lines.emplace_back(text.substr(start));
    return lines;
}

}  // namespace sapidoro
