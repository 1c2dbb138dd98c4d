#include "menu/MenuCalories.h"

#include "data/IntConvert.h"
#include "search/RecordJump.h"
#include "view/Calories.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace sapidoro {

namespace {

void AddOnce(std::vector<std::string> &list, std::unordered_set<std::string> &seen,
             const std::string &text) {
    if (seen.insert(text).second) list.push_back(text);
}

}  // namespace

int RecipeRecordPersons(const std::string &persons) {
    try {
        return std::max(0, StrToInt(persons));
    } catch (const EConvertError &) {
        return 0;
    }
}

RecipeFinder CollectionRecipeFinder(std::string recipeFile, const NameCatalog *catalog) {
    return [recipeFile = std::move(recipeFile), catalog](std::string_view name) {
        return catalog ? FindListedRecipe(recipeFile, *catalog, name, false)
                       : FindRecipe(recipeFile, name);
    };
}

// One recipe as the calories need it, read once.
struct RecipeCalories {
    bool missing = true;
    int recordPersons = 0;
    CalorieTotals totals;
    std::vector<std::string> notFoundLines;
};

struct MenuCalorieCalculator::Impl {
    MenuCalorieSources sources;
    std::unique_ptr<CalorieTableReader> table;
    std::unordered_map<std::string, RecipeCalories> recipes;

    const RecipeCalories &Recipe(std::string_view name) {
        const std::string key(name);
        if (const auto found = recipes.find(key); found != recipes.end()) return found->second;
        RecipeCalories recipe;
        if (std::optional<RecipeRecord> record = sources.findRecipe(name)) {
            recipe.missing = false;
            recipe.recordPersons = RecipeRecordPersons(record->persons);
            if (!table) table = std::make_unique<CalorieTableReader>(sources.calorieTablePath);
            ComputeCalories(*table, record->ingredients, recipe.totals,
                            [&](const std::string &line) { recipe.notFoundLines.push_back(line); });
        }
        return recipes.emplace(key, std::move(recipe)).first->second;
    }
};

MenuCalorieCalculator::MenuCalorieCalculator(MenuCalorieSources sources)
    : m(std::make_unique<Impl>()) {
    m->sources = std::move(sources);
}

MenuCalorieCalculator::~MenuCalorieCalculator() = default;

bool MenuCalorieCalculator::HasRecipe(std::string_view name) {
    return !m->Recipe(name).missing;
}

EntryCalories MenuCalorieCalculator::Entry(const MenuItem &item) {
    const RecipeCalories &recipe = m->Recipe(item.recipe);
    EntryCalories calories;
    calories.recipeMissing = recipe.missing;
    if (recipe.missing) return calories;
    // With doses adapted the main window divides by the record's persons, else by the spinner's.
    const int persons =
        m->sources.dosesAdapted && recipe.recordPersons > 0 ? recipe.recordPersons : item.persons;
    calories.perPerson = std::stoll(ShowCalories(recipe.totals, persons).calories);
    calories.notFoundLines = recipe.notFoundLines;
    return calories;
}

DayCalories MenuCalorieCalculator::Day(const MenuPlan &plan, QDate date) {
    DayCalories day;
    day.date = date;
    std::unordered_set<std::string> seenLines, seenMissing;
    for (const MenuEntry &entry : plan.Day(date)) {
        ++day.entryCount;
        const EntryCalories calories = Entry(entry.item);
        if (calories.recipeMissing) AddOnce(day.missingRecipes, seenMissing, entry.item.recipe);
        day.perPerson += calories.perPerson;
        for (const std::string &line : calories.notFoundLines)
            AddOnce(day.notFoundLines, seenLines, line);
    }
    return day;
}

WeekCalories MenuCalorieCalculator::Week(const MenuPlan &plan, QDate anyDay) {
    WeekCalories week;
    const QDate monday = MenuPlan::WeekStart(anyDay);
    std::int64_t total = 0;
    for (int i = 0; i < 7; ++i) {
        week.days[static_cast<std::size_t>(i)] = Day(plan, monday.addDays(i));
        if (week.days[static_cast<std::size_t>(i)].entryCount == 0) continue;
        ++week.plannedDays;
        total += week.days[static_cast<std::size_t>(i)].perPerson;
    }
    if (week.plannedDays > 0) week.averagePerDay = total / week.plannedDays;
    return week;
}

}  // namespace sapidoro
