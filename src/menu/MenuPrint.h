#pragma once

#include "menu/MenuCalories.h"
#include "menu/MenuPlan.h"

#include <QDate>
#include <QString>

#include <string>
#include <vector>

namespace sapidoro {

// "Lunedì" ... "Domenica".
QString ItalianDayName(QDate date);
// "7 dicembre 2026".
QString ItalianDate(QDate date);
// "Lunedì 7 dicembre".
QString MenuDayTitle(QDate date);
// "Menu della settimana dal 7 al 13 dicembre 2026", "dal 28 dicembre 2026 al 3 gennaio 2027".
QString MenuWeekTitle(QDate anyDay);
// "Pasta al pomodoro (4 persone)" / "(1 persona)"; a missing recipe adds
// " - non presente nella raccolta".
QString MenuItemText(const MenuItem &item, bool missing);

// The shown week as text lines for print, preview, PDF and copy: the title; each day with its
// date, each shown meal with its recipes and persons (meals without any say "-"), and the
// day's calories per person; last, the average per day. Windows-1252, as the page printer's
// other printouts.
std::vector<std::string> MenuWeekLines(const MenuPlan &plan, QDate anyDay,
                                       const std::vector<Meal> &meals,
                                       const WeekCalories &calories);

}  // namespace sapidoro
