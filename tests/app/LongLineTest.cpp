// Lines of a megabyte in every place a data file holds text, driven through the window: the
// searches find them, the picks show them cut, and the copied recipe keeps them whole.
#include "ScenarioData.h"

#include "common/QtText.h"
#include "support/Watchdog.h"
#include "view/RecipeText.h"
#include "widgets/ComboBox.h"
#include "widgets/LongText.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>

#include <functional>
#include <string>

using namespace sapidoro;
using namespace sapidoro::test;

namespace {

constexpr std::size_t kLong = 1'000'000;

// Windows-1252 text of `kLong` bytes, accents included, that begins with `head` and ends
// with `tail`.
std::string LongText(const std::string &head, const std::string &tail) {
    const std::string piece = "crema \xE0 la vaniglia con zucchero, ";
    std::string text = head;
    while (text.size() < kLong - tail.size()) text += piece;
    text.resize(kLong - tail.size());
    return text + tail;
}

struct Collection {
    RecipeData recipe{"Torta", "Dessert", "Farina", "4", "Roma", {"200 ==== Farina"}, {}};
    std::string table = CrLf({"Farina_ING == 200 === 700"});
    std::string places = CrLf({"Roma", "Milano"});
};

struct LongLineCase {
    const char *name;
    std::function<std::string(Collection &)> make;  // puts the long text in, returns it
    const char *scope;
    // Empty: the text the scope puts into the search box. Ingredients are searched in their
    // first 255 characters only, as their split gives them.
    QString searchString;
    QString calories;     // for 4 persons
    int missing;          // ingredient lines not in the table
    bool listed = false;  // the long text is offered by the search box, not in the recipe
};

const LongLineCase kCases[] = {
    {"Name", [](Collection &c) { return c.recipe.name = LongText("Torta ", " della nonna"); },
     "Nome", QStringLiteral("della nonna"), QStringLiteral("175"), 0},
    {"Notes", [](Collection &c) { return c.recipe.notes = LongText("Per tutti, ", " a Roma"); },
     "Luogo", QStringLiteral("a roma"), QStringLiteral("175"), 0},
    {"Ingredient",
     [](Collection &c) {
         c.recipe.ingredients.push_back(LongText("1 ==== Burro ", " salato"));
         return c.recipe.ingredients.back();
     },
     "Ingredienti", QStringLiteral("burro"), QStringLiteral("175"), 1},
    {"Place",
     [](Collection &c) {
         const std::string place = LongText("Trattoria ", " in Trastevere");
         c.places = CrLf({place, "Milano"});
         return c.recipe.notes = place;
     },
     "Luogo", QString(), QStringLiteral("175"), 0},
    {"CalorieEntry",
     [](Collection &c) {
         // Lookups split names and quantities at most 255 characters long, so the long entries
         // are a name the search box lists and one read past its name to the match.
         const std::string name = LongText("Zucchero di canna ", " grezzo");
         c.table += CrLf(
             {name + "_ING == 1 === 1", "Zucchero_ING" + LongText(" (", ")") + " == 100 === 400"});
         c.recipe.ingredients.push_back("100 ==== Zucchero");
         return name;
     },
     "Ingredienti", QStringLiteral("zucchero"), QStringLiteral("275"), 0, true},
};

void PrintTo(const LongLineCase &c, std::ostream *out) {
    *out << c.name;
}

class LongLineTest : public ScenarioTest, public ::testing::WithParamInterface<LongLineCase> {
protected:
    // The longest text any edit field of the window lays out.
    qsizetype LongestInFields() {
        qsizetype longest = 0;
        for (const QLineEdit *field : m_form->findChildren<QLineEdit *>())
            longest = std::max(longest, field->text().size());
        return longest;
    }
    // The longest line any text box of the window lays out.
    qsizetype LongestInBoxes() {
        qsizetype longest = 0;
        for (const QPlainTextEdit *box : m_form->findChildren<QPlainTextEdit *>())
            for (QTextBlock b = box->document()->begin(); b.isValid(); b = b.next())
                longest = std::max(longest, b.text().size());
        return longest;
    }
};

}  // namespace

