#include "ScenarioData.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QProgressBar>

#include <cstdio>

using namespace sapidoro::test;

namespace {

const QString kTooMany = QString::fromUtf8(
    "Trovate più di 2000 ricette: fare una ricerca diversa. Iniziare dalle parole meno comuni.");

// Recipes for narrowing: ingredients, dishes and notes cross each other.
std::vector<RecipeData> Menu() {
    return {
        {"Timballo", "Primo", "Pasta", "6", "Napoli", {"500 g ==== Pasta Corta", "1 ==== Uova"}},
        {"Tiramisu", "Dessert", "Savoiardi", "8", "Treviso", {"pasta ==== Savoiardi"}},
        {"Fusilli al pesto",
         "Primo",
         "Pasta",
         "4",
         "Genova",
         {"400 g ==== Fusilli", "50 g ==== Pasta Di Pinoli", "past ==== Basilico"}},
        {"Pastiera", "Dessert", "Grano", "10", "Napoli", {"1 ==== Pasta Frolla", "1 ==== Grano"}},
        {"Baccal\xE0", "Pesce", "Baccal\xE0", "4", "Vicenza", {"1 kg ==== Baccal\xE0"}},
    };
}

class SearchScenarioTest : public ScenarioTest {
protected:
    QProgressBar *Bar() { return Find<QProgressBar>("Barra"); }
    QCheckBox *Limit() { return Find<QCheckBox>("CheckBox1"); }
};

QStringList Sorted(std::initializer_list<const char *> names) {
    QStringList list;
    for (const char *name : names) list << QString::fromUtf8(name);
    return list;
}

// 2003 recipes named "Ricetta 0001" onward: the first 2001 serve 4 persons, the others 5;
// numbers 2 to 2001 come from Rome, the others from Milan.
std::vector<RecipeData> AroundTheLimit() {
    std::vector<RecipeData> recipes;
    for (int i = 1; i <= 2003; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Ricetta %04d", i);
        const bool rome = i >= 2 && i <= 2001;
        recipes.push_back(
            {name, "Primo", "Pasta", i <= 2001 ? "4" : "5", rome ? "Roma" : "Milano", {}});
    }
    return recipes;
}

}  // namespace

TEST_F(SearchScenarioTest, NarrowingAcrossTwoScopesIntersectsTheResults) {
    Open(Menu(), CrLf({"Pasta_ING == 1 === 1"}));
    const QStringList complete = ItemsOf("Nome");

    // Quantities are never searched: the tiramisu's "pasta" is one. Names are, in any case.
    Search(QStringLiteral("Ingredienti"), QStringLiteral("PAST"));
    const QStringList pasta = Sorted({"Fusilli al pesto", "Pastiera", "Timballo"});
    EXPECT_EQ(ItemsOf("RicetteTrovate"), pasta);
    EXPECT_EQ(ItemsOf("RicetteTrovateScambio"), pasta);
    EXPECT_EQ(Text("Ricerche"), QStringLiteral("CERCA SU 3 RICETTE"));
    EXPECT_EQ(Bar()->maximum(), 5);
    EXPECT_EQ(Bar()->value(), 5);

    // "Napoli" also holds the dessert, which was not searched away: only the two in both.
    Search(QStringLiteral("Luogo"), QStringLiteral("napoli"));
    EXPECT_EQ(ItemsOf("RicetteTrovate"), Sorted({"Pastiera", "Timballo"}));
    EXPECT_TRUE(ResultListOpen());

    // A dessert that the narrowed list no longer holds is not added back.
    Search(QStringLiteral("Piatto"), QStringLiteral("Dessert"));
    EXPECT_EQ(ItemsOf("RicetteTrovate"), Sorted({"Pastiera"}));
    EXPECT_EQ(ItemsOf("RicetteTrovateScambio"), Sorted({"Pastiera"}));
    EXPECT_EQ(Text("Ricerche"), QStringLiteral("CERCA SU 1 RICETTE"));
    EXPECT_EQ(ItemsOf("Nome"), complete);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
}

