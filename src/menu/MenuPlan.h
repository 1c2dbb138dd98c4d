#pragma once

#include "common/Exception.h"

#include <QDate>
#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sapidoro {

// The meals of a day, in the order they come in it.
enum class Meal { Colazione, Pranzo, Merenda, Cena };
inline constexpr std::size_t kMealCount = 4;

// "Colazione", "Pranzo", "Merenda", "Cena".
QString MealName(Meal meal);
// The meal of that exact name; nothing for any other text.
std::optional<Meal> MealNamed(const QString &name);
// The meals a plan shows until the user adds or removes one: "Pranzo" and "Cena".
std::vector<Meal> DefaultMeals();
// All meals, in the day's order.
std::vector<Meal> AllMeals();

// The persons an entry may be planned for, as the main window's spinner allows.
inline constexpr int kMinMenuPersons = 1;
inline constexpr int kMaxMenuPersons = 100;

// One recipe planned in a meal: named as in the collection (Windows-1252).
struct MenuItem {
    std::string recipe;
    int persons = 0;

    friend bool operator==(const MenuItem &, const MenuItem &) = default;
};

// One cell of the plan: a day and a meal.
struct MenuCell {
    QDate date;
    Meal meal = Meal::Pranzo;

    friend bool operator==(const MenuCell &, const MenuCell &) = default;
};

// One entry of the plan: where it is, its place in the cell (0 first), and what it is.
struct MenuEntry {
    MenuCell cell;
    std::size_t position = 0;
    MenuItem item;
};

// An operation on the plan that cannot be done; the message (UTF-8, Italian) says why.
class EMenuPlan : public Exception {
public:
    using Exception::Exception;
};

// The week's menu of one collection: recipes by day and meal, each cell in the order its
// recipes were put there. Indexed by day, so that a week of a plan of many years is found
// without going through the rest.
class MenuPlan {
public:
    // The Monday of the week of `date`.
    static QDate WeekStart(QDate date);

    bool empty() const { return m_entryCount == 0; }
    std::size_t size() const { return m_entryCount; }
    // The first and last day with an entry; null dates for an empty plan.
    QDate FirstDay() const;
    QDate LastDay() const;

    // The recipes of one cell, in their order; empty when it has none.
    const std::vector<MenuItem> &Cell(const MenuCell &cell) const;
    // The entries of the days from `first` to `last` (both included), day by day, each day in
    // the meals' order, each cell in its order.
    std::vector<MenuEntry> Entries(QDate first, QDate last) const;
    // The entries of one day, and of the week (Monday to Sunday) of `anyDay`.
    std::vector<MenuEntry> Day(QDate date) const;
    std::vector<MenuEntry> Week(QDate anyDay) const;
    // Every entry, in the order the file keeps them.
    std::vector<MenuEntry> AllEntries() const;
    // The first cell from `from` on (that day included) with nothing in it, trying each day's
    // meals of `meals` in the day's order; looks a year ahead at most.
    std::optional<MenuCell> NextFreeCell(QDate from, const std::vector<Meal> &meals) const;

    // Puts the recipe last in the cell; returns its position. Throws EMenuPlan for an invalid
    // date, an empty name or persons out of range.
    std::size_t Add(const MenuCell &cell, std::string recipe, int persons);
    // Takes out the entry at `position` of the cell; throws EMenuPlan when there is none.
    void Remove(const MenuCell &cell, std::size_t position);
    // Moves the entry to the end of another cell (or of its own); returns its new position.
    std::size_t Move(const MenuCell &from, std::size_t position, const MenuCell &to);
    // Puts a copy of the entry at the end of the cell `to`; returns its position.
    std::size_t Copy(const MenuCell &from, std::size_t position, const MenuCell &to);
    // Sets the persons of one entry.
    void SetPersons(const MenuCell &cell, std::size_t position, int persons);
    // Every entry of recipe `from` follows the new name `to`; returns how many did.
    std::size_t Rename(std::string_view from, std::string_view to);
    // The names of the recipes planned, each once, sorted by byte order.
    std::vector<std::string> RecipeNames() const;

    friend bool operator==(const MenuPlan &, const MenuPlan &) = default;

private:
    using DayCells = std::array<std::vector<MenuItem>, kMealCount>;
    const MenuItem &At(const MenuCell &cell, std::size_t position) const;

    std::map<std::int64_t, DayCells> m_days;  // by Julian day number; no empty day kept
    std::size_t m_entryCount = 0;
};

}  // namespace sapidoro
