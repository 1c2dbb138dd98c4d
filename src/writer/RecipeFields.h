#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sapidoro {

// One recipe as the user edits it; every text is Windows-1252 bytes, one line per string.
struct RecipeFields {
    std::string name;
    std::string dish;
    std::string mainIngredient;
    int persons = 4;
    std::string notes;
    std::vector<std::string> ingredients;  // "quantity ==== ingredient"
    std::vector<std::string> preparation;
    bool operator==(const RecipeFields &) const = default;
};

// One line of ing.txt: the calories of `quantity` of `ingredient` (Windows-1252 bytes).
struct CalorieEntryFields {
    std::string ingredient;
    std::string quantity;
    std::int64_t calories = 0;
    bool operator==(const CalorieEntryFields &) const = default;
};

}  // namespace sapidoro