TEST_F(SearchScenarioTest, AnEmptyListStaysEmptyUntilTheReset) {
    Open(Menu(), CrLf({"Pasta_ING == 1 === 1"}));
    // The accented letter does not fold: "BACCALÀ" is not "Baccalà".
    Search(QStringLiteral("Nome"), QString::fromUtf8("BACCALÀ"));
    EXPECT_TRUE(ItemsOf("RicetteTrovate").isEmpty());
    EXPECT_EQ(Text("Ricerche"), QStringLiteral("CERCA SU 0 RICETTE"));

    // Every recipe serves someone and has a name, but the list stays empty.
    Search(QStringLiteral("Nome"), QStringLiteral("i"));
    EXPECT_TRUE(ItemsOf("RicetteTrovate").isEmpty());
    Search(QStringLiteral("Persone"), QStringLiteral("4"));
    EXPECT_TRUE(ItemsOf("RicetteTrovate").isEmpty());
    EXPECT_TRUE(ItemsOf("RicetteTrovateScambio").isEmpty());
    EXPECT_EQ(Text("Ricerche"), QStringLiteral("CERCA SU 0 RICETTE"));

    ClickReset();
    EXPECT_EQ(ItemsOf("RicetteTrovate"), ItemsOf("Nome"));
    EXPECT_EQ(ItemsOf("RicetteTrovateScambio"), ItemsOf("Nome"));
    EXPECT_EQ(Text("Ricerche"), QStringLiteral("CERCA SU 5 RICETTE"));
    EXPECT_EQ(Bar()->maximum(), 5);
    EXPECT_EQ(Bar()->value(), 5);
    Search(QStringLiteral("Persone"), QStringLiteral("4"));
    EXPECT_EQ(ItemsOf("RicetteTrovate"), Sorted({"Baccalà", "Fusilli al pesto"}));
    EXPECT_TRUE(Errors().isEmpty());
}

TEST_F(SearchScenarioTest, TwoRecordsOfOneNameGiveOneEntry) {
    std::vector<RecipeData> recipes = Menu();
    recipes.push_back({"Timballo", "Primo", "Riso", "6", "Palermo", {"300 g ==== Riso"}});
    Open(recipes, CrLf({"Riso_ING == 1 === 1"}));
    EXPECT_EQ(ItemsOf("RicetteTrovate").count(QStringLiteral("Timballo")), 2);
    Search(QStringLiteral("Persone"), QStringLiteral("6"));
    EXPECT_EQ(ItemsOf("RicetteTrovate"), Sorted({"Timballo"}));
    // Narrowed: both records match the one entry, which stays single.
    Search(QStringLiteral("Nome"), QStringLiteral("timb"));
    EXPECT_EQ(ItemsOf("RicetteTrovate"), Sorted({"Timballo"}));
}