TEST_P(LongLineTest, IsFoundShownCutAndCopiedWhole) {
    const LongLineCase &c = GetParam();
    // A regression that lays the megabyte out again and again fails here instead of hanging.
    const Watchdog watchdog(std::chrono::seconds(120), std::size_t{1} << 30);
    Collection data;
    const QString whole = FromCp1252(c.make(data));
    WriteCollection({RecipeData{"Crema", "Dessert", "Latte", "2", "Ferrara", {}, {}}, data.recipe},
                    data.table);
    m_dir.write("luoghi.txt", data.places);
    CreateForm();
    ShowActive();

    ChooseScope(QString::fromLatin1(c.scope));
    if (!c.searchString.isEmpty()) Find<QComboBox>("StringaDaCercare")->setEditText(c.searchString);
    ClickSearch();
    // The list shows a long name cut; the pick takes it whole.
    ASSERT_EQ(ItemsOf("RicetteTrovate"), QStringList{ShownText(data.recipe.name)});
    PickRow(0);

    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').left(300).toStdString();
    EXPECT_EQ(m_form->currentRecipeName(), data.recipe.name);
    EXPECT_EQ(Text("Calorie"), c.calories);
    EXPECT_EQ(Text("RzLabel2"), QStringLiteral(" INGREDIENTI NON TROVATI: %1").arg(c.missing));
    // A field shows at most its shorter cut; a box the longer one (and a label before it).
    EXPECT_LE(LongestInFields(), kFieldCutLength + 1);
    EXPECT_LE(LongestInBoxes(), kLongTextLimit + kLongestRecipeLabel + 1);
    if (c.listed) {
        EXPECT_TRUE(Find<ComboBox>("StringaDaCercare")->items().contains(whole));
    } else {
        EXPECT_TRUE(BoxText("RicettaCompleta").contains(whole.left(kLongTextLimit - 100)));
        // The copied recipe holds the whole line; the clipboard breaks it where it wraps.
        m_form->findChild<QAction *>(QStringLiteral("Copia1"))->trigger();
        EXPECT_TRUE(
            QGuiApplication::clipboard()->text().remove(QStringLiteral("\r\n")).contains(whole));
    }
    // The persons change reads nothing again and keeps the whole text on show.
    SetPersons(2);
    EXPECT_EQ(Text("Calorie"), QString::number(c.calories.toInt() * 2));
    EXPECT_EQ(m_form->currentRecipeName(), data.recipe.name);
}

// A recipe added after the start-up is listed by its name, which the list shows cut: the
// narrowing search and the pick take the whole name, not the text on show.
TEST_F(LongLineTest, ANameTheStartUpDidNotListIsNarrowedAndPickedWhole) {
    const Watchdog watchdog(std::chrono::seconds(120), std::size_t{1} << 30);
    Collection data;
    const RecipeData crema{"Crema", "Dessert", "Latte", "2", "Ferrara", {}, {}};
    WriteCollection({crema, data.recipe}, data.table);
    CreateForm();
    ShowActive();
    RecipeData added = data.recipe;
    added.name = LongText("Torta ", " nuova");
    m_dir.write("ricette.txt", RecipeFileOf({crema, data.recipe, added}));

    Search(QStringLiteral("Nome"), QStringLiteral("nuova"));
    Search(QStringLiteral("Luogo"), QStringLiteral("roma"));
    ASSERT_EQ(ItemsOf("RicetteTrovate"), QStringList{ShownText(added.name)});
    PickRow(0);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').left(300).toStdString();
    EXPECT_EQ(m_form->currentRecipeName(), added.name);
    EXPECT_EQ(Text("Calorie"), QStringLiteral("175"));
}

// A long place below the first is listed cut; picked in the search box, it is searched
// whole.
TEST_F(LongLineTest, APlacePickedFromTheSearchBoxIsSearchedWhole) {
    const Watchdog watchdog(std::chrono::seconds(120), std::size_t{1} << 30);
    Collection data;
    const std::string place = LongText("Trattoria ", " in Trastevere");
    const RecipeData roma{"Crema", "Dessert", "Latte", "2", place.substr(0, kLong - 1), {}, {}};
    data.recipe.notes = place;
    WriteCollection({roma, data.recipe}, data.table);
    m_dir.write("luoghi.txt", CrLf({"Milano", place}));
    CreateForm();
    ShowActive();

    ChooseScope(QStringLiteral("Luogo"));
    auto *box = Find<ComboBox>("StringaDaCercare");
    ASSERT_EQ(box->items(), (QStringList{QStringLiteral("Milano"), ShownText(place)}));
    box->setCurrentIndex(1);
    EXPECT_EQ(box->dataText().str(), place);
    EXPECT_EQ(box->text(), FromCp1252(place));
    ClickSearch();
    EXPECT_EQ(ItemsOf("RicetteTrovate"), QStringList{QStringLiteral("Torta")});
}

INSTANTIATE_TEST_SUITE_P(OneMegabyte, LongLineTest, ::testing::ValuesIn(kCases),
                         [](const auto &test) { return std::string(test.param.name); });
