#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sapidoro {

class TextFile;

inline constexpr std::string_view kEntryNameMarker = "_ING";
inline constexpr std::string_view kEntryQuantitySeparator = " == ";
inline constexpr std::string_view kEntryCaloriesSeparator = " === ";
inline constexpr std::string_view kIngredientSeparator = " ==== ";

// The three values of one calorie table line: name, "_ING", " == ", quantity, " === ", calories.
struct CalorieEntry {
    std::string_view name;
    std::string_view quantity;
    std::string_view calories;  // not yet converted
};
CalorieEntry SplitCalorieEntry(std::string_view line);

// Quantity and ingredient name of a recipe's ingredient line.
struct IngredientLine {
    std::string_view quantity;
    std::string_view ingredient;
};
IngredientLine SplitIngredientLine(std::string_view line);

// The lookup key of an ingredient line: an empty quantity is looked up as "0".
std::string_view LookupQuantity(std::string_view quantity);

// The ingredient names of the table in file order, each run of equal adjacent names
// collapsed to one and no leading empty name.
std::vector<std::string> ReadIngredientNames(const std::string &path);
std::vector<std::string> ReadIngredientNames(TextFile &table);

}  // namespace sapidoro
