#pragma once

#include <string>
#include <vector>

namespace sapidoro {

// A recipe of the shopping list as the collection has it now.
struct ShoppingRecipe {
    std::string name;       // Windows-1252
    int persons = 0;        // the persons it is bought for
    bool missing = false;   // no record of that name in the collection any more
    int recipePersons = 0;  // the persons the record is written for
    std::vector<std::string> ingredientLines;
};

// One line of the merged ingredients.
struct ShoppingItem {
    std::string ingredient;
    std::string quantity;  // summed and written anew, or as written when it cannot be read
    std::vector<std::string> recipes;  // for amounts that cannot be read: where they come from
};

// The ingredients of the recipes, each scaled to its persons: the same ingredient with the
// same unit is summed (grams with kilograms, millilitres with litres); amounts that cannot be
// read are listed once per ingredient and text, with the recipes they come from. Sorted by
// ingredient in the program's collation.
std::vector<ShoppingItem> MergeIngredients(const std::vector<ShoppingRecipe> &recipes);

// The list as text lines: a title, the recipes with their persons, the ingredients.
std::vector<std::string> ShoppingListLines(const std::vector<ShoppingRecipe> &recipes,
                                           const std::vector<ShoppingItem> &items);

}  // namespace sapidoro
