#include "common/Collation.h"
#include "common/QtText.h"
#include "data/CalorieTable.h"
#include "data/RecipeFile.h"
#include "widgets/ComboBox.h"

#include "FormFixture.h"

#include <QAbstractButton>
#include <QFileInfo>

#include <filesystem>

using namespace sapidoro;
using namespace sapidoro::test;

namespace {

const QString kSearchHint =
    QStringLiteral("Ricerca progressiva (iniziare con le parole meno comuni)");
const QString kBoxHint = QString::fromUtf16(
    u" Iniziare con gli ingredienti meno comuni; è possibile specificare stringhe parziali "
    u"(es. past)");

QStringList Latin(std::initializer_list<const char16_t *> items) {
    QStringList list;
    for (const char16_t *item : items) list << QString::fromUtf16(item);
    return list;
}

class StartupTest : public FormTest {
protected:
    QComboBox *Box(const char *name) { return Find<QComboBox>(name); }
    QAbstractButton *SearchButton() { return Find<QAbstractButton>("Ricerche"); }
};

}  // namespace

TEST_F(StartupTest, ListsCaptionsAndHintsOfASmallCollection) {
    WriteSmallCollection();
    CreateForm();
    EXPECT_TRUE(m_errors.messages().isEmpty()) << m_errors.messages().join(u'\n').toStdString();
    EXPECT_EQ(m_form->dataFolder(), m_dir.path());

    const QStringList sorted =
        Latin({u"Àcqua cotta", u"arrosto", u"Bruschetta", u"Zuppa di farro", u"Zuppa di farro"});
    EXPECT_EQ(Items(Box("Nome")), sorted);
    EXPECT_EQ(Items(Box("RicetteTrovate")), sorted);
    EXPECT_EQ(Items(Box("RicetteTrovateScambio")), sorted);
    EXPECT_EQ(m_form->recipeCount(), 5);
    EXPECT_EQ(Box("RicetteTrovate")->currentText(), QString());
    EXPECT_EQ(Box("Nome")->currentText(), QString());

    EXPECT_EQ(Items(Box("StringaDaCercare")), Latin({u"Aceto", u"Burro", u"Aceto", u"Èrba"}));
    EXPECT_EQ(Box("StringaDaCercare")->currentText(), QStringLiteral("Ricerca per 4 ingredienti"));
    EXPECT_EQ(SearchButton()->text(), QStringLiteral("CERCA SU 5 RICETTE"));
    EXPECT_EQ(SearchButton()->toolTip(), kSearchHint);
    EXPECT_EQ(Box("StringaDaCercare")->toolTip(), kBoxHint);
    EXPECT_TRUE(kBoxHint.startsWith(u' '));

    // The other program-wide values start at zero and empty.
    EXPECT_EQ(m_form->currentRecipeName(), std::string());
    EXPECT_EQ(m_form->recordPersons(), 0);
    EXPECT_EQ(m_form->calorieSum(), 0);
    EXPECT_EQ(m_form->missingIngredientCount(), 0);
}

TEST_F(StartupTest, IngredientNamesCollapseOnlyAdjacentRuns) {
    m_dir.write("ricette.txt", RecipeFile({"Uno"}));
    // A first line without a name adds nothing; a line without "_ING" is a name as a whole;
    // a lowercase "_ing" is no marker.
    m_dir.write("ing.txt", CrLf({"_ING == 1 === 2", "Sale_ING == 0 === 0", "Sale_ING == 1 === 0",
                                 "Pepe", "Sale_ING == 2 === 0", "olio_ing == 1 === 9"}));
    CreateForm();
    EXPECT_EQ(Items(Box("StringaDaCercare")),
              Latin({u"Sale", u"Pepe", u"Sale", u"olio_ing == 1 === 9"}));
    EXPECT_EQ(Box("StringaDaCercare")->currentText(), QStringLiteral("Ricerca per 4 ingredienti"));
}

TEST_F(StartupTest, EmptyIngredientTableCountsNothing) {
    m_dir.write("ricette.txt", RecipeFile({"Uno", "Due"}));
    m_dir.write("ing.txt", "");
    CreateForm();
    EXPECT_TRUE(m_errors.messages().isEmpty());
    EXPECT_EQ(Box("StringaDaCercare")->count(), 0);
    EXPECT_EQ(Box("StringaDaCercare")->currentText(), QStringLiteral("Ricerca per 0 ingredienti"));
    EXPECT_EQ(SearchButton()->text(), QStringLiteral("CERCA SU 2 RICETTE"));
}

TEST_F(StartupTest, EmptyAndCutShortRecipeFilesEndTheListing) {
    m_dir.write("ing.txt", CrLf({"Sale_ING == 0 === 0"}));
    m_dir.write("ricette.txt", "");
    CreateForm();
    EXPECT_EQ(Box("Nome")->count(), 0);
    EXPECT_EQ(SearchButton()->text(), QStringLiteral("CERCA SU 0 RICETTE"));
    EXPECT_EQ(m_form->recipeCount(), 0);

    // A record cut short inside its lines still lists the names read so far.
    const std::string whole = RecipeFile({"Uno", "Due"});
    m_dir.write("ricette.txt", whole.substr(0, whole.size() - 20));
    CreateForm();
    EXPECT_EQ(Items(Box("Nome")), Latin({u"Due", u"Uno"}));
    EXPECT_TRUE(m_errors.messages().isEmpty());
}

