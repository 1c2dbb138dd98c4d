#include "data/CalorieTable.h"

#include "data/Split.h"
#include "data/TextFile.h"

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

std::vector<std::string> ReadIngredientNames(const std::string &path) {
    // Mapped, a line of any length is read in place rather than into a buffer grown for it.
    const std::unique_ptr<TextFile> table = TextFile::MapOrOpen(path);
    std::vector<std::string> names;
    do {
        const std::string_view name = TextBefore(table->readLineView(), kEntryNameMarker);
        const std::string_view last = names.empty() ? std::string_view() : names.back();
        if (name != last) names.emplace_back(name);
    } while (!table->eof());
    return names;
}

}  // namespace sapidoro
