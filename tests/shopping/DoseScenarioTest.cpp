#include "SampleData.h"
#include "ScenarioData.h"

#include "common/QtText.h"
#include "output/RecipeOutput.h"
#include "pageprinter/PrinterFixture.h"
#include "shopping/ShoppingStore.h"
#include "view/RecipeText.h"
#include "widgets/PassingMessage.h"
#include "widgets/Spinner.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSettings>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <tuple>

using namespace Qt::StringLiterals;
using namespace sapidoro;
using namespace sapidoro::test;

namespace {

RecipeData Torta() {
    return {
        "Torta",       "Dessert",
        "Farina",      "4",
        "Casa",        {"200 g ==== Farina", "1 Cucchiaio ==== Olio", " ==== Sale", "3 ==== Uova"},
        {"Impastare."}};
}

RecipeData Pizza() {
    return {"Pizza",      "Piatto unico",
            "Farina",     "2",
            "Napoli",     {"1 kg ==== Farina", "q.b. ==== Sale", "2 Cucchiai ==== Olio"},
            {"Stendere."}};
}

std::string Table() {
    return CrLf({"Farina_ING == 200 g === 700", "Uova_ING == 3 === 240"});
}

// Settings and the user's data in folders of the test's own.
class DoseTest : public ScenarioTest {
protected:
    DoseTest() : m_printer(std::make_unique<TMemoryPrinter>(LetterAt(300))) {
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_xdg.filePath(u"data"_s)));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           m_xdg.filePath(u"config"_s));
    }
    QAction *Action(const char *name) { return Find<QAction>(name); }
    QString Stampa() { return Find<QTextEdit>("Stampa")->toPlainText(); }
    // The composed text and what the page printer sent to the printer.
    std::pair<QString, QStringList> Outputs() {
        Action("Copia1")->trigger();
        Find<QAbstractButton>("StampaLaRicetta")->click();
        QStringList printed;
        for (const DrawCall &call : m_printer->Jobs().back().pages.front())
            if (call.kind == DrawCall::Text) printed << call.text;
        return {Stampa(), printed};
    }
    QDialog *ListWindow() { return m_form->findChild<QDialog *>(u"ListaSpesa"_s); }

    QTemporaryDir m_xdg;
    ScopedPrinter m_printer;
};

TEST_F(DoseTest, OptionOffLeavesEveryOutputOfEverySampleRecipeAsItWas) {
    m_form = std::make_unique<TForm1>(QString::fromUtf8(SAPIDORO_SAMPLE_DATA), nullptr);
    ASSERT_FALSE(Action("AdattaDosi1")->isChecked()) << "off on first start";
    auto *persons = Find<Spinner>("Persone");
    int scaledRecipes = 0;
    for (const RecipeRecord &record : SampleRecords()) {
        SCOPED_TRACE(record.name);
        Pick(QString::fromLatin1(record.name.c_str()));
        persons->setValue(persons->value() + 2);
        const auto off = Outputs();
        // Today's text: the record's own ingredient lines and the plain persons line.
        RecipeTextFields fields{record.name,
                                record.dish,
                                record.mainIngredient,
                                persons->value(),
                                ToCp1252(Text("Calorie")),
                                record.notes,
                                record.ingredients,
                                record.preparation};
        EXPECT_EQ(off.first, RecipeBufferText(ComposeRecipeText(fields)));

        Action("AdattaDosi1")->setChecked(true);
        const auto on = Outputs();
        EXPECT_TRUE(on.first.contains(
            u"PERSONE: %1 (ricetta per %2)"_s.arg(persons->value()).arg(m_form->recordPersons())));
        if (on.second.mid(6) != off.second.mid(6)) ++scaledRecipes;
        Action("AdattaDosi1")->setChecked(false);
        EXPECT_EQ(Outputs(), off);
    }
    EXPECT_GT(scaledRecipes, int(SampleRecords().size()) / 2);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
}

