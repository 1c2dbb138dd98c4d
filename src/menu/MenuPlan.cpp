#include "menu/MenuPlan.h"

#include <algorithm>
#include <set>

namespace sapidoro {

namespace {

constexpr std::array<const char16_t *, kMealCount> kMealNames = {u"Colazione", u"Pranzo",
                                                                 u"Merenda", u"Cena"};

std::size_t MealIndex(Meal meal) {
    return static_cast<std::size_t>(meal);
}

void CheckCell(const MenuCell &cell) {
    if (!cell.date.isValid()) throw EMenuPlan("La data del menu non è valida");
    if (MealIndex(cell.meal) >= kMealCount) throw EMenuPlan("Il pasto del menu non è valido");
}

void CheckPersons(int persons) {
    if (persons < kMinMenuPersons || persons > kMaxMenuPersons) {
        throw EMenuPlan("Le persone devono essere da " + std::to_string(kMinMenuPersons) + " a " +
                        std::to_string(kMaxMenuPersons));
    }
}

const std::vector<MenuItem> kNoItems;

}  // namespace

QString MealName(Meal meal) {
    return QString::fromUtf16(kMealNames.at(MealIndex(meal)));
}

std::optional<Meal> MealNamed(const QString &name) {
    for (std::size_t i = 0; i < kMealCount; ++i) {
        if (name == QString::fromUtf16(kMealNames[i])) return static_cast<Meal>(i);
    }
    return std::nullopt;
}

std::vector<Meal> DefaultMeals() {
    return {Meal::Pranzo, Meal::Cena};
}

std::vector<Meal> AllMeals() {
    return {Meal::Colazione, Meal::Pranzo, Meal::Merenda, Meal::Cena};
}

QDate MenuPlan::WeekStart(QDate date) {
    return date.addDays(1 - date.dayOfWeek());
}

QDate MenuPlan::FirstDay() const {
    return m_days.empty() ? QDate() : QDate::fromJulianDay(m_days.begin()->first);
}

QDate MenuPlan::LastDay() const {
    return m_days.empty() ? QDate() : QDate::fromJulianDay(m_days.rbegin()->first);
}

const std::vector<MenuItem> &MenuPlan::Cell(const MenuCell &cell) const {
    if (!cell.date.isValid() || MealIndex(cell.meal) >= kMealCount) return kNoItems;
    const auto day = m_days.find(cell.date.toJulianDay());
    return day == m_days.end() ? kNoItems : day->second[MealIndex(cell.meal)];
}

std::vector<MenuEntry> MenuPlan::Entries(QDate first, QDate last) const {
    std::vector<MenuEntry> entries;
    if (!first.isValid() || !last.isValid()) return entries;
    const auto end = m_days.upper_bound(last.toJulianDay());
    for (auto day = m_days.lower_bound(first.toJulianDay()); day != end; ++day) {
        const QDate date = QDate::fromJulianDay(day->first);
        for (std::size_t meal = 0; meal < kMealCount; ++meal) {
            const std::vector<MenuItem> &items = day->second[meal];
            for (std::size_t i = 0; i < items.size(); ++i)
                entries.push_back({{date, static_cast<Meal>(meal)}, i, items[i]});
        }
    }
    return entries;
}

std::vector<MenuEntry> MenuPlan::Day(QDate date) const {
    return Entries(date, date);
}

std::vector<MenuEntry> MenuPlan::Week(QDate anyDay) const {
    const QDate monday = WeekStart(anyDay);
    return Entries(monday, monday.addDays(6));
}

std::vector<MenuEntry> MenuPlan::AllEntries() const {
    return Entries(FirstDay(), LastDay());
}

std::optional<MenuCell> MenuPlan::NextFreeCell(QDate from, const std::vector<Meal> &meals) const {
    if (!from.isValid() || meals.empty()) return std::nullopt;
    std::vector<Meal> ordered = meals;
    std::sort(ordered.begin(), ordered.end());
    for (int day = 0; day <= 366; ++day) {
        const QDate date = from.addDays(day);
        for (const Meal meal : ordered) {
            if (Cell({date, meal}).empty()) return MenuCell{date, meal};
        }
    }
    return std::nullopt;
}

const MenuItem &MenuPlan::At(const MenuCell &cell, std::size_t position) const {
    const std::vector<MenuItem> &items = Cell(cell);
    if (position >= items.size()) throw EMenuPlan("La ricetta non è più nel menu");
    return items[position];
}

std::size_t MenuPlan::Add(const MenuCell &cell, std::string recipe, int persons) {
    CheckCell(cell);
    CheckPersons(persons);
    if (recipe.empty()) throw EMenuPlan("Nessuna ricetta da aggiungere al menu");
    std::vector<MenuItem> &items = m_days[cell.date.toJulianDay()][MealIndex(cell.meal)];
    items.push_back({std::move(recipe), persons});
    ++m_entryCount;
    return items.size() - 1;
}

void MenuPlan::Remove(const MenuCell &cell, std::size_t position) {
    At(cell, position);
    const auto day = m_days.find(cell.date.toJulianDay());
    std::vector<MenuItem> &items = day->second[MealIndex(cell.meal)];
    items.erase(items.begin() + static_cast<std::ptrdiff_t>(position));
    --m_entryCount;
    // An empty day is not kept, so that the index only holds days with entries.
    if (std::all_of(day->second.begin(), day->second.end(),
                    [](const std::vector<MenuItem> &meal) { return meal.empty(); }))
        m_days.erase(day);
}

std::size_t MenuPlan::Move(const MenuCell &from, std::size_t position, const MenuCell &to) {
    CheckCell(to);
    MenuItem item = At(from, position);
    Remove(from, position);
    return Add(to, std::move(item.recipe), item.persons);
}

std::size_t MenuPlan::Copy(const MenuCell &from, std::size_t position, const MenuCell &to) {
    MenuItem item = At(from, position);
    return Add(to, std::move(item.recipe), item.persons);
}

void MenuPlan::SetPersons(const MenuCell &cell, std::size_t position, int persons) {
    At(cell, position);
    CheckPersons(persons);
    m_days[cell.date.toJulianDay()][MealIndex(cell.meal)][position].persons = persons;
}

std::size_t MenuPlan::Rename(std::string_view from, std::string_view to) {
    if (to.empty()) throw EMenuPlan("Nessun nome nuovo per la ricetta del menu");
    std::size_t renamed = 0;
    for (auto &[julian, day] : m_days) {
        for (std::vector<MenuItem> &items : day) {
            for (MenuItem &item : items) {
                if (item.recipe != from) continue;
                item.recipe = std::string(to);
                ++renamed;
            }
        }
    }
    return renamed;
}

std::vector<std::string> MenuPlan::RecipeNames() const {
    std::set<std::string> names;
    for (const auto &[julian, day] : m_days) {
        for (const std::vector<MenuItem> &items : day) {
            for (const MenuItem &item : items) names.insert(item.recipe);
        }
    }
    return {names.begin(), names.end()};
}

}  // namespace sapidoro