TEST_F(StartupTest, MissingRecipeFileLeavesTheCreationState) {
    m_dir.write("ing.txt", CrLf({"Sale_ING == 0 === 0"}));
    CreateForm();
    EXPECT_EQ(m_errors.messages(), QStringList{QStringLiteral("File not found.")});
    EXPECT_EQ(m_form->dataFolder(), m_dir.path());
    EXPECT_EQ(Box("Nome")->count(), 0);
    EXPECT_EQ(Box("StringaDaCercare")->currentText(), QStringLiteral("StringaDaCercare"));
    EXPECT_EQ(Box("StringaDaCercare")->count(), 0);
    EXPECT_EQ(Box("StringaDaCercare")->toolTip(), QStringLiteral("Stringa da cercare"));
    EXPECT_EQ(SearchButton()->text(), QStringLiteral("RICERCHE"));
    EXPECT_EQ(SearchButton()->toolTip(), QStringLiteral("Ricerche"));
    EXPECT_EQ(Box("RicetteTrovate")->count(), 0);
    EXPECT_EQ(Box("RicetteTrovateScambio")->count(), 0);
    EXPECT_EQ(m_form->recipeCount(), 0);
    // The window opens all the same, its panel fitted to it.
    m_form->show();
    EXPECT_TRUE(m_form->isVisible());
    EXPECT_EQ(Find<QWidget>("NoBDEResizerPanel1")->geometry(), m_form->rect());
}

TEST_F(StartupTest, MissingIngredientTableListsOnlyTheRecipes) {
    m_dir.write("ricette.txt", RecipeFile({"Due", "Uno"}));
    CreateForm();
    EXPECT_EQ(m_errors.messages(), QStringList{QStringLiteral("File not found.")});
    EXPECT_EQ(Items(Box("Nome")), Latin({u"Due", u"Uno"}));
    EXPECT_EQ(Box("StringaDaCercare")->currentText(), QStringLiteral("StringaDaCercare"));
    EXPECT_EQ(Box("StringaDaCercare")->toolTip(), QStringLiteral("Stringa da cercare"));
    EXPECT_EQ(SearchButton()->text(), QStringLiteral("RICERCHE"));
    EXPECT_EQ(SearchButton()->toolTip(), QStringLiteral("Ricerche"));
    EXPECT_EQ(Box("RicetteTrovate")->count(), 0);
    EXPECT_EQ(Box("RicetteTrovateScambio")->count(), 0);
    EXPECT_EQ(m_form->recipeCount(), 0);
}

TEST(StartupFolder, TheProgramReadsTheFolderOfItsExecutable) {
    ErrorReports errors;
    TForm1 form;
    const std::string own = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    EXPECT_EQ(form.dataFolder(), own + '/');
    // The test's folder holds no collection.
    EXPECT_EQ(errors.messages(), QStringList{QStringLiteral("File not found.")});
}

TEST(SampleStartup, ListsTheBundledCollection) {
    const std::string folder = SAPIDORO_SAMPLE_DATA;
    ErrorReports errors;
    TForm1 form(QString::fromStdString(folder), nullptr);
    EXPECT_TRUE(errors.messages().isEmpty()) << errors.messages().join(u'\n').toStdString();

    std::vector<std::string> names = ListRecipeNames(folder + "ricette.txt").names;
    ASSERT_FALSE(names.empty());
    SortNames(names);
    const QStringList expected = FromCp1252List(names);
    auto *nome = form.findChild<QComboBox *>(QStringLiteral("Nome"));
    EXPECT_EQ(Items(nome), expected);
    EXPECT_EQ(Items(form.findChild<QComboBox *>(QStringLiteral("RicetteTrovate"))), expected);
    EXPECT_EQ(form.recipeCount(), static_cast<int>(names.size()));
    for (qsizetype i = 1; i < expected.size(); ++i)
        EXPECT_LE(CompareNames(names[i - 1], names[i]), 0) << names[i];

    const auto ingredients = ReadIngredientNames(folder + "ing.txt");
    auto *box = form.findChild<QComboBox *>(QStringLiteral("StringaDaCercare"));
    EXPECT_EQ(Items(box), FromCp1252List(ingredients));
    EXPECT_EQ(box->currentText(),
              QStringLiteral("Ricerca per %1 ingredienti").arg(ingredients.size()));
    EXPECT_EQ(form.findChild<QAbstractButton *>(QStringLiteral("Ricerche"))->text(),
              QStringLiteral("CERCA SU %1 RICETTE").arg(expected.size()));
    EXPECT_EQ(box->toolTip(), kBoxHint);
}