TEST_F(DoseTest, ScaledLinesFollowTheSpinnerAndTheCaloriesKeepTheStoredQuantities) {
    Open({Torta(), Pizza()}, Table());
    ShowActive();
    const auto *menu = Find<QMenu>("PopupMenu1");
    for (const auto &[name, caption, keys] :
         {std::tuple{"AdattaDosi1", u"Adatta le dosi alle persone"_s, u"Ctrl+D"_s},
          std::tuple{"AggiungiSpesa1", u"Aggiungi alla lista della spesa"_s, u"Ctrl+L"_s},
          std::tuple{"ListaSpesa1", u"Lista della spesa\u2026"_s, u"Ctrl+Shift+L"_s}}) {
        EXPECT_TRUE(menu->actions().contains(Action(name))) << name;
        EXPECT_EQ(Action(name)->text(), caption);
        EXPECT_EQ(Action(name)->shortcut(), QKeySequence(keys));
    }
    EXPECT_TRUE(Action("AdattaDosi1")->isCheckable());
    Pick(u"Torta"_s);
    EXPECT_EQ(Text("Calorie"), u"235"_s);
    QTest::keyClick(m_form.get(), Qt::Key_D, Qt::ControlModifier);
    ASSERT_TRUE(Action("AdattaDosi1")->isChecked());
    SetPersons(6);
    const QString scaled =
        u"300 g ==== Farina\n1 e 1/2 Cucchiai ==== Olio\n ==== Sale\n"
        u"4 e 1/2 ==== Uova"_s;
    EXPECT_EQ(BoxText("Ingredienti"), scaled);
    EXPECT_TRUE(BoxText("RicettaCompleta").contains(scaled));
    // The scaled recipe's calories for its 6 persons: per person as in the recipe for 4.
    EXPECT_EQ(Text("Calorie"), u"235"_s);
    SetPersons(2);
    EXPECT_EQ(Text("Calorie"), u"235"_s);
    EXPECT_TRUE(BoxText("RicettaCompleta").contains(u"CALORIE PER PERSONA: 235"_s));
    // Without the option the quantities stay those for 4, shared by the persons chosen.
    Action("AdattaDosi1")->setChecked(false);
    EXPECT_EQ(Text("Calorie"), u"470"_s);
    EXPECT_TRUE(BoxText("RicettaCompleta").contains(u"CALORIE PER PERSONA: 470"_s));
    Action("AdattaDosi1")->setChecked(true);
    SetPersons(6);
    EXPECT_EQ(Text("Calorie"), u"235"_s);
    Action("Copia1")->trigger();
    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(copied.contains(u"\r\nPERSONE: 6 (ricetta per 4)\r\n"_s)) << copied.toStdString();
    EXPECT_TRUE(copied.contains(u"\r\n1 e 1/2 Cucchiai ==== Olio\r\n"_s));

    // A record without a usable persons value has nothing to scale by.
    m_form.reset();
    RecipeData nobody = Torta();
    nobody.name = "Senza persone";
    nobody.persons = "0";
    Open({nobody}, Table());
    Pick(u"Senza persone"_s);
    SetPersons(5);
    EXPECT_TRUE(BoxText("Ingredienti").startsWith(u"200 g ==== Farina\n"_s));
    Action("Copia1")->trigger();
    EXPECT_TRUE(QGuiApplication::clipboard()->text().contains(u"\r\nPERSONE: 5\r\n"_s));

    // Remembered for the next start.
    m_form.reset();
    CreateForm();
    EXPECT_TRUE(Action("AdattaDosi1")->isChecked());
    Action("AdattaDosi1")->setChecked(false);
}

