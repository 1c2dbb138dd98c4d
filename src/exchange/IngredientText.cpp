#include "exchange/IngredientText.h"

#include "exchange/ExchangeRecipe.h"
#include "quantity/Quantity.h"

namespace sapidoro {

namespace {

constexpr std::string_view kSeparator = " ==== ";

// "di farina" and "d'olio" name the ingredient after its quantity.
std::string_view WithoutPartitive(std::string_view name) {
    for (std::string_view article : {"di ", "Di ", "d'", "D'", "d\x92", "of "})
        if (name.substr(0, article.size()) == article && name.size() > article.size())
            return name.substr(article.size());
    return name;
}

}  // namespace

std::string IngredientLineFromText(std::string_view text) {
    if (text.find(kSeparator) != std::string_view::npos) return std::string(text);
    const std::string_view trimmed = TrimBlanks(text);
    const Quantity quantity = ParseQuantity(trimmed);
    if (!quantity.readable) return std::string(kSeparator) + std::string(trimmed);
    std::string amount = quantity.amountWritten;
    if (quantity.unit != nullptr) amount += quantity.gap + quantity.unitWritten;
    const std::string_view name =
        quantity.unit != nullptr ? std::string_view(quantity.rest)
                                 : std::string_view(trimmed).substr(quantity.amountWritten.size());
    return amount + std::string(kSeparator) + std::string(WithoutPartitive(TrimBlanks(name)));
}

}  // namespace sapidoro
