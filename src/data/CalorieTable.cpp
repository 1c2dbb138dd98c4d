#include "data/CalorieTable.h"

#include "data/IntConvert.h"
#include "data/Split.h"

namespace sapidoro {

CalorieEntry SplitCalorieEntry(std::string_view line) {
    return {TextBefore(line, kEntryNameMarker),
            TextBefore(TextAfter(line, kEntryQuantitySeparator), kEntryCaloriesSeparator),
            TextAfter(line, kEntryCaloriesSeparator)};
}

IngredientLine SplitIngredientLine(std::string_view line) {
    return {TextBefore(line, kIngredientSeparator), TextAfter(line, kIngredientSeparator)};
}

std::string_view LookupQuantity(std::string_view quantity) {
    return quantity.empty() ? std::string_view("0") : quantity;
}

std::optional<std::int32_t> LookupCalories(TextFile &table, std::string_view name,
                                           std::string_view quantity) {
    do {
        const CalorieEntry entry = SplitCalorieEntry(table.readLineView());
        if (entry.name == name && entry.quantity == quantity) return StrToInt(entry.calories);
    } while (!table.eof());
    return std::nullopt;
}

std::optional<std::int32_t> LookupCalories(const std::string &path, std::string_view name,
                                           std::string_view quantity) {
    TextFile table(path);
    return LookupCalories(table, name, quantity);
}

std::vector<std::string> ReadIngredientNames(const std::string &path) {
    TextFile table(path);
    std::vector<std::string> names;
    do {
        const std::string_view name = TextBefore(table.readLineView(), kEntryNameMarker);
        const std::string_view last = names.empty() ? std::string_view() : names.back();
        if (name != last) names.emplace_back(name);
    } while (!table.eof());
    return names;
}

}  // namespace sapidoro
