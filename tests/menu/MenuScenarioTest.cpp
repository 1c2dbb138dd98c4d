#include "SampleData.h"
#include "ScenarioData.h"

#include "common/QtText.h"
#include "menu/MenuPrint.h"
#include "menu/MenuShopping.h"

#include <QAction>
#include <QSettings>
#include <QTemporaryDir>

#include <set>

using namespace Qt::StringLiterals;
using namespace sapidoro;
using namespace sapidoro::test;

namespace {

const QDate kMonday(2026, 3, 2);

class MenuScenarioTest : public ScenarioTest {
protected:
    MenuScenarioTest() {
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_xdg.filePath(u"data"_s)));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           m_xdg.filePath(u"config"_s));
    }
    MenuCalorieSources Sources(const std::string &folder, bool adapted) {
        return {CollectionRecipeFinder(folder + "ricette.txt", nullptr), folder + "ing.txt",
                adapted};
    }

    QTemporaryDir m_xdg;
};

// Each day's calories per person are the sum of what the main window shows for each recipe
// with the entry's persons in the spinner, with the dose option off and on; the day's
// ingredients not in the table are those the window lists for its recipes.
TEST_F(MenuScenarioTest, DayCaloriesAddUpWhatTheMainWindowShows) {
    const std::string folder = SAPIDORO_SAMPLE_DATA;
    m_form = std::make_unique<TForm1>(QString::fromStdString(folder), nullptr);
    const std::vector<RecipeRecord> &records = SampleRecords();
    ASSERT_GE(records.size(), 14u);
    for (const bool adapted : {false, true}) {
        SCOPED_TRACE(adapted ? "doses adapted" : "doses as written");
        Find<QAction>("AdattaDosi1")->setChecked(adapted);
        MenuPlan plan;
        std::array<std::int64_t, 7> expected{};
        std::array<std::set<QString>, 7> expectedNotFound;
        for (std::size_t i = 0; i < 14; ++i) {
            const std::string &name = records[i].name;
            const int persons = 1 + static_cast<int>(i * 3 % 7);
            const std::size_t day = i % 5;
            plan.Add({kMonday.addDays(qint64(day)), i % 2 ? Meal::Cena : Meal::Pranzo}, name,
                     persons);
            Pick(FromCp1252(name));
            SetPersons(persons);
            expected[day] += Text("Calorie").toLongLong();
            for (const QString &line : BoxText("ListaIngredientiNonTrovati").split(u'\n'))
                if (!line.isEmpty()) expectedNotFound[day].insert(line);
        }
        plan.Add({kMonday.addDays(5), Meal::Cena}, "Non c'\xE8 pi\xF9", 2);
        MenuCalorieCalculator calculator(Sources(folder, adapted));
        const WeekCalories week = calculator.Week(plan, kMonday.addDays(3));
        std::int64_t total = 0;
        std::size_t notFoundCount = 0;
        for (std::size_t day = 0; day < 7; ++day) {
            SCOPED_TRACE(day);
            EXPECT_EQ(week.days[day].date, kMonday.addDays(qint64(day)));
            EXPECT_EQ(week.days[day].perPerson, expected[day]);
            const QStringList notFound = FromCp1252List(week.days[day].notFoundLines);
            EXPECT_EQ(std::set<QString>(notFound.begin(), notFound.end()), expectedNotFound[day]);
            total += expected[day];
            notFoundCount += notFound.size();
        }
        EXPECT_GT(notFoundCount, 0u) << "the sample has ingredients outside the table";
        EXPECT_EQ(week.days[5].missingRecipes, std::vector<std::string>{"Non c'\xE8 pi\xF9"});
        EXPECT_EQ(week.plannedDays, 6) << "a day of missing recipes is planned too";
        EXPECT_EQ(week.averagePerDay, total / 6);
    }
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
}

RecipeData Torta() {
    return {"Torta",       "Dessert", "Farina",
            "4",           "Casa",    {"200 g ==== Farina", "1 Cucchiaio ==== Olio", "3 ==== Uova"},
            {"Impastare."}};
}

RecipeData Pizza() {
    return {"Pizza",      "Piatto unico",
            "Farina",     "2",
            "Napoli",     {"1 kg ==== Farina", "q.b. ==== Sale", "2 Cucchiai ==== Olio"},
            {"Stendere."}};
}

