#include "app/MenuWeekWindow.h"

#include "app/ErrorReport.h"
#include "app/MealCell.h"
#include "common/QtText.h"
#include "menu/MenuPrint.h"
#include "menu/MenuShopping.h"
#include "output/RecipeOutput.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPalette>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

namespace sapidoro {

namespace {

const QString kMealsSetting = QStringLiteral("MenuSettimana/Pasti");
constexpr std::array kOptionalMeals{Meal::Colazione, Meal::Merenda};

QSettings ProgramSettings() {
    return QSettings(QStringLiteral("Sapidoro"), QStringLiteral("Sapidoro"));
}

QLocale Italian() {
    return QLocale(QLocale::Italian, QLocale::Italy);
}

QPushButton *AddButton(QBoxLayout *row, const char *name, const QString &caption) {
    auto *button = new QPushButton(caption);
    button->setObjectName(QString::fromLatin1(name));
    row->addWidget(button);
    return button;
}

QString JoinedLines(const std::vector<std::string> &lines) {
    QStringList shown;
    for (const std::string &line : lines) shown.append(FromCp1252(line));
    return shown.join(QLatin1Char('\n'));
}

// The days to shop for: from `first` to `last`, as the user picks them; false when cancelled.
bool AskShoppingDays(QWidget *parent, QDate &first, QDate &last) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("GiorniDellaSpesa"));
    dialog.setWindowTitle(QStringLiteral("Lista della spesa dal menu"));
    auto *form = new QFormLayout(&dialog);
    const auto dateEdit = [&](const char *name, QDate date) {
        auto *edit = new QDateEdit(date);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setLocale(Italian());
        edit->setDisplayFormat(QStringLiteral("dddd d MMMM yyyy"));
        edit->setCalendarPopup(true);
        return edit;
    };
    QDateEdit *from = dateEdit("DalGiorno", first);
    QDateEdit *to = dateEdit("AlGiorno", last);
    form->addRow(QStringLiteral("Dal giorno"), from);
    form->addRow(QStringLiteral("Al giorno"), to);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return false;
    first = std::min(from->date(), to->date());
    last = std::max(from->date(), to->date());
    return true;
}

}  // namespace

std::vector<Meal> ShownMeals() {
    const QVariant stored = ProgramSettings().value(kMealsSetting);
    if (!stored.isValid()) return DefaultMeals();
    const QStringList names = stored.toStringList();
    std::vector<Meal> meals;
    for (Meal meal : AllMeals()) {
        const bool optional =
            std::find(kOptionalMeals.begin(), kOptionalMeals.end(), meal) != kOptionalMeals.end();
        if (!optional || names.contains(MealName(meal))) meals.push_back(meal);
    }
    return meals;
}

QString MenuDayName(QDate day) {
    return Italian().toString(day, QStringLiteral("dddd d MMMM"));
}

QDate MondayOf(QDate day) {
    return MenuPlan::WeekStart(day);
}

