#include "exchange/IngredientText.h"

#include "common/AsciiCase.h"
#include "exchange/ExchangeRecipe.h"
#include "quantity/Quantity.h"

#include <optional>
#include <vector>

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

bool EndsWithWord(std::string_view text, std::string_view lowerWord) {
    if (text.size() < lowerWord.size()) return false;
    const std::string_view tail = text.substr(text.size() - lowerWord.size());
    for (std::size_t i = 0; i < tail.size(); ++i)
        if (AsciiLower(tail[i]) != lowerWord[i]) return false;
    return text.size() == lowerWord.size() || text[text.size() - lowerWord.size() - 1] == ' ';
}

// The name before an amount written after it, without the comma or dash that parts them.
std::string_view NameBefore(std::string_view text) {
    text = TrimBlanks(text);
    while (!text.empty() && (text.back() == ',' || text.back() == '-' || text.back() == ':' ||
                             static_cast<unsigned char>(text.back()) == 0x96))
        text = TrimBlanks(text.substr(0, text.size() - 1));
    for (char c : text)
        if (IsAsciiLetter(c) || static_cast<unsigned char>(c) >= 0xC0) return text;
    return {};
}

// "Latte intero 200 ml", "Uova 2", "Farina 00 q.b.": the amount and unit after the name, as
// Italian pages write them; a number with a leading zero ("Farina 00") or after "tipo" names
// the ingredient.
std::optional<std::string> TrailingAmountLine(std::string_view text) {
    for (std::string_view word : {"q.b.", "q.b", "qb", "quanto basta", "a piacere", "a gusto"}) {
        if (!EndsWithWord(text, word)) continue;
        const std::string_view name = NameBefore(text.substr(0, text.size() - word.size()));
        if (name.empty()) return std::nullopt;
        return std::string(text.substr(text.size() - word.size())) + std::string(kSeparator) +
               std::string(name);
    }
    std::vector<std::size_t> starts;
    for (std::size_t at = text.size(); at > 0 && starts.size() < 4;) {
        at = text.rfind(' ', at - 1);
        if (at == std::string_view::npos) break;
        starts.push_back(at + 1);
    }
    for (auto start = starts.rbegin(); start != starts.rend(); ++start) {
        const std::string_view tail = text.substr(*start);
        const Quantity quantity = ParseQuantity(tail);
        if (!quantity.readable || quantity.amountWritten.empty()) continue;
        const std::string_view name = NameBefore(text.substr(0, *start));
        if (name.empty()) continue;
        if (quantity.unit != nullptr ? !TrimBlanks(quantity.rest).empty()
                                     : quantity.amountWritten.size() != tail.size())
            continue;
        const std::string &amount = quantity.amountWritten;
        if (amount.size() > 1 && amount[0] == '0' && amount[1] >= '0' && amount[1] <= '9') continue;
        if (quantity.unit == nullptr && EndsWithWord(name, "tipo")) continue;
        return std::string(tail) + std::string(kSeparator) + std::string(name);
    }
    return std::nullopt;
}

}  // namespace

std::string IngredientLineFromText(std::string_view text) {
    if (text.find(kSeparator) != std::string_view::npos) return std::string(text);
    const std::string_view trimmed = TrimBlanks(text);
    const Quantity quantity = ParseQuantity(trimmed);
    if (!quantity.readable) {
        if (auto line = TrailingAmountLine(trimmed)) return *std::move(line);
        return std::string(kSeparator) + std::string(trimmed);
    }
    std::string amount = quantity.amountWritten;
    if (quantity.unit != nullptr) amount += quantity.gap + quantity.unitWritten;
    const std::string_view name =
        quantity.unit != nullptr ? std::string_view(quantity.rest)
                                 : std::string_view(trimmed).substr(quantity.amountWritten.size());
    return amount + std::string(kSeparator) + std::string(WithoutPartitive(TrimBlanks(name)));
}

std::string IngredientLineFromWebText(std::string_view text) {
    const std::string_view trimmed = TrimBlanks(text);
    if (trimmed.size() > 1 && trimmed.back() == ':' &&
        text.find(kSeparator) == std::string_view::npos) {
        const std::string_view heading = TrimBlanks(trimmed.substr(0, trimmed.size() - 1));
        const std::string line = IngredientLineFromText(heading);
        if (!heading.empty() && line.substr(0, kSeparator.size()) == kSeparator)
            return std::string(heading);
    }
    return IngredientLineFromText(text);
}

}  // namespace sapidoro
