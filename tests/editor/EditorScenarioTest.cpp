#include "ScenarioData.h"

#include "data/RecipeFile.h"
#include "menu/MenuStore.h"
#include "picture/JpgImg.h"
#include "shopping/ShoppingStore.h"
#include "widgets/PassingMessage.h"
#include "writer/AtomicSave.h"
#include "writer/CollectionWriter.h"
#include "writer/RecordCodec.h"
#include "writer/SaveSteps.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

using namespace sapidoro;
using namespace sapidoro::test;

namespace {

RecipeData Torta() {
    return {"Torta",
            "Dessert",
            "Farina",
            "4",
            "Bambini piccoli",
            {"200 ==== Farina", " ==== Sale"},
            {"Impastare.", "Cuocere."}};
}

// Runs `act` on the next window named `name` (any message box for "") once it is shown.
void OnModal(const QString &name, std::function<void(QWidget *)> act, int attempts = 3000) {
    for (QWidget *window : QApplication::topLevelWidgets()) {
        const bool wanted = name.isEmpty() ? qobject_cast<QMessageBox *>(window) != nullptr
                                           : window->objectName() == name;
        if (wanted && window->isVisible()) return act(window);
    }
    if (attempts > 0) QTimer::singleShot(10, [=] { OnModal(name, act, attempts - 1); });
}

template <class Control>
Control *In(QWidget *dialog, const char *name) {
    auto *control = dialog->findChild<Control *>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
}

void Save(QWidget *editor) {
    QTest::mouseClick(In<QDialogButtonBox>(editor, "Pulsanti")->buttons().constFirst(),
                      Qt::LeftButton);
}

class EditorScenarioTest : public ScenarioTest {
protected:
    void Trigger(const char *action) { Find<QAction>(action)->trigger(); }
    std::optional<RecipeFields> Record(const std::string &name) {
        const auto record = FindRecipe(m_dir.file("ricette.txt"), name);
        return record ? std::optional(FieldsOf(*record)) : std::nullopt;
    }
};

}  // namespace

