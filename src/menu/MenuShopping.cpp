#include "menu/MenuShopping.h"

#include "common/QtText.h"

#include <QStringList>

#include <algorithm>
#include <unordered_map>

namespace sapidoro {

MenuDays DefaultShoppingDays(QDate today, QDate shownWeekStart) {
    const QDate monday = MenuPlan::WeekStart(shownWeekStart);
    const QDate sunday = monday.addDays(6);
    if (today >= monday && today <= sunday) return {today, sunday};
    return {monday, sunday};
}

std::vector<ShoppingRecipe> MenuShoppingRecipes(const MenuPlan &plan, QDate first, QDate last,
                                                const RecipeFinder &findRecipe) {
    std::vector<ShoppingRecipe> recipes;
    std::unordered_map<std::string, std::size_t> index;
    for (const MenuEntry &entry : plan.Entries(first, last)) {
        const auto [at, isNew] = index.emplace(entry.item.recipe, recipes.size());
        if (!isNew) {
            ShoppingRecipe &recipe = recipes[at->second];
            recipe.persons = std::min(kMaxListPersons, recipe.persons + entry.item.persons);
            continue;
        }
        ShoppingRecipe recipe{entry.item.recipe, entry.item.persons, true, 0, {}};
        if (std::optional<RecipeRecord> record = findRecipe(entry.item.recipe)) {
            recipe.missing = false;
            recipe.recipePersons = RecipeRecordPersons(record->persons);
            recipe.ingredientLines = std::move(record->ingredients);
        }
        recipes.push_back(std::move(recipe));
    }
    return recipes;
}

MenuShoppingAdded AddToShoppingList(ShoppingList &list,
                                    const std::vector<ShoppingRecipe> &recipes) {
    MenuShoppingAdded added;
    for (const ShoppingRecipe &recipe : recipes) {
        if (recipe.missing) {
            added.missing.push_back(recipe.name);
            continue;
        }
        int listed = 0;
        for (const ShoppingEntry &entry : list.entries()) {
            if (entry.name == recipe.name) listed = entry.persons;
        }
        const int wanted = listed + recipe.persons;
        if (wanted > kMaxListPersons) added.capped.push_back(recipe.name);
        const int persons = std::clamp(wanted, kMinListPersons, kMaxListPersons);
        if (persons == listed) continue;
        list.Add(recipe.name, persons);
        added.added.push_back(recipe.name);
    }
    return added;
}

QString MenuShoppingNote(const MenuShoppingAdded &added) {
    QStringList parts;
    if (!added.missing.empty()) {
        parts << QStringLiteral("Non sono nella raccolta e non sono state aggiunte: %1")
                     .arg(FromCp1252List(added.missing).join(QStringLiteral(", ")));
    }
    if (!added.capped.empty()) {
        parts << QStringLiteral("Aggiunte per %1 persone al più: %2")
                     .arg(kMaxListPersons)
                     .arg(FromCp1252List(added.capped).join(QStringLiteral(", ")));
    }
    return parts.join(QStringLiteral(". "));
}

}  // namespace sapidoro
