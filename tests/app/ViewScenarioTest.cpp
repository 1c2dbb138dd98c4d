#include "ScenarioData.h"

#include "common/QtText.h"
#include "picture/JpgImg.h"
#include "widgets/ScrollBars.h"
#include "widgets/Spinner.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <algorithm>

using namespace sapidoro;
using namespace sapidoro::test;

namespace {

// The calorie table of most scenarios.
std::string Table() {
    return CrLf({"Farina_ING == 200 === 700", "Farina_ING == 100 === 350", "Uova_ING == 2 === 160",
                 "Uova_ING == 2 === 999", "Sale_ING == 1 === 0", "Latte_ING == 1 l === 640"});
}

// Worked example: 860 calories, the salt without quantity not found.
RecipeData Torta() {
    return {"Torta",
            "Dessert",
            "Farina",
            "4",
            "Bambini piccoli",
            {"200 ==== Farina", " ==== Sale", "2 ==== Uova"},
            {"Impastare.", "Cuocere."}};
}

RecipeData Crema() {
    return {"Crema",       "Dessert", "Latte",
            "2",           "Ferrara", {"1 l ==== Latte", "2 ==== Uova", "pizzico ==== Zucchero"},
            {"Mescolare."}};
}

RecipeData Frittata() {
    return {"Frittata", "Secondo", "Uova", "4", "Roma", {"2 ==== Uova", "2 ==== Uova"}, {}};
}

class ViewScenarioTest : public ScenarioTest {
protected:
    void OpenMenu(std::vector<RecipeData> extra = {}) {
        std::vector<RecipeData> recipes = {Torta(), Crema(), Frittata()};
        recipes.insert(recipes.end(), extra.begin(), extra.end());
        Open(recipes, Table());
    }
    QString NoImage() { return QString::fromStdString(m_dir.file("immagini/noimage.jpg")); }
    // The fields that a load fills, in one text for comparisons before and after.
    QString Shown() {
        return QStringList{Text("Nome"),
                           Text("Piatto"),
                           Text("Ingrediente_Principale"),
                           Text("Note"),
                           BoxText("Ingredienti"),
                           BoxText("Preparazione"),
                           Text("Calorie"),
                           Find<QLineEdit>("Calorie")->toolTip(),
                           Text("RzLabel2"),
                           BoxText("ListaIngredientiNonTrovati"),
                           QString::number(Persons())}
            .join(u'|');
    }
};

}  // namespace

TEST_F(ViewScenarioTest, APickThatKeepsTheSpinnerShowsTheWorkedExample) {
    OpenMenu();
    ASSERT_EQ(Persons(), 4);
    Pick(QStringLiteral("Torta"));
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
    EXPECT_EQ(Text("Nome"), QStringLiteral("Torta"));
    EXPECT_EQ(Text("Piatto"), QStringLiteral("Dessert"));
    EXPECT_EQ(Text("Ingrediente_Principale"), QStringLiteral("Farina"));
    EXPECT_EQ(Text("Note"), QStringLiteral("Bambini piccoli"));
    EXPECT_EQ(BoxText("Ingredienti"), QStringLiteral("200 ==== Farina\n ==== Sale\n2 ==== Uova"));
    EXPECT_EQ(BoxText("Preparazione"), QStringLiteral("Impastare.\nCuocere."));
    EXPECT_EQ(Persons(), 4);
    EXPECT_EQ(Text("Calorie"), QStringLiteral("215"));
    EXPECT_EQ(Find<QLineEdit>("Calorie")->toolTip(), QStringLiteral("1 INGREDIENTI NON TROVATI)"));
    EXPECT_EQ(Text("RzLabel2"), QStringLiteral(" INGREDIENTI NON TROVATI: 1"));
    EXPECT_EQ(BoxText("ListaIngredientiNonTrovati"), QStringLiteral("0 ==== Sale"));
    EXPECT_EQ(m_form->currentRecipeName(), "Torta");
    EXPECT_EQ(m_form->recordPersons(), 4);
    EXPECT_EQ(PictureFile(), NoImage());
    EXPECT_EQ(FocusName(), QStringLiteral("StringaDaCercare"));
    EXPECT_EQ(BoxText("RicettaCompleta"),
              QStringLiteral("NOME: Torta\nPIATTO: Dessert\nINGREDIENTE PRINCIPALE: Farina\n"
                             "PERSONE: 4\nCALORIE PER PERSONA: 215\nNOTE: Bambini piccoli\n"
                             "INGREDIENTI: \n200 ==== Farina\n ==== Sale\n2 ==== Uova\n"
                             "PREPARAZIONE: \nImpastare.\nCuocere."));

    EXPECT_EQ(ScrollBarsOf(Find<QPlainTextEdit>("Ingredienti")), ScrollStyle::Both);
    EXPECT_EQ(ScrollBarsOf(Find<QPlainTextEdit>("Preparazione")), ScrollStyle::Vertical);
    EXPECT_EQ(ScrollBarsOf(Find<QPlainTextEdit>("ListaIngredientiNonTrovati")), ScrollStyle::Both);
    EXPECT_EQ(ScrollBarsOf(Find<QPlainTextEdit>("RicettaCompleta")), ScrollStyle::Vertical);

    // Three persons: the stored sum divided anew, truncated.
    SetPersons(3);
    EXPECT_EQ(Text("Calorie"), QStringLiteral("286"));
}