// Every field of a recipe changed through the dialog, the picture chosen through the file
// dialog, then read back through the window as after a start-up; a refused character keeps
// the dialog open with the user's text.
TEST_F(EditorScenarioTest, EditsEveryFieldAndShowsTheSavedRecipe) {
    RecipeData crema = Torta();
    crema.name = "Crema";
    crema.dish = "Zuppe";
    Open({Torta(), crema}, CrLf({"Farina_ING == 100 === 350", "Uova_ING == 2 === 160"}));
    CopySamplePicture(m_dir, "noimage.jpg", "Torta.jpg");
    const QString chosen = QString::fromStdString(m_dir.file("scelta.jpg"));
    QFile::copy(QString::fromStdString(m_dir.file("immagini/noimage.jpg")), chosen);
    Pick("Torta");
    MessageBoxSeen refusal;
    bool checked = false;
    OnModal("EditorRicetta", [&](QWidget *editor) {
        EXPECT_EQ(In<QLineEdit>(editor, "CampoNome")->text(), "Torta");
        // The collection's dishes among those the search offers, sorted.
        EXPECT_EQ(Items(In<QComboBox>(editor, "CampoPiatto")),
                  (QStringList{"Antipasto", "Bevande", "Carne", "Contorno", "Dessert", "Pesce",
                               "Pollame", "Primo", "Salsa", "Zuppe"}));
        In<QLineEdit>(editor, "CampoNome")->setText("Torta di mele");
        In<QComboBox>(editor, "CampoPiatto")->setCurrentText("Merenda");
        In<QLineEdit>(editor, "CampoIngredientePrincipale")->setText("Mele");
        In<QSpinBox>(editor, "CampoPersone")->setValue(6);
        In<QLineEdit>(editor, "CampoNote")->setText("Autunno \xE2\x9C\x93");
        auto *table = In<QTableWidget>(editor, "TabellaIngredienti");
        table->item(0, 0)->setText("100");
        QTest::mouseClick(In<QPushButton>(editor, "AggiungiRiga"), Qt::LeftButton);
        table->item(2, 0)->setText("2");
        table->item(2, 1)->setText("Uova");
        In<QPlainTextEdit>(editor, "CampoPreparazione")
            ->setPlainText("Sbucciare.\nInfornare \xC3\xA8 servire.");
        OnModal("SceltaImmagine", [&](QWidget *picker) {
            // The whole path typed, as the dialog's folder view may still be loading.
            picker->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(chosen);
            static_cast<QDialog *>(picker)->accept();
        });
        QTest::mouseClick(In<QPushButton>(editor, "ScegliImmagine"), Qt::LeftButton);
        // The check mark has no Windows-1252 byte: refused, and the dialog stays open.
        AnswerNextMessageBox(refusal, BoxAnswer::OkButton);
        Save(editor);
        checked = editor->isVisible() && Record("Torta").has_value();
        In<QLineEdit>(editor, "CampoNote")->setText("Autunno");
        Save(editor);
    });
    QTest::keyClick(m_form.get(), Qt::Key_E, Qt::ControlModifier);
    EXPECT_TRUE(checked);
    EXPECT_EQ(refusal.text,
              "Il campo \"Note\" contiene il carattere \"\xE2\x9C\x93\" (U+2713), che la "
              "raccolta (Windows-1252) non può contenere.");
    const RecipeFields saved{"Torta di mele",
                             "Merenda",
                             "Mele",
                             6,
                             "Autunno",
                             {"100 ==== Farina", " ==== Sale", "2 ==== Uova"},
                             {"Sbucciare.", "Infornare \xE8 servire."}};
    EXPECT_EQ(Record("Torta di mele"), saved);
    EXPECT_FALSE(Record("Torta").has_value());
    EXPECT_EQ(Text("Nome"), "Torta di mele");
    EXPECT_EQ(Text("Piatto"), "Merenda");
    EXPECT_EQ(Text("Ingrediente_Principale"), "Mele");
    EXPECT_EQ(Persons(), 6);
    EXPECT_EQ(Text("Note"), "Autunno");
    EXPECT_EQ(BoxText("Ingredienti"), "100 ==== Farina\n ==== Sale\n2 ==== Uova");
    EXPECT_EQ(BoxText("Preparazione"), "Sbucciare.\nInfornare \xC3\xA8 servire.");
    EXPECT_EQ(Text("Calorie"), "85");  // (350 + 160) / 6
    EXPECT_EQ(ItemsOf("RicetteTrovate"), (QStringList{"Crema", "Torta di mele"}));
    EXPECT_EQ(PictureFile(), QString::fromStdString(m_dir.file("immagini/Torta di mele.jpg")));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(m_dir.file("immagini/Torta.jpg"))));
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join("|").toStdString();
}

