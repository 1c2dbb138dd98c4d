#include "shopping/ShoppingMerge.h"

#include "common/Collation.h"
#include "quantity/Quantity.h"
#include "quantity/Units.h"

#include <algorithm>
#include <map>
#include <optional>
#include <tuple>

namespace sapidoro {

namespace {

constexpr std::string_view kSeparator = " ==== ";

// What an amount is counted in: the family for grams and millilitres, else the unit with
// whatever follows it.
std::string MeasureKey(const Quantity &q) {
    if (q.unit == nullptr) return "|" + q.rest;
    if (q.unit->kind == UnitKind::Mass) return "g|" + q.rest;
    if (q.unit->kind == UnitKind::Volume) return "ml|" + q.rest;
    return std::string(q.unit->singular) + '|' + q.rest;
}

struct Sum {
    Quantity first;  // the first quantity met, for its unit and rest as written
    Rational total;  // in grams or millilitres for those families
};

struct Unreadable {
    std::vector<std::string> recipes;
};

std::string WriteSum(const Sum &sum) {
    Quantity q = sum.first;
    q.scaled = true;
    q.amount = sum.total;
    if (q.unit != nullptr && (q.unit->kind == UnitKind::Mass || q.unit->kind == UnitKind::Volume)) {
        // Sums from a thousand up are written in the family's large unit.
        const Unit *large = FindUnit(q.unit->large);
        const auto inLarge = Divide(sum.total, Rational{large->base, 1});
        if (!inLarge) return {};
        q.unit = large;
        q.amount = *inLarge;
        q.unitWritten = std::string(large->singular);
    }
    return FormatQuantity(q);
}

}  // namespace

std::vector<ShoppingItem> MergeIngredients(const std::vector<ShoppingRecipe> &recipes) {
    std::map<std::pair<std::string, std::string>, Sum> sums;
    std::map<std::pair<std::string, std::string>, Unreadable> unreadable;
    const auto addUnreadable = [&](const std::string &ingredient, const std::string &text,
                                   const std::string &recipe) {
        auto &from = unreadable[{ingredient, text}].recipes;
        if (std::find(from.begin(), from.end(), recipe) == from.end()) from.push_back(recipe);
    };
    for (const ShoppingRecipe &recipe : recipes) {
        if (recipe.missing) continue;
        const Rational factor = recipe.recipePersons > 0 && recipe.persons > 0
                                    ? *MakeRational(recipe.persons, recipe.recipePersons)
                                    : Rational{1, 1};
        for (const std::string &line : recipe.ingredientLines) {
            const std::size_t at = line.find(kSeparator);
            std::string quantityText = line.substr(0, at);
            std::string ingredient =
                at == std::string::npos ? std::string() : line.substr(at + kSeparator.size());
            if (ingredient.empty()) std::swap(ingredient, quantityText);
            if (ingredient.empty()) continue;
            const Quantity scaled = ScaleQuantity(ParseQuantity(quantityText), factor);
            const auto base = scaled.scaled ? BaseAmount(scaled) : std::nullopt;
            if (!base) {
                addUnreadable(ingredient, quantityText, recipe.name);
                continue;
            }
            const auto key = std::make_pair(ingredient, MeasureKey(scaled));
            const auto found = sums.find(key);
            if (found == sums.end()) {
                sums.emplace(key, Sum{scaled, *base});
                continue;
            }
            // A sum too large to hold keeps this amount apart, as written.
            if (const auto total = Add(found->second.total, *base)) {
                found->second.total = *total;
            } else {
                addUnreadable(ingredient, quantityText, recipe.name);
            }
        }
    }
    std::vector<ShoppingItem> items;
    for (const auto &[key, sum] : sums) {
        std::string text = WriteSum(sum);
        // A total that cannot be written shows the first amount as it was given.
        items.push_back({key.first, text.empty() ? sum.first.written : std::move(text), {}});
    }
    for (auto &[key, from] : unreadable) items.push_back({key.first, key.second, from.recipes});
    std::stable_sort(items.begin(), items.end(), [](const ShoppingItem &a, const ShoppingItem &b) {
        const int order = CompareNames(a.ingredient, b.ingredient);
        if (order != 0) return order < 0;
        return a.recipes.empty() && !b.recipes.empty();
    });
    return items;
}

std::vector<std::string> ShoppingListLines(const std::vector<ShoppingRecipe> &recipes,
                                           const std::vector<ShoppingItem> &items) {
    std::vector<std::string> lines{"LISTA DELLA SPESA", "RICETTE: "};
    for (const ShoppingRecipe &recipe : recipes) {
        std::string line = recipe.name + " - PERSONE: " + std::to_string(recipe.persons);
        if (recipe.missing) line += " (non presente nella raccolta)";
        lines.push_back(std::move(line));
    }
    lines.emplace_back("INGREDIENTI: ");
    for (const ShoppingItem &item : items) {
        std::string line = item.ingredient;
        if (!item.quantity.empty()) line += ": " + item.quantity;
        if (!item.recipes.empty()) {
            line += " (";
            for (std::size_t i = 0; i < item.recipes.size(); ++i) {
                if (i > 0) line += ", ";
                line += item.recipes[i];
            }
            line += ')';
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace sapidoro