TEST_F(ViewScenarioTest, APickThatChangesTheSpinnerShowsCaloriesForTheRecordsValue) {
    OpenMenu();
    Pick(QStringLiteral("Torta"));
    // The custard serves 2: 800 calories, never divided by the 4 the spinner had.
    Pick(QStringLiteral("Crema"));
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
    EXPECT_EQ(Persons(), 2);
    EXPECT_EQ(Text("Calorie"), QStringLiteral("400"));
    EXPECT_EQ(m_form->calorieSum(), 800);
    EXPECT_EQ(m_form->missingIngredientCount(), 1);
    EXPECT_EQ(BoxText("ListaIngredientiNonTrovati"), QStringLiteral("pizzico ==== Zucchero"));
    EXPECT_TRUE(BoxText("RicettaCompleta").contains(u"PERSONE: 2\nCALORIE PER PERSONA: 400\n"));
    EXPECT_EQ(FocusName(), QStringLiteral("StringaDaCercare"));

    // Back to a record of 4: the value changes again, and so do the calories.
    Pick(QStringLiteral("Frittata"));
    EXPECT_EQ(Persons(), 4);
    EXPECT_EQ(Text("Calorie"), QStringLiteral("80"));
    EXPECT_EQ(BoxText("Preparazione"), QString());
    EXPECT_TRUE(BoxText("RicettaCompleta").endsWith(u"2 ==== Uova\nPREPARAZIONE: "));
}

TEST_F(ViewScenarioTest, PersonsOutsideTheSpinnersRangeAreClamped) {
    RecipeData none = Torta(), many = Torta();
    none.name = "Per nessuno";
    none.persons = "0";
    many.name = "Per un reggimento";
    many.persons = "150";
    OpenMenu({none, many});
    Pick(QStringLiteral("Per nessuno"));
    EXPECT_EQ(m_form->recordPersons(), 0);
    EXPECT_EQ(Persons(), 1);
    EXPECT_EQ(Text("Calorie"), QStringLiteral("860"));
    Pick(QStringLiteral("Per un reggimento"));
    EXPECT_EQ(m_form->recordPersons(), 150);
    EXPECT_EQ(Persons(), 100);
    EXPECT_EQ(Text("Calorie"), QStringLiteral("8"));
    EXPECT_TRUE(BoxText("RicettaCompleta").contains(u"PERSONE: 100\nCALORIE PER PERSONA: 8\n"));
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
}

TEST_F(ViewScenarioTest, ARecordWithoutIngredientLines) {
    RecipeData plain{"Acqua", "Bevande", "Acqua", "4", "", {}, {"Versare."}};
    OpenMenu({plain});
    Pick(QStringLiteral("Torta"));
    Pick(QStringLiteral("Acqua"));
    EXPECT_EQ(BoxText("Ingredienti"), QString());
    EXPECT_EQ(Text("Note"), QString());
    EXPECT_EQ(Text("Calorie"), QStringLiteral("0"));
    EXPECT_EQ(Find<QLineEdit>("Calorie")->toolTip(), QStringLiteral("0 INGREDIENTI NON TROVATI)"));
    EXPECT_EQ(Text("RzLabel2"), QStringLiteral(" INGREDIENTI NON TROVATI: 0"));
    EXPECT_EQ(BoxText("ListaIngredientiNonTrovati"), QString());
    // Without lines the table is not even opened.
    QFile::remove(QString::fromStdString(m_dir.file("ing.txt")));
    Pick(QStringLiteral("Frittata"));
    Pick(QStringLiteral("Acqua"));
    EXPECT_EQ(Errors(), QStringList{QStringLiteral("File not found.")});
    EXPECT_EQ(Text("Calorie"), QStringLiteral("0"));
}

