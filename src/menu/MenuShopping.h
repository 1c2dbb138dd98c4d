#pragma once

#include "menu/MenuCalories.h"
#include "menu/MenuPlan.h"
#include "shopping/ShoppingList.h"
#include "shopping/ShoppingMerge.h"

#include <QDate>

#include <string>
#include <vector>

namespace sapidoro {

// The days the shopping for the plan covers by default: today to the end of the shown week
// (only the shown week's days when today is not in it or before it).
struct MenuDays {
    QDate first;
    QDate last;
};
MenuDays DefaultShoppingDays(QDate today, QDate shownWeekStart);

// The recipes of the days from `first` to `last`, as the shopping list holds recipes: each
// name once, in the order of first appearance, for the persons of all its entries added up
// (at most the list's largest persons). Recipes the collection does not have come back
// flagged missing, without ingredients.
std::vector<ShoppingRecipe> MenuShoppingRecipes(const MenuPlan &plan, QDate first, QDate last,
                                                const RecipeFinder &findRecipe);

// What adding the plan's recipes to the shopping list did.
struct MenuShoppingAdded {
    std::vector<std::string> added;    // names added or whose persons grew
    std::vector<std::string> missing;  // skipped: not in the collection (Windows-1252)
    std::vector<std::string> capped;   // their persons would pass the list's largest
};

// Adds the recipes to the list: a recipe not there yet comes in with its persons; one already
// there gets its persons added (the plan's shopping comes on top of what was listed), at most
// the list's largest. Missing recipes are skipped and named.
MenuShoppingAdded AddToShoppingList(ShoppingList &list, const std::vector<ShoppingRecipe> &recipes);

// The note for the skipped recipes (UTF-8); empty when none was.
QString MenuShoppingNote(const MenuShoppingAdded &added);

}  // namespace sapidoro