// A new recipe, its deletion after a confirmation naming it, and the undo of the deletion.
TEST_F(EditorScenarioTest, NewDeleteAndUndo) {
    Open({Torta()}, CrLf({"Farina_ING == 100 === 350"}));
    const std::string before = m_dir.read("ricette.txt");
    OnModal("EditorRicetta", [&](QWidget *editor) {
        In<QLineEdit>(editor, "CampoNome")->setText("Pane");
        In<QPlainTextEdit>(editor, "CampoPreparazione")->setPlainText("Impastare.");
        Save(editor);
    });
    QTest::keyClick(m_form.get(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(ItemsOf("RicetteTrovate"), (QStringList{"Pane", "Torta"}));
    EXPECT_EQ(Text("Nome"), "Pane");
    EXPECT_EQ(m_dir.read("ricette.txt"),
              before + EncodeRecord({"Pane", "", "", 4, "", {}, {"Impastare."}}));

    Pick("Torta");
    MessageBoxSeen confirm;
    OnModal("ConfermaElimina", [&](QWidget *box) {
        confirm.text = static_cast<QMessageBox *>(box)->text();
        for (QAbstractButton *button : static_cast<QMessageBox *>(box)->buttons())
            if (button->text() == "Elimina") QTest::mouseClick(button, Qt::LeftButton);
    });
    Trigger("EliminaRicetta1");
    EXPECT_EQ(confirm.text, "Eliminare la ricetta \"Torta\" dalla raccolta?");
    EXPECT_EQ(ItemsOf("RicetteTrovate"), (QStringList{"Pane"}));
    EXPECT_EQ(Text("Nome"), "");
    EXPECT_FALSE(Record("Torta").has_value());

    Trigger("AnnullaModifica1");
    EXPECT_EQ(ItemsOf("RicetteTrovate"), (QStringList{"Pane", "Torta"}));
    EXPECT_EQ(Text("Nome"), "Torta");
    EXPECT_EQ(m_dir.read("ricette.txt"),
              before + EncodeRecord({"Pane", "", "", 4, "", {}, {"Impastare."}}));
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join("|").toStdString();
}

// A double click on a line of the not-found list adds its entry beside the ingredient's
// entries, and the calories on show count it.
TEST_F(EditorScenarioTest, CalorieEntryFromTheNotFoundList) {
    Open({Torta()}, CrLf({"Farina_ING == 100 === 350", "Farina_ING == 200 === 700",
                          "Sale_ING == 1 === 0", "Uova_ING == 2 === 160"}));
    Pick("Torta");
    EXPECT_EQ(BoxText("ListaIngredientiNonTrovati"), "0 ==== Sale");
    OnModal("NuovaVoceCalorie", [](QWidget *ask) {
        static_cast<QInputDialog *>(ask)->setIntValue(4);
        static_cast<QInputDialog *>(ask)->accept();
    });
    auto *list = Find<QPlainTextEdit>("ListaIngredientiNonTrovati");
    const QPoint line = list->cursorRect(QTextCursor(list->document())).center();
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, line);
    EXPECT_EQ(m_dir.read("ing.txt"),
              CrLf({"Farina_ING == 100 === 350", "Farina_ING == 200 === 700", "Sale_ING == 1 === 0",
                    "Sale_ING == 0 === 4", "Uova_ING == 2 === 160"}));
    EXPECT_EQ(Text("Nome"), "Torta");
    EXPECT_EQ(BoxText("ListaIngredientiNonTrovati"), "");
    EXPECT_EQ(Text("Calorie"), "176");  // (700 + 4) / 4
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join("|").toStdString();
}

// Another program changes the file while the editor is open: the save is refused with a
// message, the window shows that program's file, and a second "Salva" goes into it.
TEST_F(EditorScenarioTest, AnotherProgramsChangeWhileEditingIsKept) {
    Open({Torta()}, CrLf({"Farina_ING == 100 === 350"}));
    Pick("Torta");
    RecipeData pane = Torta();
    pane.name = "Pane";
    MessageBoxSeen refusal;
    QStringList listedMeanwhile;
    OnModal("EditorRicetta", [&](QWidget *editor) {
        m_dir.write("ricette.txt", RecipeFileOf({Torta(), pane}));
        In<QLineEdit>(editor, "CampoNote")->setText("Inverno");
        AnswerNextMessageBox(refusal, BoxAnswer::OkButton);
        Save(editor);
        listedMeanwhile = ItemsOf("RicetteTrovate");
        if (editor->isVisible()) Save(editor);
    });
    Trigger("ModificaRicetta1");
    EXPECT_NE(refusal.text.indexOf("cambiato da un altro programma"), -1)
        << refusal.text.toStdString();
    EXPECT_EQ(listedMeanwhile, (QStringList{"Pane", "Torta"}));
    EXPECT_EQ(Record("Torta")->notes, "Inverno");
    EXPECT_TRUE(Record("Pane").has_value());
}

// Leaving by Escape, "Annulla" or the close button asks "Salvare le modifiche?" only after a
// change, and each answer does what it says; "Salva" is refused as the save button would be.
TEST_F(EditorScenarioTest, LeavingWithChangesAsksWhetherToSave) {
    const struct {
        int how;  // 0: Escape, 1: "Annulla", 2: the window's close button
        QString notes, answer;
        bool closed;
        std::string saved;
    } cases[] = {{0, "Bambini piccoli", "", true, "Bambini piccoli"},
                 {1, "Bambini piccoli", "", true, "Bambini piccoli"},
                 {2, "Bambini piccoli", "", true, "Bambini piccoli"},
                 {0, "Roma", "Non salvare", true, "Bambini piccoli"},
                 {1, "Roma", "Annulla", false, "Bambini piccoli"},
                 {2, "Roma", "Salva", true, "Roma"},
                 {0, "Roma \xE2\x9C\x93", "Salva", false, "Bambini piccoli"}};
    for (const auto &c : cases) {
        SCOPED_TRACE((c.notes + " " + c.answer).toStdString());
        Open({Torta()}, CrLf({"Farina_ING == 100 === 350"}));
        Pick("Torta");
        const bool refused = c.notes.contains(u'\u2713');
        QString asked;
        MessageBoxSeen refusal;
        bool closed = false;
        OnModal("EditorRicetta", [&](QWidget *editor) {
            In<QLineEdit>(editor, "CampoNote")->setText(c.notes);
            OnModal("SalvareModifiche", [&](QWidget *box) {
                asked = static_cast<QMessageBox *>(box)->text();
                for (QAbstractButton *button : static_cast<QMessageBox *>(box)->buttons())
                    if (button->text() == c.answer) QTest::mouseClick(button, Qt::LeftButton);
                if (refused) AnswerNextMessageBox(refusal, BoxAnswer::OkButton);
            });
            if (c.how == 0) QTest::keyClick(editor, Qt::Key_Escape);
            if (c.how == 1)
                In<QDialogButtonBox>(editor, "Pulsanti")->buttons().constLast()->click();
            if (c.how == 2) editor->close();
            closed = !editor->isVisible();
            if (!closed) static_cast<QDialog *>(editor)->done(QDialog::Rejected);
        });
        Trigger("ModificaRicetta1");
        EXPECT_EQ(asked, c.answer.isEmpty() ? "" : "Salvare le modifiche?");
        EXPECT_EQ(closed, c.closed);
        EXPECT_EQ(Record("Torta")->notes, c.saved);
        EXPECT_EQ(refusal.shown, refused);
        m_form.reset();
    }
}

// A new row is edited from its quantity; Tab goes on into a new row, or out of the table from
// an empty last row, and Shift+Tab out of the first cell, never wrapping round.
TEST_F(EditorScenarioTest, IngredientTableKeyboardFlow) {
    Open({Torta()}, CrLf({"Farina_ING == 100 === 350"}));
    Pick("Torta");
    const struct {
        QString typed;
        Qt::Key key;
        QString then;  // the cell being edited and the rows, or the control with the focus
    } steps[] = {{"2", Qt::Key_Tab, "2,1 of 3"}, {"Uova", Qt::Key_Tab, "3,0 of 4"},
                 {"", Qt::Key_Tab, "3,1 of 4"},  {"", Qt::Key_Backtab, "3,0 of 4"},
                 {"", Qt::Key_Tab, "3,1 of 4"},  {"", Qt::Key_Tab, "AggiungiRiga"}};
    QStringList seen, expected{"2,0 of 3"};
    OnModal("EditorRicetta", [&](QWidget *editor) {
        QApplication::setActiveWindow(editor);
        ASSERT_TRUE(QTest::qWaitForWindowActive(editor));
        auto *table = In<QTableWidget>(editor, "TabellaIngredienti");
        const auto where = [editor, table, cell = QString("%1,%2 of %3")] {
            QWidget *focus = editor->focusWidget();
            return focus->parentWidget() != table->viewport() ? focus->objectName()
                                                              : cell.arg(table->currentRow())
                                                                    .arg(table->currentColumn())
                                                                    .arg(table->rowCount());
        };
        QTest::mouseClick(In<QPushButton>(editor, "AggiungiRiga"), Qt::LeftButton);
        seen << where();
        for (const auto &step : steps) {
            QTest::keyClicks(editor->focusWidget(), step.typed);
            QTest::keyClick(editor->focusWidget(), step.key);
            seen << where();
            expected << step.then;
        }
        table->setFocus();
        table->setCurrentCell(0, 0);
        table->editItem(table->item(0, 0));
        QTest::keyClick(editor->focusWidget(), Qt::Key_Backtab);
        seen << where() << table->item(2, 0)->text() + table->item(2, 1)->text();
        expected << "CampoNote"
                 << "2Uova";
        static_cast<QDialog *>(editor)->done(QDialog::Rejected);
    });
    Trigger("ModificaRicetta1");
    EXPECT_EQ(seen, expected);
}

// A save that leaves the recipe's bytes as they are neither replaces the file nor its "~"
// copy, and says so; the change before it can still be undone, until another collection opens.
TEST_F(EditorScenarioTest, ASaveThatChangesNothingWritesNothing) {
    Open({Torta()}, CrLf({"Farina_ING == 100 === 350"}));
    auto *undo = Find<QAction>("AnnullaModifica1");
    EXPECT_FALSE(undo->isEnabled());
    const auto save = [&](const QString &notes) {
        Pick("Torta");
        OnModal("EditorRicetta", [&](QWidget *editor) {
            In<QLineEdit>(editor, "CampoNote")->setText(notes);
            Save(editor);
        });
        Trigger("ModificaRicetta1");
    };
    const std::string original = m_dir.read("ricette.txt");
    save("Inverno");
    const std::string saved = m_dir.read("ricette.txt");
    save("Inverno");
    // Any save would have made the version before it the "~" copy.
    EXPECT_EQ(m_dir.read("ricette.txt~"), original);
    EXPECT_EQ(m_dir.read("ricette.txt"), saved);
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(PassingMessage::Of(m_form.get())->fullText(),
              "Nessuna modifica da salvare: la ricetta \"Torta\" è già così nella raccolta.");
    TempDir other;
    other.write("ricette.txt", RecipeFileOf({Torta()}));
    other.write("ing.txt", CrLf({"Farina_ING == 100 === 350"}));
    ASSERT_TRUE(m_form->OpenCollection(other.qpath()));
    EXPECT_FALSE(undo->isEnabled());
}

// A save keeps the narrowed result list: the saved recipe in its old name's place, or added
// when the search on show finds it; its undo, offered once, brings the list back.
TEST_F(EditorScenarioTest, SavesKeepTheNarrowedResultList) {
    const struct {
        const char *action;
        QString name;
        QStringList listed;
        QString shown;
    } cases[] = {
        {"ModificaRicetta1", "Torta", {"Torta", "Torta salata"}, "Torta"},
        {"ModificaRicetta1", "Crostata", {"Crostata", "Torta salata"}, "Crostata"},
        {"NuovaRicetta1",
         "Torta al limone",
         {"Torta", "Torta al limone", "Torta salata"},
         "Torta al limone"},
        {"NuovaRicetta1", "Biscotti", {"Torta", "Torta salata"}, ""},
    };
    for (const auto &c : cases) {
        std::vector<RecipeData> recipes(4, Torta());
        recipes[0].name = "Crema", recipes[1].name = "Pane", recipes[3].name = "Torta salata";
        Open(recipes, CrLf({"Farina_ING == 100 === 350"}));
        Search("Nome", "torta");
        CloseResultList();
        Pick("Torta");
        OnModal("EditorRicetta", [&](QWidget *editor) {
            In<QLineEdit>(editor, "CampoNome")->setText(c.name);
            In<QLineEdit>(editor, "CampoNote")->setText("Inverno");
            Save(editor);
        });
        Trigger(c.action);
        EXPECT_EQ(ItemsOf("RicetteTrovate"), c.listed) << c.name.toStdString();
        EXPECT_EQ(Text("Nome"), c.shown);
        EXPECT_EQ(Text("Ricerche"), QString("CERCA SU %1 RICETTE").arg(c.listed.size()));
        Trigger("AnnullaModifica1");
        EXPECT_EQ(ItemsOf("RicetteTrovate"), (QStringList{"Torta", "Torta salata"}));
        EXPECT_FALSE(Find<QAction>("AnnullaModifica1")->isEnabled());
        CloseResultList();
        m_form.reset();
    }
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join("|").toStdString();
}

// A rename through the editor takes the shopping list's entry and the menu's entries along,
// saved, and the undo takes them back; a picture that is no JPEG is refused naming the file; an
// undo that another program's change refuses says just that.
TEST_F(EditorScenarioTest, RenameCarriesTheShoppingListAndMenuAndUndoBringsThemBack) {
    QTemporaryDir data;
    const QByteArray ownData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    Open({Torta()}, CrLf({"Farina_ING == 100 === 350"}));
    Pick("Torta");
    Trigger("AggiungiSpesa1");
    const auto listed = [] {
        std::vector<std::string> names;
        const LoadedShoppingList loaded = LoadShoppingList(ShoppingListPath());
        for (const ShoppingEntry &entry : loaded.list.entries()) names.push_back(entry.name);
        return names;
    };
    ASSERT_EQ(listed(), std::vector<std::string>{"Torta"});
    // The week's menu has the recipe twice, beside another that stays as it is.
    const QString menuPath = MenuPlanPath(m_form->dataFolder());
    MenuPlan menu;
    menu.Add({QDate(2026, 3, 2), Meal::Cena}, "Torta", 2);
    menu.Add({QDate(2026, 3, 2), Meal::Cena}, "Pizza", 2);
    menu.Add({QDate(2026, 3, 9), Meal::Pranzo}, "Torta", 3);
    SaveMenuPlan(menuPath, menu, m_form->dataFolder());
    const auto planned = [&] {
        std::vector<std::string> names;
        for (const MenuEntry &entry : LoadMenuPlan(menuPath).plan.AllEntries())
            names.push_back(entry.item.recipe);
        return names;
    };
    const QString quack = QString::fromStdString(m_dir.file("anatra.jpg"));
    m_dir.write("anatra.jpg", "quack, not a picture");
    MessageBoxSeen refusal;
    OnModal("EditorRicetta", [&](QWidget *editor) {
        OnModal("SceltaImmagine", [&](QWidget *picker) {
            picker->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(quack);
            AnswerNextMessageBox(refusal, BoxAnswer::OkButton);
            static_cast<QDialog *>(picker)->accept();
        });
        QTest::mouseClick(In<QPushButton>(editor, "ScegliImmagine"), Qt::LeftButton);
        In<QLineEdit>(editor, "CampoNome")->setText("Torta di mele");
        Save(editor);
    });
    Trigger("ModificaRicetta1");
    EXPECT_EQ(refusal.text, "Il file \"" + quack + "\" non è un'immagine JPEG.");
    EXPECT_EQ(listed(), std::vector<std::string>{"Torta di mele"});
    EXPECT_EQ(planned(), (std::vector<std::string>{"Torta di mele", "Pizza", "Torta di mele"}));
    Trigger("AnnullaModifica1");
    EXPECT_EQ(Text("Nome"), "Torta");
    EXPECT_EQ(listed(), std::vector<std::string>{"Torta"});
    EXPECT_EQ(planned(), (std::vector<std::string>{"Torta", "Pizza", "Torta"}));

    // Renamed again, then the undo refused once another program has written the file.
    OnModal("EditorRicetta", [&](QWidget *editor) {
        In<QLineEdit>(editor, "CampoNome")->setText("Torta di pere");
        Save(editor);
    });
    Trigger("ModificaRicetta1");
    m_dir.write("ricette.txt", RecipeFileOf({Torta()}) + "\r\n");
    Trigger("AnnullaModifica1");
    ASSERT_EQ(Errors().size(), 1);
    EXPECT_TRUE(
        Errors()[0].startsWith("Il file ricette.txt è stato cambiato da un altro "
                               "programma dopo l'ultima modifica: l'annullamento non"))
        << Errors()[0].toStdString();
    EXPECT_EQ(listed(), std::vector<std::string>{"Torta di pere"});
    qputenv("XDG_DATA_HOME", ownData);
}

// Another Sapidoro is killed between keeping the old version under a second name and putting
// its new file in place, which leaves the file with two links. The reload that follows cleans
// up as a new start does, and the window's next save goes in.
TEST_F(EditorScenarioTest, ASaveKilledElsewhereDoesNotBlockTheNextOne) {
    Open({Torta()}, CrLf({"Farina_ING == 100 === 350"}));
    Pick("Torta");
    const std::string path = m_dir.file("ricette.txt");
    const pid_t saver = ::fork();
    if (saver == 0) {
        SetFaultInjector([](SaveStep step, int) {
            if (step == SaveStep::Rename) ::raise(SIGKILL);
            return 0;
        });
        RecipeFields changed = *Record("Torta");
        changed.notes = "Altrove";
        ReplaceRecipe(m_dir.path(), CurrentIdentity(path), "Torta", changed);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(saver, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    ASSERT_EQ(info.st_nlink, 2u);
    Trigger("Ricarica1");
    Pick("Torta");
    OnModal("EditorRicetta", [&](QWidget *editor) {
        In<QLineEdit>(editor, "CampoNote")->setText("Inverno");
        Save(editor);
    });
    Trigger("ModificaRicetta1");
    EXPECT_EQ(Record("Torta")->notes, "Inverno");
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_nlink, 1u);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join("|").toStdString();
}
