#include "app/ErrorReport.h"
#include "app/MenuWeekWindow.h"
#include "app/OutcomeTexts.h"
#include "app/Unit1.h"
#include "common/QtText.h"
#include "menu/MenuCalories.h"
#include "menu/MenuPrint.h"
#include "menu/MenuShopping.h"
#include "menu/MenuStore.h"
#include "pageprinter/PagePrnt.h"
#include "search/NameCatalog.h"
#include "shopping/ShoppingList.h"
#include "widgets/ComboBox.h"
#include "widgets/PassingMessage.h"
#include "widgets/Spinner.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLocale>
#include <QMenu>

using namespace sapidoro;

namespace {

QStringList FromCp1252Lines(const std::vector<std::string> &lines) {
    QStringList list;
    list.reserve(qsizetype(lines.size()));
    for (const std::string &line : lines) list.append(FromCp1252(line));
    return list;
}

// The day and meal for a recipe, as the user picks them starting from `offered`; another day
// offers its first free meal. Nothing when cancelled.
std::optional<MenuCell> AskMenuCell(QWidget *parent, const QString &recipe, MenuCell offered,
                                    const std::vector<Meal> &meals, const MenuPlan &plan) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("AggiungiAlMenu"));
    dialog.setWindowTitle(QStringLiteral("Aggiungi al menu"));
    auto *form = new QFormLayout(&dialog);
    form->addRow(new QLabel(QStringLiteral("Ricetta: %1").arg(recipe)));
    auto *day = new QDateEdit(offered.date);
    day->setObjectName(QStringLiteral("GiornoMenu"));
    day->setLocale(QLocale(QLocale::Italian, QLocale::Italy));
    day->setDisplayFormat(QStringLiteral("dddd d MMMM yyyy"));
    day->setCalendarPopup(true);
    form->addRow(QStringLiteral("Giorno"), day);
    auto *meal = new QComboBox;
    meal->setObjectName(QStringLiteral("PastoMenu"));
    for (Meal shown : meals) meal->addItem(MealName(shown), int(shown));
    meal->setCurrentIndex(meal->findData(int(offered.meal)));
    QObject::connect(day, &QDateEdit::dateChanged, meal, [&plan, &meals, meal](QDate date) {
        for (Meal free : meals)
            if (plan.Cell(MenuCell{date, free}).empty())
                return meal->setCurrentIndex(meal->findData(int(free)));
    });
    form->addRow(QStringLiteral("Pasto"), meal);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted || meal->currentIndex() < 0) return std::nullopt;
    return MenuCell{day->date(), Meal(meal->currentData().toInt())};
}

}  // namespace

void TForm1::buildMenuMenu() {
    PopupMenu1->addSeparator();
    MenuSettimana1 =
        addMenuAction(PopupMenu1, "MenuSettimana1", QStringLiteral("Menu della settimana\u2026"),
                      QKeySequence(Qt::CTRL | Qt::Key_M));
    AggiungiMenu1 =
        addMenuAction(PopupMenu1, "AggiungiMenu1", QStringLiteral("Aggiungi al menu\u2026"),
                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M));
    ExceptionSafeConnect(MenuSettimana1, &QAction::triggered, this,
                         [this](auto &&...) { MenuSettimana1Click(); });
    ExceptionSafeConnect(AggiungiMenu1, &QAction::triggered, this,
                         [this](auto &&...) { AggiungiMenu1Click(); });
}

MenuWeekView TForm1::MenuWeek(QDate monday, const std::vector<Meal> &meals) {
    LoadMenuPlanOnce();
    MenuCalorieCalculator calories(MenuSources());
    MenuWeekView view;
    for (const MenuEntry &entry : m_menuPlan->Week(monday)) {
        const auto day = std::size_t(monday.daysTo(entry.cell.date));
        view.days[day].meals[std::size_t(entry.cell.meal)].push_back(MenuCellEntry{
            entry.item.recipe, entry.item.persons, !calories.HasRecipe(entry.item.recipe)});
    }
    const WeekCalories week = calories.Week(*m_menuPlan, monday);
    for (std::size_t day = 0; day < 7; ++day) {
        MenuDayView &shown = view.days[day];
        shown.day = monday.addDays(qint64(day));
        shown.planned = week.days[day].entryCount > 0;
        shown.caloriesPerPerson = week.days[day].perPerson;
        shown.notFound = week.days[day].notFoundLines;
        shown.missingNames = week.days[day].missingRecipes;
    }
    view.averagePerDay = week.averagePerDay;
    view.plannedDays = week.plannedDays;
    view.lines = FromCp1252Lines(MenuWeekLines(*m_menuPlan, monday, meals, week));
    return view;
}

void TForm1::RefreshMenuWindow() {
    if (m_menuWindow) m_menuWindow->Refresh();
}