TEST_F(ViewScenarioTest, TwoRecordsOfOneNameShowTheFirstWhicheverIsPicked) {
    RecipeData second = Crema();
    second.name = "Torta";
    second.dish = "Pesce";
    OpenMenu({second});
    const int first = ItemsOf("RicetteTrovate").indexOf(QStringLiteral("Torta"));
    ASSERT_EQ(ItemsOf("RicetteTrovate").at(first + 1), QStringLiteral("Torta"));
    PickRow(first + 1);
    EXPECT_EQ(Text("Piatto"), QStringLiteral("Dessert"));
    EXPECT_EQ(Text("Calorie"), QStringLiteral("215"));
    Pick(QStringLiteral("Crema"));
    PickRow(first);
    EXPECT_EQ(Text("Piatto"), QStringLiteral("Dessert"));
}

TEST_F(ViewScenarioTest, ANoteEqualToARecipeNameDoesNotStartItsRecord) {
    RecipeData misleading = Frittata();
    misleading.name = "Frittatona";
    misleading.notes = "Torta";
    misleading.dish = "Sbagliato";
    std::vector<RecipeData> recipes = {misleading, Torta()};
    Open(recipes, Table());
    Pick(QStringLiteral("Torta"));
    EXPECT_EQ(Text("Piatto"), QStringLiteral("Dessert"));
    EXPECT_EQ(Text("Note"), QStringLiteral("Bambini piccoli"));
    EXPECT_EQ(Text("Calorie"), QStringLiteral("215"));
}

TEST_F(ViewScenarioTest, TypingIntoNomeIsUndoneAtOnce) {
    OpenMenu();
    auto *nome = Find<QComboBox>("Nome");
    nome->setFocus();
    QTest::keyClicks(nome, QStringLiteral("Crema"));
    EXPECT_EQ(Text("Nome"), QString());
    Pick(QStringLiteral("Torta"));
    nome->setFocus();
    QTest::keyClick(nome, Qt::Key_Backspace);
    QTest::keyClicks(nome, QStringLiteral("xyz"));
    EXPECT_EQ(Text("Nome"), QStringLiteral("Torta"));
    // A key held down changes the text until it is released.
    QTest::keyPress(nome, Qt::Key_Backspace);
    EXPECT_EQ(Text("Nome"), QStringLiteral("Tort"));
    QTest::keyRelease(nome, Qt::Key_Backspace);
    EXPECT_EQ(Text("Nome"), QStringLiteral("Torta"));
    EXPECT_TRUE(Errors().isEmpty());
}

TEST_F(ViewScenarioTest, ChangingPersonsAfterAPickReadsNoFile) {
    OpenMenu();
    Pick(QStringLiteral("Crema"));
    const QString summary = BoxText("RicettaCompleta");
    QFile::remove(QString::fromStdString(m_dir.file("ricette.txt")));
    QFile::remove(QString::fromStdString(m_dir.file("ing.txt")));
    SetPersons(3);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
    EXPECT_EQ(Text("Calorie"), QStringLiteral("266"));
    EXPECT_EQ(BoxText("ListaIngredientiNonTrovati"), QStringLiteral("pizzico ==== Zucchero"));
    // The summary keeps the values of the pick.
    EXPECT_EQ(BoxText("RicettaCompleta"), summary);
    EXPECT_EQ(FocusName(), QStringLiteral("StringaDaCercare"));
}

TEST_F(ViewScenarioTest, BeforeTheFirstPickAndAfterTheResetPersonsOnlyShowCalories) {
    OpenMenu();
    SetPersons(5);
    EXPECT_EQ(Text("Calorie"), QStringLiteral("0"));
    EXPECT_EQ(Text("RzLabel2"), QStringLiteral(" INGREDIENTI NON TROVATI: 0"));

    Pick(QStringLiteral("Crema"));
    ClickReset();
    ASSERT_EQ(Text("Calorie"), QString());
    QFile::remove(QString::fromStdString(m_dir.file("ing.txt")));
    SetPersons(4);
    // The calories of the recipe that was on show before the reset come back.
    EXPECT_EQ(Text("Calorie"), QStringLiteral("200"));
    EXPECT_EQ(Text("Piatto"), QString());
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
}