TEST_F(SearchScenarioTest, TheLimitOf2000WithTheCheckBoxOnAndOff) {
    Open(AroundTheLimit(), CrLf({"Pasta_ING == 1 === 1"}));
    ASSERT_EQ(m_form->recipeCount(), 2003);
    ASSERT_TRUE(Limit()->isChecked());

    // Exactly 2000 are offered.
    Search(QStringLiteral("Luogo"), QStringLiteral("Roma"));
    ASSERT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
    EXPECT_EQ(ItemsOf("RicetteTrovate").size(), 2000);
    EXPECT_EQ(Text("Ricerche"), QStringLiteral("CERCA SU 2000 RICETTE"));
    EXPECT_TRUE(ResultListOpen());
    EXPECT_EQ(Bar()->value(), 2003);

    // 2001 with the box checked: the message, then on "OK" the reset.
    ClickReset();
    MessageBoxSeen seen;
    AnswerNextMessageBox(seen, BoxAnswer::OkButton);
    Search(QStringLiteral("Persone"), QStringLiteral("4"));
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.title, QStringLiteral("Error"));
    EXPECT_EQ(seen.text, kTooMany);
    EXPECT_EQ(seen.buttons, QStringList{QStringLiteral("OK")});
    EXPECT_EQ(ItemsOf("RicetteTrovate").size(), 2003);
    EXPECT_EQ(ItemsOf("RicetteTrovateScambio").size(), 2003);
    EXPECT_EQ(Text("Ricerche"), QStringLiteral("CERCA SU 2003 RICETTE"));
    EXPECT_FALSE(ResultListOpen());

    // Closed without "OK": the 2001 results stay, with their count, and the list stays shut.
    MessageBoxSeen closed;
    AnswerNextMessageBox(closed, BoxAnswer::Rejected);
    Search(QStringLiteral("Persone"), QStringLiteral("4"));
    ASSERT_TRUE(closed.shown);
    EXPECT_EQ(ItemsOf("RicetteTrovate").size(), 2001);
    EXPECT_EQ(ItemsOf("RicetteTrovateScambio").size(), 2001);
    EXPECT_EQ(Text("Ricerche"), QStringLiteral("CERCA SU 2001 RICETTE"));
    EXPECT_FALSE(ResultListOpen());

    // With the box unchecked the 2001 are offered; no message box opens.
    ClickReset();
    Limit()->click();
    ASSERT_FALSE(Limit()->isChecked());
    Search(QStringLiteral("Persone"), QStringLiteral("4"));
    EXPECT_EQ(ItemsOf("RicetteTrovate").size(), 2001);
    EXPECT_EQ(Text("Ricerche"), QStringLiteral("CERCA SU 2001 RICETTE"));
    EXPECT_TRUE(ResultListOpen());
    // The reset leaves the check box as it is.
    ClickReset();
    EXPECT_FALSE(Limit()->isChecked());
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
}

TEST_F(SearchScenarioTest, TheOverLimitMessageResetsOnlyWhenAnswered) {
    Open(AroundTheLimit(), CrLf({"Pasta_ING == 1 === 1"}));
    ASSERT_TRUE(Limit()->isChecked());

    // The frame's close button is no answer: the 2001 results stay, with their count.
    MessageBoxSeen closed;
    AnswerNextMessageBox(closed, BoxAnswer::CloseButton);
    Search(QStringLiteral("Persone"), QStringLiteral("4"));
    ASSERT_TRUE(closed.shown);
    EXPECT_EQ(ItemsOf("RicetteTrovate").size(), 2001);
    EXPECT_EQ(ItemsOf("RicetteTrovateScambio").size(), 2001);
    EXPECT_EQ(Text("Ricerche"), QStringLiteral("CERCA SU 2001 RICETTE"));
    EXPECT_FALSE(ResultListOpen());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // Enter and Escape both press the one button, which is the default and the cancel one.
    for (const BoxAnswer key : {BoxAnswer::EnterKey, BoxAnswer::EscapeKey}) {
        ClickReset();
        MessageBoxSeen seen;
        AnswerNextMessageBox(seen, key);
        Search(QStringLiteral("Persone"), QStringLiteral("4"));
        ASSERT_TRUE(seen.shown);
        EXPECT_EQ(ItemsOf("RicetteTrovate").size(), 2003);
        EXPECT_EQ(Text("Ricerche"), QStringLiteral("CERCA SU 2003 RICETTE"));
        EXPECT_FALSE(ResultListOpen());
    }
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
}

TEST_F(SearchScenarioTest, AScopeThatIsNoneOfTheSixReadsNothing) {
    Open(Menu(), CrLf({"Pasta_ING == 1 === 1"}));
    Search(QStringLiteral("Piatto"), QStringLiteral("Primo"));
    const QStringList narrowed = ItemsOf("RicetteTrovate");
    ASSERT_EQ(narrowed.size(), 2);

    // Without the recipe file, a search under a text that names no scope does not fail.
    QFile::remove(QString::fromStdString(m_dir.file("ricette.txt")));
    ChooseScope(QStringLiteral("piatto"));
    Find<QComboBox>("StringaDaCercare")->setEditText(QStringLiteral("Dessert"));
    Find<QAbstractButton>("Ricerche")->setText(QStringLiteral("stale"));
    ClickSearch();
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
    EXPECT_EQ(ItemsOf("RicetteTrovate"), narrowed);
    EXPECT_EQ(ItemsOf("RicetteTrovateScambio"), narrowed);
    EXPECT_EQ(Text("Ricerche"), QStringLiteral("CERCA SU 2 RICETTE"));
    EXPECT_TRUE(ResultListOpen());
    EXPECT_EQ(Bar()->value(), 0);
}

