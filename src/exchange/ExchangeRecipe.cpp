#include "exchange/ExchangeRecipe.h"

#include "common/AsciiCase.h"

#include "common/Exception.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

namespace sapidoro {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// The value after a label: "Note:" alone is empty, "Note: x" is "x".
bool LabelValue(std::string_view line, std::string_view label, std::string &value) {
    if (line == label) {
        value.clear();
        return true;
    }
    if (StartsWith(line, label) && line.size() > label.size() && line[label.size()] == ' ') {
        value = std::string(line.substr(label.size() + 1));
        return true;
    }
    return false;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

}  // namespace

void TakeLabelledFields(RecipeRecord &record) {
    auto &lines = record.preparation;
    std::string value;
    if (!lines.empty() && LabelValue(lines.back(), kNotesLabel, value)) {
        record.notes = value;
        lines.pop_back();
        if (!lines.empty() && LabelValue(lines.back(), kMainIngredientLabel, value)) {
            record.mainIngredient = value;
            lines.pop_back();
        }
    }
}

std::vector<std::string> LabelledFieldLines(const RecipeRecord &record) {
    std::string ignored;
    const bool lastLooksLabelled =
        !record.preparation.empty() &&
        (LabelValue(record.preparation.back(), kNotesLabel, ignored) ||
         LabelValue(record.preparation.back(), kMainIngredientLabel, ignored));
    if (record.notes.empty() && record.mainIngredient.empty() && !lastLooksLabelled) return {};
    const auto labelled = [](std::string_view label, const std::string &value) {
        std::string line(label);
        if (!value.empty()) line += ' ' + value;
        return line;
    };
    return {labelled(kMainIngredientLabel, record.mainIngredient),
            labelled(kNotesLabel, record.notes)};
}

std::string PersonsFromYield(std::string_view text) {
    text = TrimBlanks(text);
    std::size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
    std::string_view number = text.substr(0, digits);
    while (number.size() > 1 && number.front() == '0') number.remove_prefix(1);
    if (number.empty() || number == "0" || number.size() > 4) return "1";
    return std::string(number);
}

std::string MatchDish(const std::string &dish, const std::vector<std::string> &collectionDishes) {
    for (const std::string &known : collectionDishes)
        if (EqualIgnoringAsciiCase(known, dish)) return known;
    return dish;
}

FileIdentity SourceIdentity(const std::string &path) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) throw EInOutError::fromErrno(errno);
    return IdentityOf(info);
}

}  // namespace sapidoro