void TForm1::OpenRecipeFromMenu(const std::string &name) {
    const std::size_t record = m_catalog ? m_catalog->firstRecordOf(name) : SIZE_MAX;
    if (record == SIZE_MAX)
        throw ENotice(QStringLiteral("La ricetta \"%1\" non è presente nella raccolta")
                          .arg(FromCp1252(name))
                          .toStdString());
    int row = -1;
    if (RicetteTrovate->itemCount() != Nome->itemCount())
        for (int listed = 0; listed < RicetteTrovate->itemCount() && row < 0; ++listed)
            if (ListedName(listed).str() == name) row = listed;
    // A recipe outside the narrowed results is shown from the whole collection.
    if (row < 0) {
        if (RicetteTrovate->itemCount() != Nome->itemCount()) InizializzazioneClick();
        row = int(m_catalog->firstRankOf(record, name));
    }
    RicetteTrovate->setCurrentIndex(row);
    RicetteTrovateChange();
    activateWindow();
    raise();
}

void TForm1::ShopFromMenu(QDate first, QDate last) {
    LoadMenuPlanOnce();
    const std::vector<ShoppingRecipe> recipes =
        MenuShoppingRecipes(*m_menuPlan, first, last, MenuSources().findRecipe);
    if (recipes.empty()) throw ENotice("Nessuna ricetta nel menu dei giorni scelti");
    LoadShoppingListOnce();
    const MenuShoppingAdded added = AddToShoppingList(*m_shoppingList, recipes);
    SaveShoppingList();
    ListaSpesa1Click();
    if (const QString note = MenuShoppingNote(added); !note.isEmpty()) ShowNotice(note);
}

void TForm1::MenuSettimana1Click() {
    LoadMenuPlanOnce();
    if (!m_menuWindow) {
        MenuWindowActions actions;
        actions.week = [this](QDate monday, const std::vector<Meal> &meals) {
            return MenuWeek(monday, meals);
        };
        actions.remove = [this](const MenuCell &cell, int index) {
            m_menuPlan->Remove(cell, std::size_t(index));
            SaveMenuPlan();
        };
        actions.move = [this](const MenuCell &from, int index, const MenuCell &to, bool copy) {
            if (copy)
                m_menuPlan->Copy(from, std::size_t(index), to);
            else
                m_menuPlan->Move(from, std::size_t(index), to);
            SaveMenuPlan();
        };
        actions.open = [this](const std::string &name) { OpenRecipeFromMenu(name); };
        actions.shop = [this](QDate first, QDate last) { ShopFromMenu(first, last); };
        actions.print = [this](const QStringList &lines) {
            LayOutOnPagePrinter(lines);
            PagePrinter1->EndDoc();
            PagePrinter1->Print();
        };
        actions.preview = [this](const QStringList &lines) {
            PreviewOnPagePrinter([this, lines] { LayOutOnPagePrinter(lines); });
        };
        actions.exportPdf = [this](const QStringList &lines) {
            const QString written =
                ExportPdfFromPagePrinter([this, lines] { LayOutOnPagePrinter(lines); },
                                         QStringLiteral("Menu della settimana"));
            // Told in the menu's window, where the user asked for it.
            if (!written.isEmpty() && m_menuWindow)
                PassingMessage::Show(m_menuWindow, PdfSavedText(written));
        };
        m_menuWindow = new MenuWeekWindow(std::move(actions), this);
        m_menuWindow->setWindowFlag(Qt::Window);
        ExceptionSafeConnect(this, &TForm1::menuPlanChanged, m_menuWindow,
                             [this] { RefreshMenuWindow(); });
    }
    m_menuWindow->Refresh();
    m_menuWindow->show();
    m_menuWindow->raise();
    m_menuWindow->activateWindow();
}

void TForm1::AggiungiMenu1Click() {
    if (CurrentRecipeName.empty() || !Nome->hasDataText(CurrentRecipeName))
        throw ENotice("Nessuna ricetta da aggiungere al menu");
    LoadMenuPlanOnce();
    const std::vector<Meal> meals = ShownMeals();
    const QDate today = QDate::currentDate();
    const MenuCell offered =
        m_menuPlan->NextFreeCell(today, meals).value_or(MenuCell{today, meals.front()});
    const std::optional<MenuCell> cell =
        AskMenuCell(this, FromCp1252(CurrentRecipeName.str()), offered, meals, *m_menuPlan);
    if (!cell) return;
    m_menuPlan->Add(*cell, CurrentRecipeName.str(), Persone->value());
    SaveMenuPlan();
    if (m_menuWindow) m_menuWindow->ShowWeekOf(cell->date);
    PassingMessage::Show(this, QStringLiteral("Aggiunta al menu: %1, %2")
                                   .arg(MenuDayName(cell->date), MealName(cell->meal)));
}