TEST_F(SearchScenarioTest, TheMissingRecipeFileLeavesTheResultListAsItWas) {
    Open(Menu(), CrLf({"Pasta_ING == 1 === 1"}));
    Search(QStringLiteral("Piatto"), QStringLiteral("Dessert"));
    const QStringList narrowed = ItemsOf("RicetteTrovate");
    ASSERT_EQ(narrowed.size(), 2);
    CloseResultList();

    QFile::remove(QString::fromStdString(m_dir.file("ricette.txt")));
    Find<QAbstractButton>("Ricerche")->setText(QStringLiteral("before"));
    Search(QStringLiteral("Nome"), QStringLiteral("a"));
    EXPECT_EQ(Errors(), QStringList{QStringLiteral("File not found.")});
    EXPECT_EQ(ItemsOf("RicetteTrovate"), narrowed);
    EXPECT_TRUE(ItemsOf("RicetteTrovateScambio").isEmpty());
    EXPECT_EQ(Text("Ricerche"), QStringLiteral("before"));
    EXPECT_FALSE(ResultListOpen());
    EXPECT_EQ(Bar()->maximum(), 5);
    EXPECT_EQ(Bar()->value(), 0);
}

TEST_F(SearchScenarioTest, TheResetAfterARecipeWasOnShow) {
    Open(Menu(), CrLf({"Pasta Corta_ING == 500 g === 1800", "Uova_ING == 1 === 70"}));
    Search(QStringLiteral("Nome"), QStringLiteral("T"));
    Pick(QStringLiteral("Timballo"));
    ASSERT_EQ(Text("Piatto"), QStringLiteral("Primo"));
    ASSERT_EQ(Persons(), 6);
    ChooseScope(QStringLiteral("Luogo"));
    Find<QComboBox>("StringaDaCercare")->setEditText(QStringLiteral("Napoli"));
    const QString summary = BoxText("RicettaCompleta");
    const QString picture = PictureFile();
    const QString label = Text("RzLabel2");
    ASSERT_FALSE(summary.isEmpty());

    ClickReset();
    EXPECT_EQ(ItemsOf("RicetteTrovate"), ItemsOf("Nome"));
    EXPECT_EQ(ItemsOf("RicetteTrovateScambio"), ItemsOf("Nome"));
    EXPECT_EQ(Text("Ricerche"), QStringLiteral("CERCA SU 5 RICETTE"));
    EXPECT_EQ(Find<QProgressBar>("Barra")->value(), 5);
    for (const char *field : {"Nome", "Note", "Piatto", "Ingrediente_Principale", "Calorie"})
        EXPECT_EQ(Text(field), QString()) << field;
    EXPECT_EQ(BoxText("Ingredienti"), QString());
    EXPECT_EQ(BoxText("Preparazione"), QString());
    EXPECT_EQ(m_form->currentRecipeName(), std::string());

    // What the reset leaves alone.
    EXPECT_EQ(Text("SelezioneAmbitoRicerca"), QStringLiteral("Luogo"));
    EXPECT_EQ(Text("StringaDaCercare"), QStringLiteral("Napoli"));
    EXPECT_EQ(Persons(), 6);
    EXPECT_EQ(BoxText("RicettaCompleta"), summary);
    EXPECT_EQ(PictureFile(), picture);
    EXPECT_EQ(BoxText("ListaIngredientiNonTrovati"), QString());
    EXPECT_EQ(Text("RzLabel2"), label);
    EXPECT_EQ(m_form->calorieSum(), 1870);
    EXPECT_EQ(m_form->recordPersons(), 6);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
}
