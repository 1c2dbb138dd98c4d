#pragma once

#include "menu/MenuPlan.h"

#include <QDate>
#include <QDialog>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QGridLayout;
class QLabel;
class QListWidget;

namespace sapidoro {

class MealCell;

// One recipe of a cell as the window shows it.
struct MenuCellEntry {
    std::string name;  // Windows-1252
    int persons = 0;
    bool missing = false;  // not in the collection on show
};

// One day of the shown week.
struct MenuDayView {
    QDate day;
    std::array<std::vector<MenuCellEntry>, kMealCount> meals;  // by meal
    long long caloriesPerPerson = 0;
    bool planned = false;                   // some recipe is planned
    std::vector<std::string> notFound;      // ingredient lines not in the calorie table
    std::vector<std::string> missingNames;  // planned recipes not in the collection
};

struct MenuWeekView {
    std::array<MenuDayView, 7> days;
    long long averagePerDay = 0;  // over the days with recipes planned
    int plannedDays = 0;
    QStringList lines;  // the week as it is printed and copied
};

// What the week's window asks of the main window.
struct MenuWindowActions {
    std::function<MenuWeekView(QDate monday, const std::vector<Meal> &meals)> week;
    std::function<void(const MenuCell &place, int index)> remove;
    std::function<void(const MenuCell &from, int index, const MenuCell &to, bool copy)> move;
    std::function<void(const std::string &name)> open;
    std::function<void(QDate first, QDate last)> shop;
    std::function<void(const QStringList &lines)> print;
    std::function<void(const QStringList &lines)> preview;
    std::function<void(const QStringList &lines)> exportPdf;
};

// The meals the window shows, as the user last chose them, in the day's order.
std::vector<Meal> ShownMeals();
// A day as the window names it: "lunedì 7 dicembre".
QString MenuDayName(QDate day);
// The Monday of the week of `day`.
QDate MondayOf(QDate day);

// The week's menu: seven days by meals, the calories of each day, and the outputs.
class MenuWeekWindow : public QDialog {
    Q_OBJECT

public:
    MenuWeekWindow(MenuWindowActions actions, QWidget *parent);

    // Reads the plan afresh for the week on show.
    void Refresh();
    void ShowWeekOf(QDate day);
    QDate monday() const { return m_monday; }
    QStringList Lines() const { return m_view.lines; }
    // Moves or copies the entry `index` of `from` into `to`; what a drop does.
    void DropEntry(const MenuCell &from, int index, const MenuCell &to, bool copy);
    void RemoveEntry(const MenuCell &place, int index);
    void OpenEntry(const MenuCell &place, int index);

private:
    void BuildGrid();
    void ShowMealToggled(Meal meal, bool shown);
    void ShopClick();
    const MenuCellEntry *EntryAt(const MenuCell &place, int index) const;

    MenuWindowActions m_actions;
    QDate m_monday;
    std::vector<Meal> m_meals;
    MenuWeekView m_view;
    QLabel *m_weekTitle = nullptr;
    QLabel *m_average = nullptr;
    QGridLayout *m_grid = nullptr;
    QWidget *m_gridHost = nullptr;
    std::vector<MealCell *> m_cells;  // by day, then meal
    std::array<QLabel *, 7> m_dayTitles{};
    std::array<QLabel *, 7> m_dayCalories{};
};

}  // namespace sapidoro