TEST_F(ViewScenarioTest, APickAfterTheResetShowsTheSameRecipeInFull) {
    OpenMenu();
    Pick(QStringLiteral("Torta"));
    const QString shown = Shown();
    ClickReset();
    Pick(QStringLiteral("Torta"));
    EXPECT_EQ(Shown(), shown);
    EXPECT_EQ(m_form->currentRecipeName(), "Torta");
}

TEST_F(ViewScenarioTest, ThePictureOfTheRecipeOrNoImage) {
    RecipeData accented = Crema();
    accented.name = "Bab\xE0 al rum";
    OpenMenu({accented});
    CopySamplePicture(m_dir, "Babà Al Rum.jpg", "Babà al rum.jpg");
    Pick(QString::fromUtf8("Babà al rum"));
    EXPECT_EQ(PictureFile(), QString::fromStdString(m_dir.file("immagini/")) +
                                 QString::fromUtf8("Babà al rum.jpg"));
    Pick(QStringLiteral("Torta"));
    EXPECT_EQ(PictureFile(), NoImage());
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
}

TEST_F(ViewScenarioTest, ANameWithDotsShowsItsOwnPicture) {
    RecipeData nonna = Torta(), slash = Crema();
    nonna.name = "Torta... della nonna";
    slash.name = "Crema/..";
    OpenMenu({nonna, slash});
    CopySamplePicture(m_dir, "Babà Al Rum.jpg", "Torta... della nonna.jpg");
    Pick(QStringLiteral("Torta... della nonna"));
    EXPECT_EQ(PictureFile(),
              QString::fromStdString(m_dir.file("immagini/Torta... della nonna.jpg")));
    EXPECT_FALSE(Find<TJPEGImage>("JPEGImage1")->picture().isNull());
    // A separator still falls back, dots or not.
    Pick(QStringLiteral("Crema/.."));
    EXPECT_EQ(PictureFile(), NoImage());
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
}