MenuWeekWindow::MenuWeekWindow(MenuWindowActions actions, QWidget *parent)
    : QDialog(parent),
      m_actions(std::move(actions)),
      m_monday(MondayOf(QDate::currentDate())),
      m_meals(ShownMeals()) {
    setObjectName(QStringLiteral("MenuSettimana"));
    setWindowTitle(QStringLiteral("Menu della settimana"));
    resize(980, 520);
    const auto bind = [this](QAbstractButton *button, auto handler) {
        ExceptionSafeConnect(button, &QAbstractButton::clicked, this,
                             [handler](bool) { handler(); });
    };

    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    layout->addLayout(top);
    QPushButton *previous = AddButton(top, "SettimanaPrecedente", QStringLiteral("\u2039"));
    previous->setToolTip(QStringLiteral("Settimana precedente"));
    bind(previous, [this] { ShowWeekOf(m_monday.addDays(-7)); });
    m_weekTitle = new QLabel;
    m_weekTitle->setObjectName(QStringLiteral("SettimanaMostrata"));
    top->addWidget(m_weekTitle);
    QPushButton *next = AddButton(top, "SettimanaSuccessiva", QStringLiteral("\u203a"));
    next->setToolTip(QStringLiteral("Settimana successiva"));
    bind(next, [this] { ShowWeekOf(m_monday.addDays(7)); });
    for (QPushButton *arrow : {previous, next}) arrow->setMaximumWidth(36);
    bind(AddButton(top, "SettimanaOggi", QStringLiteral("Oggi")),
         [this] { ShowWeekOf(QDate::currentDate()); });
    top->addStretch(1);
    m_average = new QLabel;
    m_average->setObjectName(QStringLiteral("MediaSettimana"));
    top->addWidget(m_average);

    m_gridHost = new QWidget;
    layout->addWidget(m_gridHost, 1);

    auto *bottom = new QHBoxLayout;
    layout->addLayout(bottom);
    for (Meal meal : kOptionalMeals) {
        auto *box = new QCheckBox(MealName(meal));
        box->setObjectName(QStringLiteral("Mostra") + MealName(meal));
        box->setChecked(std::find(m_meals.begin(), m_meals.end(), meal) != m_meals.end());
        ExceptionSafeConnect(box, &QCheckBox::toggled, this,
                             [this, meal](bool shown) { ShowMealToggled(meal, shown); });
        bottom->addWidget(box);
    }
    bottom->addStretch(1);
    bind(AddButton(bottom, "SpesaDalMenu", QStringLiteral("Lista della spesa dal menu\u2026")),
         [this] { ShopClick(); });
    bind(AddButton(bottom, "CopiaMenu", QStringLiteral("Copia")),
         [this] { QGuiApplication::clipboard()->setText(ClipboardText(m_view.lines)); });
    bind(AddButton(bottom, "StampaMenu", QStringLiteral("Stampa")),
         [this] { m_actions.print(m_view.lines); });
    bind(AddButton(bottom, "AnteprimaMenu", QStringLiteral("Anteprima")),
         [this] { m_actions.preview(m_view.lines); });
    bind(AddButton(bottom, "EsportaPDFMenu", QStringLiteral("Esporta PDF")),
         [this] { m_actions.exportPdf(m_view.lines); });
    bind(AddButton(bottom, "ChiudiMenu", QStringLiteral("Chiudi")), [this] { close(); });

    BuildGrid();
}

void MenuWeekWindow::BuildGrid() {
    delete m_grid;
    const QObjectList children = m_gridHost->children();  // a copy: deleting changes the list
    for (QObject *child : children)
        if (child->isWidgetType()) delete child;
    m_cells.clear();
    m_grid = new QGridLayout(m_gridHost);
    m_grid->setContentsMargins(0, 0, 0, 0);
    for (int day = 0; day < 7; ++day) {
        m_dayTitles[std::size_t(day)] = new QLabel;
        m_dayTitles[std::size_t(day)]->setObjectName(QStringLiteral("Giorno%1").arg(day + 1));
        m_grid->addWidget(m_dayTitles[std::size_t(day)], 0, day + 1, Qt::AlignHCenter);
        m_dayCalories[std::size_t(day)] = new QLabel;
        m_dayCalories[std::size_t(day)]->setObjectName(
            QStringLiteral("CalorieGiorno%1").arg(day + 1));
        m_grid->addWidget(m_dayCalories[std::size_t(day)], int(m_meals.size()) + 1, day + 1,
                          Qt::AlignHCenter);
        m_grid->setColumnStretch(day + 1, 1);
    }
    m_grid->addWidget(new QLabel(QStringLiteral("Calorie per persona")), int(m_meals.size()) + 1,
                      0);
    for (int row = 0; row < int(m_meals.size()); ++row) {
        const Meal meal = m_meals[std::size_t(row)];
        m_grid->addWidget(new QLabel(MealName(meal)), row + 1, 0);
        m_grid->setRowStretch(row + 1, 1);
        for (int day = 0; day < 7; ++day) {
            MealCell::Handlers handlers;
            auto *cell = new MealCell(MenuCell{m_monday.addDays(day), meal});
            handlers.remove = [this, cell](int index) { RemoveEntry(cell->cell(), index); };
            handlers.open = [this, cell](int index) { OpenEntry(cell->cell(), index); };
            handlers.drop = [this, cell](const MenuCell &from, int index, bool copy) {
                DropEntry(from, index, cell->cell(), copy);
            };
            cell->setHandlers(std::move(handlers));
            cell->setObjectName(MealName(meal) + QString::number(day + 1));
            m_grid->addWidget(cell, row + 1, day + 1);
            m_cells.push_back(cell);
        }
    }
}

void MenuWeekWindow::ShowWeekOf(QDate day) {
    m_monday = MondayOf(day);
    Refresh();
}

