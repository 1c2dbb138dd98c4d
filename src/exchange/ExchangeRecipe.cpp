#include "exchange/ExchangeRecipe.h"

#include "common/AsciiCase.h"
#include "common/Cp1252.h"
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

std::string AsciiLowerCopy(std::string_view text) {
    std::string lower(text);
    for (char &c : lower) c = AsciiLower(c);
    return lower;
}

// The units of weight and volume a yield may be given in, in Italian, English and UN codes.
bool IsMeasureWord(const std::string &word) {
    static const std::string_view kWords[] = {
        "g",   "gr",    "grammi", "grammo", "grams",  "gram",   "grm",    "kg",
        "kgm", "chili", "chilo",  "hg",     "etti",   "etto",   "mg",     "l",
        "lt",  "litro", "litri",  "liter",  "liters", "litre",  "litres", "ltr",
        "ml",  "mlt",   "cl",     "dl",     "oz",     "ounce",  "ounces", "lb",
        "lbs", "pound", "pounds", "quart",  "quarts", "qt",     "pint",   "pints",
        "pt",  "cup",   "cups",   "tazza",  "tazze",  "gallon", "gallons"};
    for (std::string_view known : kWords)
        if (word == known) return true;
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

YieldReading ReadYield(std::string_view text) {
    YieldReading reading;
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t at = 0;
    while (at < text.size() && !isDigit(text[at])) ++at;
    std::size_t end = at;
    while (end < text.size() && isDigit(text[end])) ++end;
    std::string_view number = text.substr(at, end - at);
    while (number.size() > 1 && number.front() == '0') number.remove_prefix(1);
    if (number.empty()) return reading;
    // A decimal part belongs to the number, not to the word after it.
    if (end + 1 < text.size() && (text[end] == ',' || text[end] == '.') && isDigit(text[end + 1]))
        for (end += 1; end < text.size() && isDigit(text[end]);) ++end;
    std::size_t word = end;
    while (word < text.size() && (text[word] == ' ' || text[word] == '\t')) ++word;
    std::size_t wordEnd = word;
    while (wordEnd < text.size() && IsAsciiLetter(text[wordEnd])) ++wordEnd;
    if (IsMeasureWord(AsciiLowerCopy(text.substr(word, wordEnd - word)))) {
        reading.problem = "La resa \xC2\xAB" + Cp1252ToUtf8(TrimBlanks(text)) +
                          "\xC2\xBB \xC3\xA8 un peso o un volume, non un numero di persone: "
                          "persone 1.";
        return reading;
    }
    reading.counted = true;
    if (number != "0" && number.size() <= 4) reading.persons = std::string(number);
    return reading;
}

std::string PersonsFromYield(std::string_view text) {
    return ReadYield(text).persons;
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