// Lines have no length limit: no field cuts a text at Qt's default of 32,767 characters.
TEST_F(ViewScenarioTest, LongLinesStayWholeInTheFields) {
    const auto longText = [](char fill, std::size_t size) {
        std::string text = "Inizio \xE0 ";
        text.resize(size, fill);
        return text + " fine";
    };
    RecipeData longName = Torta(), longFields = Crema();
    longName.name = longText('n', 33'000);
    longFields.name = "Lunga";
    longFields.dish = longText('d', 40'000);
    longFields.mainIngredient = longText('i', 40'000);
    longFields.notes = longText('r', 40'000);
    OpenMenu({longName, longFields});
    m_dir.write("luoghi.txt", CrLf({longText('l', 40'000), "Roma"}));

    Pick(FromCp1252(longName.name));
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').left(300).toStdString();
    EXPECT_EQ(Text("Nome"), FromCp1252(longName.name));
    EXPECT_EQ(Text("Calorie"), QStringLiteral("215"));
    Pick(QStringLiteral("Lunga"));
    EXPECT_EQ(Text("Piatto"), FromCp1252(longFields.dish));
    EXPECT_EQ(Text("Ingrediente_Principale"), FromCp1252(longFields.mainIngredient));
    EXPECT_EQ(Text("Note"), FromCp1252(longFields.notes));
    ChooseScope(QStringLiteral("Luogo"));
    EXPECT_EQ(Text("StringaDaCercare"), FromCp1252(longText('l', 40'000)));
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').left(300).toStdString();
}

TEST_F(ViewScenarioTest, ALargeCalorieSumDoesNotWrap) {
    RecipeData heavy{"Pesante", "Primo", "Burro",
                     "4",       "",      {"1 ==== Burro", "1 ==== Burro", "1 ==== Burro"}};
    Open({heavy}, CrLf({"Burro_ING == 1 === 2000000000"}));
    Pick(QStringLiteral("Pesante"));
    EXPECT_EQ(m_form->calorieSum(), 6000000000);
    EXPECT_EQ(Text("Calorie"), QStringLiteral("1500000000"));
}

// --- Failures: which fields keep their old texts and which have new ones ---

TEST_F(ViewScenarioTest, TheRecipeFileMissingAtAPick) {
    OpenMenu();
    Pick(QStringLiteral("Torta"));
    const QString summary = BoxText("RicettaCompleta");
    QFile::remove(QString::fromStdString(m_dir.file("ricette.txt")));
    Pick(QStringLiteral("Crema"));
    EXPECT_EQ(Errors(), QStringList{QStringLiteral("File not found.")});
    EXPECT_EQ(Text("Nome"), QStringLiteral("Crema"));
    EXPECT_EQ(BoxText("ListaIngredientiNonTrovati"), QString());
    EXPECT_EQ(BoxText("Ingredienti"), QString());
    EXPECT_EQ(BoxText("Preparazione"), QString());
    EXPECT_EQ(Text("Piatto"), QStringLiteral("Dessert"));
    EXPECT_EQ(Text("Note"), QStringLiteral("Bambini piccoli"));
    EXPECT_EQ(Text("Calorie"), QStringLiteral("215"));
    EXPECT_EQ(Persons(), 4);
    EXPECT_EQ(m_form->currentRecipeName(), "Torta");
    EXPECT_EQ(BoxText("RicettaCompleta"), summary);
    EXPECT_EQ(PictureFile(), NoImage());
}

TEST_F(ViewScenarioTest, APersonsLineThatIsNoWholeNumber) {
    RecipeData odd = Crema();
    odd.name = "Dispari";
    odd.persons = "4 o 5";
    odd.dish = "Dolce";
    OpenMenu({odd});
    Pick(QStringLiteral("Torta"));
    Pick(QStringLiteral("Dispari"));
    EXPECT_EQ(Errors(), QStringList{QStringLiteral("'4 o 5' is not a valid integer value.")});
    // Set before the conversion: new. After it: old, or emptied by the load.
    EXPECT_EQ(Text("Piatto"), QStringLiteral("Dolce"));
    EXPECT_EQ(Text("Ingrediente_Principale"), QStringLiteral("Latte"));
    EXPECT_EQ(Text("Note"), QStringLiteral("Bambini piccoli"));
    EXPECT_EQ(BoxText("Ingredienti"), QString());
    EXPECT_EQ(Text("Calorie"), QStringLiteral("215"));
    EXPECT_EQ(m_form->currentRecipeName(), "Torta");
    EXPECT_EQ(m_form->recordPersons(), 4);
}

TEST_F(ViewScenarioTest, TheCalorieTableMissingAtAPick) {
    OpenMenu();
    Pick(QStringLiteral("Torta"));
    const QString label = Text("RzLabel2");
    QFile::remove(QString::fromStdString(m_dir.file("ing.txt")));
    Pick(QStringLiteral("Crema"));
    EXPECT_EQ(Errors(), QStringList{QStringLiteral("File not found.")});
    EXPECT_EQ(Text("Piatto"), QStringLiteral("Dessert"));
    EXPECT_EQ(Text("Ingrediente_Principale"), QStringLiteral("Latte"));
    EXPECT_EQ(Text("Note"), QStringLiteral("Ferrara"));
    EXPECT_EQ(BoxText("Ingredienti"),
              QStringLiteral("1 l ==== Latte\n2 ==== Uova\npizzico ==== Zucchero"));
    EXPECT_EQ(BoxText("Preparazione"), QStringLiteral("Mescolare."));
    EXPECT_EQ(Text("Calorie"), QStringLiteral("215"));
    EXPECT_EQ(Find<QLineEdit>("Calorie")->toolTip(), QStringLiteral("1 INGREDIENTI NON TROVATI)"));
    EXPECT_EQ(Text("RzLabel2"), label);
    EXPECT_EQ(BoxText("ListaIngredientiNonTrovati"), QString());
    EXPECT_EQ(Persons(), 4);
    EXPECT_EQ(m_form->currentRecipeName(), "Torta");
}

TEST_F(ViewScenarioTest, CaloriesThatAreNoWholeNumber) {
    Open({Torta(), Crema()}, CrLf({"Latte_ING == 1 l === 640", "Uova_ING == 2 === 160 kcal",
                                   "Farina_ING == 200 === 700"}));
    Pick(QStringLiteral("Torta"));
    ASSERT_EQ(Errors(), QStringList{QStringLiteral("'160 kcal' is not a valid integer value.")});
    // The salt before the eggs is already listed; the display is not updated.
    EXPECT_EQ(BoxText("ListaIngredientiNonTrovati"), QStringLiteral("0 ==== Sale"));
    EXPECT_EQ(Text("Calorie"), QString());
    EXPECT_EQ(Text("Piatto"), QStringLiteral("Dessert"));
    EXPECT_EQ(m_form->currentRecipeName(), std::string());
    EXPECT_EQ(BoxText("RicettaCompleta"), QString());
    // The custard has no salt, and its eggs fail on the second line.
    Pick(QStringLiteral("Crema"));
    EXPECT_EQ(Errors().size(), 2);
    EXPECT_EQ(BoxText("ListaIngredientiNonTrovati"), QString());
}

TEST_F(ViewScenarioTest, ANameNoLongerInTheFileClearsTheRecordAndSaysSo) {
    OpenMenu();
    Pick(QStringLiteral("Torta"));
    m_dir.write("ricette.txt", RecipeFileOf({Torta(), Frittata()}));
    Pick(QStringLiteral("Crema"));
    ASSERT_EQ(Errors().size(), 1);
    EXPECT_TRUE(Errors().front().contains(u"\"Crema\"")) << Errors().front().toStdString();
    for (const char *field : {"Piatto", "Ingrediente_Principale", "Note", "Calorie"})
        EXPECT_EQ(Text(field), QString()) << field;
    EXPECT_EQ(BoxText("Ingredienti"), QString());
    EXPECT_EQ(BoxText("Preparazione"), QString());
    EXPECT_EQ(BoxText("ListaIngredientiNonTrovati"), QString());
    EXPECT_EQ(m_form->currentRecipeName(), "Torta");
    // The file is fine for the others.
    Pick(QStringLiteral("Frittata"));
    EXPECT_EQ(Errors().size(), 1);
    EXPECT_EQ(Text("Calorie"), QStringLiteral("80"));
}

TEST_F(ViewScenarioTest, AMissingNoImagePictureEndsThePickAfterTheName) {
    OpenMenu();
    Pick(QStringLiteral("Torta"));
    const QString summary = BoxText("RicettaCompleta");
    QFile::remove(NoImage());
    Pick(QStringLiteral("Crema"));
    ASSERT_EQ(Errors().size(), 1);
    // The record is on show and its name recorded; the summary was not rewritten.
    EXPECT_EQ(Text("Piatto"), QStringLiteral("Dessert"));
    EXPECT_EQ(Text("Calorie"), QStringLiteral("400"));
    EXPECT_EQ(m_form->currentRecipeName(), "Crema");
    EXPECT_EQ(BoxText("RicettaCompleta"), summary);
}

// --- The sample collection ---

TEST_F(ViewScenarioTest, EveryRecipeOfTheSampleCollectionLoadsWithoutError) {
    m_form = std::make_unique<TForm1>(QString::fromUtf8(SAPIDORO_SAMPLE_DATA), nullptr);
    ShowActive();
    ASSERT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
    const QStringList names = ItemsOf("RicetteTrovate");
    ASSERT_GE(names.size(), 50);
    int withPicture = 0;
    for (int row = 0; row < names.size(); ++row) {
        const std::string name = names[row].toStdString();
        PickRow(row);
        ASSERT_TRUE(Errors().isEmpty()) << name << ": " << Errors().join(u'\n').toStdString();
        EXPECT_EQ(FromCp1252(m_form->currentRecipeName()), names[row]);
        EXPECT_FALSE(Text("Piatto").isEmpty()) << name;
        EXPECT_FALSE(BoxText("Ingredienti").isEmpty()) << name;
        EXPECT_EQ(Persons(), std::clamp(m_form->recordPersons(), 1, 100)) << name;
        EXPECT_EQ(Text("Calorie").toLongLong(), m_form->calorieSum() / Persons()) << name;
        EXPECT_EQ(BoxText("ListaIngredientiNonTrovati").isEmpty(),
                  m_form->missingIngredientCount() == 0)
            << name;
        EXPECT_TRUE(QFileInfo::exists(PictureFile())) << name;
        if (!PictureFile().endsWith(u"/noimage.jpg")) ++withPicture;
    }
    // Nearly every sample recipe has a picture of its own.
    EXPECT_GE(withPicture, names.size() - 10);
}
