#pragma once

#include "data/RecipeFile.h"
#include "menu/MenuPlan.h"

#include <QDate>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sapidoro {

class NameCatalog;
class CalorieTableReader;

// Finds the record of a recipe by name in the collection; nothing when it has none. Its name
// field may be left empty.
using RecipeFinder = std::function<std::optional<RecipeRecord>(std::string_view name)>;

// The persons a record is written for, as a whole number; 0 when it is not one above 0.
int RecipeRecordPersons(const std::string &persons);

// The finder the main window uses: with the catalog (may be null), straight to the record.
// `recipeFile` is the collection's "ricette.txt"; the catalog must outlive the finder.
RecipeFinder CollectionRecipeFinder(std::string recipeFile, const NameCatalog *catalog);

// What the plan's calories need from the collection. Each recipe is read once per
// computation, and the calorie table once.
struct MenuCalorieSources {
    RecipeFinder findRecipe;
    std::string calorieTablePath;  // the collection's "ing.txt"
    // "Adatta le dosi alle persone": the per-person figure is the recipe's own, whatever the
    // entry's persons (as the main window shows it with the option on).
    bool dosesAdapted = false;
};

// One entry's calories per person, as the main window shows them for the recipe with the
// entry's persons in the spinner.
struct EntryCalories {
    bool recipeMissing = false;  // no record of that name: counts nothing
    std::int64_t perPerson = 0;
    std::vector<std::string> notFoundLines;  // "quantity ==== ingredient", Windows-1252
};

// A day's calories per person: the sum over its entries.
struct DayCalories {
    QDate date;
    std::size_t entryCount = 0;
    std::int64_t perPerson = 0;
    // The ingredient lines of the day not in the calorie table, each once, in order.
    std::vector<std::string> notFoundLines;
    // The recipes of the day the collection does not have, each once.
    std::vector<std::string> missingRecipes;
};

// The week's calories, Monday first. The average per day is over the days that have
// entries (a week half planned is not diluted by its empty days); 0 when none has.
struct WeekCalories {
    std::array<DayCalories, 7> days;
    std::int64_t averagePerDay = 0;
    int plannedDays = 0;
};

// Computes calories with one calorie table read for all the days it is asked about, and each
// recipe looked up once. Throws EInOutError when the table or the collection cannot be read.
class MenuCalorieCalculator {
public:
    explicit MenuCalorieCalculator(MenuCalorieSources sources);
    ~MenuCalorieCalculator();
    MenuCalorieCalculator(const MenuCalorieCalculator &) = delete;
    MenuCalorieCalculator &operator=(const MenuCalorieCalculator &) = delete;

    EntryCalories Entry(const MenuItem &item);
    DayCalories Day(const MenuPlan &plan, QDate date);
    WeekCalories Week(const MenuPlan &plan, QDate anyDay);
    // Whether the collection has the recipe (looked up once, as the calories do).
    bool HasRecipe(std::string_view name);

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

}  // namespace sapidoro