void MenuWeekWindow::Refresh() {
    m_weekTitle->setText(MenuWeekTitle(m_monday));
    m_view = m_actions.week(m_monday, m_meals);
    const QColor missingColour = palette().color(QPalette::Disabled, QPalette::Text);
    for (std::size_t day = 0; day < 7; ++day) {
        const MenuDayView &view = m_view.days[day];
        const QDate date = m_monday.addDays(qint64(day));
        m_dayTitles[day]->setText(MenuDayName(date));
        QFont titleFont = m_dayTitles[day]->font();
        titleFont.setBold(date == QDate::currentDate());
        m_dayTitles[day]->setFont(titleFont);
        for (std::size_t row = 0; row < m_meals.size(); ++row) {
            MealCell *cell = m_cells[row * 7 + day];
            cell->setDay(date);
            cell->clear();
            for (const MenuCellEntry &entry : view.meals[std::size_t(m_meals[row])]) {
                auto *item = new QListWidgetItem(
                    MenuItemText(MenuItem{entry.name, entry.persons}, entry.missing));
                if (entry.missing) {
                    item->setForeground(missingColour);
                    QFont font = item->font();
                    font.setItalic(true);
                    item->setFont(font);
                    item->setToolTip(QStringLiteral("Ricetta non presente nella raccolta"));
                }
                cell->addItem(item);
            }
        }
        QString calories =
            view.planned ? QString::number(view.caloriesPerPerson) : QStringLiteral("\u2014");
        QStringList hint;
        if (!view.notFound.empty()) {
            calories += QStringLiteral(" *");
            hint << QStringLiteral("Ingredienti non trovati nella tabella delle calorie:\n") +
                        JoinedLines(view.notFound);
        }
        if (!view.missingNames.empty())
            hint << QStringLiteral("Ricette non presenti nella raccolta:\n") +
                        JoinedLines(view.missingNames);
        m_dayCalories[day]->setText(calories);
        m_dayCalories[day]->setToolTip(hint.join(QStringLiteral("\n\n")));
    }
    m_average->setText(
        m_view.plannedDays == 0
            ? QStringLiteral("Media: \u2014")
            : QStringLiteral("Media: %1 calorie per persona al giorno").arg(m_view.averagePerDay));
    m_average->setToolTip(QStringLiteral("Sui giorni della settimana con ricette in menu"));
}

void MenuWeekWindow::ShowMealToggled(Meal meal, bool shown) {
    QStringList optional;
    for (Meal kept : kOptionalMeals) {
        const bool was = std::find(m_meals.begin(), m_meals.end(), kept) != m_meals.end();
        if (kept == meal ? shown : was) optional << MealName(kept);
    }
    ProgramSettings().setValue(kMealsSetting, optional);
    m_meals = ShownMeals();
    BuildGrid();
    Refresh();
}

const MenuCellEntry *MenuWeekWindow::EntryAt(const MenuCell &place, int index) const {
    const qint64 day = m_monday.daysTo(place.date);
    if (day < 0 || day >= 7 || index < 0) return nullptr;
    const auto &entries = m_view.days[std::size_t(day)].meals[std::size_t(place.meal)];
    return std::size_t(index) < entries.size() ? &entries[std::size_t(index)] : nullptr;
}

void MenuWeekWindow::DropEntry(const MenuCell &from, int index, const MenuCell &to, bool copy) {
    if (!copy && from == to) return;
    m_actions.move(from, index, to, copy);
    Refresh();
}

void MenuWeekWindow::RemoveEntry(const MenuCell &place, int index) {
    m_actions.remove(place, index);
    Refresh();
}

void MenuWeekWindow::OpenEntry(const MenuCell &place, int index) {
    const MenuCellEntry *entry = EntryAt(place, index);
    if (entry == nullptr) return;
    if (entry->missing)
        throw ENotice(QStringLiteral("La ricetta \"%1\" non è presente nella raccolta")
                          .arg(FromCp1252(entry->name))
                          .toStdString());
    m_actions.open(entry->name);
}

void MenuWeekWindow::ShopClick() {
    const MenuDays days = DefaultShoppingDays(QDate::currentDate(), m_monday);
    QDate first = days.first;
    QDate last = days.last;
    if (!AskShoppingDays(this, first, last)) return;
    m_actions.shop(first, last);
}

}  // namespace sapidoro
