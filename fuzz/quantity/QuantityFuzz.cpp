// Drives the quantity grammar and the shopping list's reader and merging with arbitrary texts.
//
// The input is cut at "#~#" into: the factor ("n/d"), a quantity, a saved shopping list, and
// ingredient lines for the merging.
#include "FuzzParts.h"

#include "quantity/Quantity.h"
#include "quantity/Units.h"
#include "shopping/ShoppingList.h"
#include "shopping/ShoppingMerge.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace sapidoro;
using fuzz::Fail;

namespace {

// A factor of 1/100 to 100/1, as persons over a recipe's persons can be.
Rational FactorOf(std::string_view text) {
    const std::size_t slash = text.find('/');
    const auto number = [](std::string_view digits) {
        std::int64_t value = 0;
        for (const char c : digits.substr(0, 3))
            value = value * 10 + (static_cast<unsigned char>(c) % 10);
        return std::clamp<std::int64_t>(value, 1, 100);
    };
    if (slash == std::string_view::npos) return {number(text), 1};
    return *MakeRational(number(text.substr(0, slash)), number(text.substr(slash + 1)));
}

void CheckQuantity(std::string_view text, Rational factor) {
    const Quantity q = ParseQuantity(text);
    if (FormatQuantity(q) != text) Fail("a quantity read does not write back as given");
    if (ScaleQuantityText(text, Rational{1, 1}) != text) Fail("scaling by one changed the text");
    const std::string scaled = ScaleQuantityText(text, factor);
    if (!q.readable && scaled != text) Fail("an unreadable quantity was changed");
    if (!text.empty() && scaled.empty()) Fail("a quantity lost its text");
    // A scaled quantity reads again with a unit of the same kind, whatever its form (unless
    // its amount grew past the digits the grammar reads).
    const Quantity again = ParseQuantity(scaled);
    if (q.readable && q.unit != nullptr && again.readable &&
        (again.unit == nullptr || again.unit->kind != q.unit->kind)) {
        Fail("scaling changed the kind of unit");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    const std::vector<std::string_view> parts = fuzz::SplitParts(input, 4);
    const Rational factor = FactorOf(parts[0]);
    CheckQuantity(parts[1], factor);

    try {
        const ShoppingList list = ReadShoppingList(parts[2]);
        if (ReadShoppingList(WriteShoppingList(list)).entries() != list.entries())
            Fail("a list read does not read back the same");
    } catch (const EShoppingListDamaged &) {
    }

    ShoppingRecipe recipe{"Fuzz", int(factor.num), false, int(factor.den), {}};
    std::size_t start = 0;
    while (start <= parts[3].size() && recipe.ingredientLines.size() < 64) {
        std::size_t end = parts[3].find('\n', start);
        if (end == std::string_view::npos) end = parts[3].size();
        recipe.ingredientLines.emplace_back(parts[3].substr(start, end - start));
        start = end + 1;
    }
    const std::vector<ShoppingRecipe> recipes{recipe, recipe};
    ShoppingListLines(recipes, MergeIngredients(recipes));
    return 0;
}