// The plan's shopping for the chosen days merges to the same ingredients as its entries
// taken one by one; a missing recipe is skipped and named; the week prints day by day.
TEST_F(MenuScenarioTest, ShoppingAndPrintoutOfTheWeek) {
    WriteCollection({Torta(), Pizza()},
                    CrLf({"Farina_ING == 200 g === 700", "Farina_ING == 1 kg === 3500"}));
    MenuPlan plan;
    plan.Add({kMonday, Meal::Pranzo}, "Pizza", 6);
    plan.Add({kMonday.addDays(1), Meal::Pranzo}, "Torta", 4);
    plan.Add({kMonday.addDays(2), Meal::Cena}, "Pizza", 3);
    plan.Add({kMonday.addDays(3), Meal::Pranzo}, "Torta", 2);
    plan.Add({kMonday.addDays(4), Meal::Cena}, "Sparita", 3);
    plan.Add({kMonday.addDays(7), Meal::Pranzo}, "Torta", 5);
    const MenuDays days = DefaultShoppingDays(kMonday.addDays(1), kMonday.addDays(4));
    EXPECT_EQ(days.first, kMonday.addDays(1));
    EXPECT_EQ(days.last, kMonday.addDays(6));
    EXPECT_EQ(DefaultShoppingDays(kMonday.addDays(-3), kMonday).first, kMonday);
    EXPECT_EQ(DefaultShoppingDays(kMonday.addDays(9), kMonday).first, kMonday);

    const MenuCalorieSources sources = Sources(m_dir.path(), false);
    const std::vector<ShoppingRecipe> recipes =
        MenuShoppingRecipes(plan, days.first, days.last, sources.findRecipe);
    std::vector<ShoppingRecipe> oneByOne;
    for (const MenuEntry &entry : plan.Entries(days.first, days.last)) {
        const std::optional<RecipeRecord> record = sources.findRecipe(entry.item.recipe);
        if (record)
            oneByOne.push_back({entry.item.recipe, entry.item.persons, false,
                                std::stoi(record->persons), record->ingredients});
    }
    ASSERT_EQ(oneByOne.size(), 3u);
    const auto merged = [](const std::vector<ShoppingRecipe> &list) {
        std::vector<std::pair<std::string, std::string>> items;
        for (const ShoppingItem &item : MergeIngredients(list))
            items.emplace_back(item.ingredient, item.quantity);
        return items;
    };
    EXPECT_EQ(merged(recipes), merged(oneByOne));
    ASSERT_EQ(recipes.size(), 3u);
    EXPECT_EQ(recipes[0].persons, 6) << "Torta for both its days";
    EXPECT_TRUE(recipes[2].missing);

    ShoppingList list;
    list.Add("Pizza", 1);
    const MenuShoppingAdded added = AddToShoppingList(list, recipes);
    EXPECT_EQ(list.entries(), (std::vector<ShoppingEntry>{{"Pizza", 4}, {"Torta", 6}}));
    EXPECT_EQ(added.missing, std::vector<std::string>{"Sparita"});
    EXPECT_EQ(MenuShoppingNote(added),
              u"Non sono nella raccolta e non sono state aggiunte: Sparita"_s);

    MenuCalorieCalculator calculator(sources);
    const std::vector<std::string> lines =
        MenuWeekLines(plan, kMonday, DefaultMeals(), calculator.Week(plan, kMonday));
    EXPECT_EQ(FromCp1252List(lines).join(u'\n'),
              u"Menu della settimana dal 2 all'8 marzo 2026\n\n"
              "Lunedì 2 marzo\n  Pranzo:\n    Pizza (6 persone)\n  Cena: -\n"
              "  Calorie per persona: 583 (2 ingredienti non trovati)\n\n"
              "Martedì 3 marzo\n  Pranzo:\n    Torta (4 persone)\n  Cena: -\n"
              "  Calorie per persona: 175 (2 ingredienti non trovati)\n\n"
              "Mercoledì 4 marzo\n  Pranzo: -\n  Cena:\n    Pizza (3 persone)\n"
              "  Calorie per persona: 1166 (2 ingredienti non trovati)\n\n"
              "Giovedì 5 marzo\n  Pranzo:\n    Torta (2 persone)\n  Cena: -\n"
              "  Calorie per persona: 350 (2 ingredienti non trovati)\n\n"
              "Venerdì 6 marzo\n  Pranzo: -\n  Cena:\n"
              "    Sparita (3 persone) - non presente nella raccolta\n"
              "  Calorie per persona: 0\n\n"
              "Sabato 7 marzo\n  Pranzo: -\n  Cena: -\n\n"
              "Domenica 8 marzo\n  Pranzo: -\n  Cena: -\n\n"
              "Media giornaliera: 454 calorie per persona (5 giorni con il menu)"_s);
}

}  // namespace