TEST_F(DoseTest, ShoppingListMergesAndSurvivesARestart) {
    Open({Torta(), Pizza()}, Table());
    const QStringList collectionFiles = QDir(m_dir.qpath()).entryList(QDir::AllEntries);
    Pick(u"Torta"_s);
    SetPersons(8);
    Action("AggiungiSpesa1")->trigger();
    Pick(u"Pizza"_s);
    Action("AggiungiSpesa1")->trigger();
    Action("ListaSpesa1")->trigger();
    ASSERT_NE(ListWindow(), nullptr);
    auto *ingredients = ListWindow()->findChild<QPlainTextEdit *>(u"IngredientiInLista"_s);
    EXPECT_EQ(ingredients->toPlainText(),
              u"Farina: 1,4 kg\nOlio: 4 Cucchiai\nSale (Torta)\nSale: q.b. (Pizza)\nUova: 6"_s);
    ListWindow()->findChild<QAbstractButton *>(u"CopiaLista"_s)->click();
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(
        u"LISTA DELLA SPESA\r\nRICETTE: \r\nTorta - PERSONE: 8\r\n"_s));

    // After a restart the list is there; a recipe gone from the collection shows as missing.
    m_form.reset();
    WriteCollection({Torta()}, Table());
    CreateForm();
    Action("ListaSpesa1")->trigger();
    auto *table = ListWindow()->findChild<QTableWidget *>(u"RicetteInLista"_s);
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(1, 0)->text(), u"Pizza (non presente nella raccolta)"_s);
    EXPECT_EQ(qobject_cast<QSpinBox *>(table->cellWidget(0, 1))->value(), 8);
    // The open window follows a reload of the collection.
    WriteCollection({Torta(), Pizza()}, Table());
    Action("Ricarica1")->trigger();
    EXPECT_EQ(table->item(1, 0)->text(), u"Pizza"_s);
    WriteCollection({Torta()}, Table());
    Action("Ricarica1")->trigger();
    ASSERT_EQ(table->item(1, 0)->text(), u"Pizza (non presente nella raccolta)"_s);
    qobject_cast<QSpinBox *>(table->cellWidget(0, 1))->setValue(4);
    ingredients = ListWindow()->findChild<QPlainTextEdit *>(u"IngredientiInLista"_s);
    EXPECT_TRUE(ingredients->toPlainText().startsWith(u"Farina: 200 g\n"_s));
    table->selectRow(1);
    ListWindow()->findChild<QAbstractButton *>(u"RimuoviRicetta"_s)->click();
    EXPECT_EQ(table->rowCount(), 1);
    EXPECT_EQ(LoadShoppingList(ShoppingListPath()).list.entries(),
              (std::vector<ShoppingEntry>{{"Torta", 4}}));
    EXPECT_TRUE(ShoppingListPath().startsWith(m_xdg.path()));
    // The list printed through the page printer, title first.
    ListWindow()->findChild<QAbstractButton *>(u"StampaLista"_s)->click();
    EXPECT_EQ(m_printer->Jobs().back().pages.front().front().text, u"LISTA DELLA SPESA"_s);
    // And exported to PDF through the same pages, named after the list.
    const QString pdf = m_xdg.filePath(u"lista.pdf"_s);
    QString proposed;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        proposed = dialog->selectedFiles().value(0);
        dialog->selectFile(pdf);
        static_cast<QDialog *>(dialog)->accept();
    });
    ListWindow()->findChild<QAbstractButton *>(u"EsportaPDFLista"_s)->click();
    EXPECT_TRUE(proposed.endsWith(u"/Lista della spesa.pdf"_s)) << proposed.toStdString();
    QFile exported(pdf);
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    EXPECT_TRUE(exported.read(5).startsWith("%PDF-"));
    // The list's window tells where, without a box to answer.
    const auto *note = PassingMessage::Of(ListWindow());
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(note->fullText(), u"PDF salvato in "_s + QDir::toNativeSeparators(pdf));
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
    // Nothing of the list went into the collection's folder.
    EXPECT_EQ(QDir(m_dir.qpath()).entryList(QDir::AllEntries), collectionFiles);
}

TEST_F(DoseTest, DamagedListIsReportedOnceAndKeptBeside) {
    const QString path = ShoppingListPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    const std::string hostile = "Sapidoro lista della spesa 1\r\n4\tPasta\x01\r\n";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(hostile.data(), qint64(hostile.size()));
    file.close();
    Open({Torta()}, Table());
    Action("ListaSpesa1")->trigger();
    Action("ListaSpesa1")->trigger();
    ASSERT_EQ(Errors().size(), 1) << Errors().join(u'\n').toStdString();
    EXPECT_TRUE(Errors()[0].contains(u"lista della spesa"_s));
    QFile aside(path + u".danneggiata"_s);
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll().toStdString(), hostile);
    EXPECT_TRUE(LoadShoppingList(path).list.empty());
    EXPECT_TRUE(LoadShoppingList(path).damage.isEmpty());
}

// The list lives in `$XDG_DATA_HOME/Sapidoro` under any application name; a list of the releases
// whose folder carried the version moves there once, and never over a newer one.
TEST_F(DoseTest, TheListOfTheVersionedFolderMovesOnceIntoTheProgramsFolder) {
    const QString ownName = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(u"Sapidoro 1.3"_s);
    EXPECT_EQ(ShoppingListPath(), m_xdg.filePath(u"data/Sapidoro/lista-della-spesa.txt"_s));
    QCoreApplication::setApplicationName(ownName);
    const QString old = m_xdg.filePath(u"data/Sapidoro 1.3/lista-della-spesa.txt"_s);
    ShoppingList list;
    list.Add("Pizza", 3);
    SaveShoppingList(old, list);
    Open({Torta(), Pizza()}, Table());
    Action("ListaSpesa1")->trigger();
    auto *table = ListWindow()->findChild<QTableWidget *>(u"RicetteInLista"_s);
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, 0)->text(), u"Pizza"_s);
    EXPECT_FALSE(QFileInfo::exists(old));
    EXPECT_EQ(LoadShoppingList(ShoppingListPath()).list.entries(), list.entries());
    // An old list that turns up again stays where it is beside the one in use.
    SaveShoppingList(old, ShoppingList());
    EXPECT_FALSE(MoveOldShoppingList());
    EXPECT_TRUE(QFileInfo::exists(old));
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
}

}  // namespace
