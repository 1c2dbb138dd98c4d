#include "menu/MenuPrint.h"

#include "common/QtText.h"

#include <algorithm>
#include <array>

namespace sapidoro {

namespace {

const std::array<const char16_t *, 7> kDayNames = {u"Lunedì",  u"Martedì", u"Mercoledì", u"Giovedì",
                                                   u"Venerdì", u"Sabato",  u"Domenica"};
const std::array<const char16_t *, 12> kMonthNames = {
    u"gennaio", u"febbraio", u"marzo",     u"aprile",  u"maggio",   u"giugno",
    u"luglio",  u"agosto",   u"settembre", u"ottobre", u"novembre", u"dicembre"};

QString MonthName(QDate date) {
    return QString::fromUtf16(kMonthNames.at(static_cast<std::size_t>(date.month() - 1)));
}

// "dal 2" / "dall'8": the article elides before a day read with a vowel first.
QString DayAfter(const QString &preposition, int day) {
    const bool elided = day == 1 || day == 8 || day == 11;
    return preposition + (elided ? QStringLiteral("ll'") : QStringLiteral("l ")) +
           QString::number(day);
}

QString PersonsText(int persons) {
    return persons == 1 ? QStringLiteral("1 persona") : QStringLiteral("%1 persone").arg(persons);
}

}  // namespace

QString ItalianDayName(QDate date) {
    return QString::fromUtf16(kDayNames.at(static_cast<std::size_t>(date.dayOfWeek() - 1)));
}

QString ItalianDate(QDate date) {
    return QStringLiteral("%1 %2 %3").arg(date.day()).arg(MonthName(date)).arg(date.year());
}

QString MenuDayTitle(QDate date) {
    return QStringLiteral("%1 %2 %3")
        .arg(ItalianDayName(date))
        .arg(date.day())
        .arg(MonthName(date));
}

QString MenuWeekTitle(QDate anyDay) {
    const QDate monday = MenuPlan::WeekStart(anyDay);
    const QDate sunday = monday.addDays(6);
    QString from = DayAfter(QStringLiteral("da"), monday.day());
    if (monday.month() != sunday.month()) from += QLatin1Char(' ') + MonthName(monday);
    if (monday.year() != sunday.year()) from += QLatin1Char(' ') + QString::number(monday.year());
    return QStringLiteral("Menu della settimana %1 %2")
        .arg(from, DayAfter(QStringLiteral("a"), sunday.day()) + QLatin1Char(' ') +
                       MonthName(sunday) + QLatin1Char(' ') + QString::number(sunday.year()));
}

QString MenuItemText(const MenuItem &item, bool missing) {
    QString text = QStringLiteral("%1 (%2)").arg(ShownText(item.recipe), PersonsText(item.persons));
    if (missing) text += QStringLiteral(" - non presente nella raccolta");
    return text;
}

std::vector<std::string> MenuWeekLines(const MenuPlan &plan, QDate anyDay,
                                       const std::vector<Meal> &meals,
                                       const WeekCalories &calories) {
    std::vector<std::string> lines;
    const auto add = [&lines](const QString &line) { lines.push_back(ToCp1252(line)); };
    add(MenuWeekTitle(anyDay));
    const QDate monday = MenuPlan::WeekStart(anyDay);
    for (std::size_t i = 0; i < 7; ++i) {
        const QDate date = monday.addDays(static_cast<qint64>(i));
        const DayCalories &day = calories.days[i];
        add(QString());
        add(MenuDayTitle(date));
        for (const Meal meal : AllMeals()) {
            if (std::find(meals.begin(), meals.end(), meal) == meals.end()) continue;
            const std::vector<MenuItem> &items = plan.Cell({date, meal});
            add(QStringLiteral("  %1:%2").arg(MealName(meal),
                                              items.empty() ? QStringLiteral(" -") : QString()));
            for (const MenuItem &item : items) {
                const bool missing = std::find(day.missingRecipes.begin(), day.missingRecipes.end(),
                                               item.recipe) != day.missingRecipes.end();
                add(QStringLiteral("    ") + MenuItemText(item, missing));
            }
        }
        if (day.entryCount == 0) continue;
        QString total = QStringLiteral("  Calorie per persona: %1").arg(day.perPerson);
        if (!day.notFoundLines.empty())
            total += QStringLiteral(" (%1 ingredienti non trovati)").arg(day.notFoundLines.size());
        add(total);
    }
    add(QString());
    add(calories.plannedDays == 0
            ? QStringLiteral("Nessuna ricetta nel menu della settimana")
            : QStringLiteral("Media giornaliera: %1 calorie per persona (%2 con il menu)")
                  .arg(calories.averagePerDay)
                  .arg(calories.plannedDays == 1
                           ? QStringLiteral("1 giorno")
                           : QStringLiteral("%1 giorni").arg(calories.plannedDays)));
    return lines;
}

}  // namespace sapidoro
