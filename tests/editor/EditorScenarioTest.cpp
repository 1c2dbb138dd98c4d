#include "ScenarioData.h"

#include "data/RecipeFile.h"
#include "picture/JpgImg.h"
#include "writer/RecordCodec.h"

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
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <functional>

#include <sys/stat.h>

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

namespace {

enum class Leave { EscapeKey, AnnullaButton, CloseButton };

void LeaveEditor(QWidget *editor, Leave how) {
    QWidget *focus = QApplication::focusWidget();
    switch (how) {
        case Leave::EscapeKey:
            QTest::keyClick(focus != nullptr && editor->isAncestorOf(focus) ? focus : editor,
                            Qt::Key_Escape);
            break;
        case Leave::AnnullaButton:
            QTest::mouseClick(In<QDialogButtonBox>(editor, "Pulsanti")->buttons().constLast(),
                              Qt::LeftButton);
            break;
        case Leave::CloseButton:
            editor->close();  // as the window frame's close button asks
            break;
    }
}

}  // namespace

// Leaving the editor by Escape, "Annulla" or its close button asks "Salvare le modifiche?"
// only when a field was changed, and each answer does what it says.
TEST_F(EditorScenarioTest, LeavingWithChangesAsksWhetherToSave) {
    struct Case {
        Leave how;
        QString notes;   // typed into "Note" before leaving
        QString answer;  // the button clicked in the question, if one is asked
        bool asked;
        bool closed;
        std::string savedNotes;
    };
    const Case cases[] = {
        {Leave::EscapeKey, "Roma", "", false, true, "Roma"},
        {Leave::AnnullaButton, "Roma", "", false, true, "Roma"},
        {Leave::CloseButton, "Roma", "", false, true, "Roma"},
        {Leave::EscapeKey, "Milano", "Non salvare", true, true, "Roma"},
        {Leave::AnnullaButton, "Milano", "Annulla", true, false, "Roma"},
        {Leave::CloseButton, "Milano", "Salva", true, true, "Milano"},
        // Saving as "Salva" does: a refusal keeps the form open.
        {Leave::EscapeKey, "Milano \xE2\x9C\x93", "Salva", true, false, "Roma"},
    };
    for (const Case &c : cases) {
        RecipeData torta = Torta();
        torta.notes = "Roma";
        Open({torta}, CrLf({"Farina_ING == 100 === 350"}));
        Pick("Torta");
        const std::string where = c.notes.toStdString() + " " + c.answer.toStdString();
        const bool refused = c.notes.contains(u'\u2713');
        MessageBoxSeen question, refusal;
        bool closed = false;
        OnModal("EditorRicetta", [&](QWidget *editor) {
            In<QLineEdit>(editor, "CampoNote")->setText(c.notes);
            OnModal("SalvareModifiche", [&](QWidget *box) {
                auto *ask = static_cast<QMessageBox *>(box);
                question = {true, ask->icon(), ask->windowTitle(), ask->text(), {}};
                for (QAbstractButton *button : ask->buttons()) question.buttons << button->text();
                for (QAbstractButton *button : ask->buttons())
                    if (button->text() == c.answer) QTest::mouseClick(button, Qt::LeftButton);
                // The refusal of the save comes once the question is gone.
                if (refused) AnswerNextMessageBox(refusal, BoxAnswer::OkButton);
            });
            LeaveEditor(editor, c.how);
            closed = !editor->isVisible();
            if (!closed) static_cast<QDialog *>(editor)->done(QDialog::Rejected);
        });
        Trigger("ModificaRicetta1");
        EXPECT_EQ(question.shown, c.asked) << where;
        if (c.asked) {
            EXPECT_EQ(question.text, "Salvare le modifiche?");
            question.buttons.sort();  // laid out in the platform's order
            EXPECT_EQ(question.buttons, (QStringList{"Annulla", "Non salvare", "Salva"}));
        }
        EXPECT_EQ(closed, c.closed) << where;
        EXPECT_EQ(Record("Torta")->notes, c.savedNotes) << where;
        EXPECT_EQ(refusal.shown, refused) << where;
        m_form.reset();
    }
}

// The ingredient table's keyboard flow: a new row is edited from its quantity, Tab runs on
// into a new row, or out of the table from an empty last row, and never wraps to the top.
TEST_F(EditorScenarioTest, IngredientTableKeyboardFlow) {
    Open({Torta()}, CrLf({"Farina_ING == 100 === 350"}));
    Pick("Torta");
    struct Step {
        Qt::Key key;  // pressed after typing `text` into the cell being edited
        QString text;
        int row;  // where editing goes on, or -1 when the focus left the table
        int column;
        const char *focus;  // the control with the focus then
        int rows;
    };
    const Step steps[] = {
        {Qt::Key_Tab, "2", 2, 1, "TabellaIngredienti", 3},
        {Qt::Key_Tab, "Uova", 3, 0, "TabellaIngredienti", 4},
        {Qt::Key_Tab, "", 3, 1, "TabellaIngredienti", 4},
        {Qt::Key_Backtab, "", 3, 0, "TabellaIngredienti", 4},
        {Qt::Key_Tab, "", 3, 1, "TabellaIngredienti", 4},
        {Qt::Key_Tab, "", -1, 0, "AggiungiRiga", 4},
    };
    std::vector<std::string> seen;
    QStringList lines;
    OnModal("EditorRicetta", [&](QWidget *editor) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(editor));
        auto *table = In<QTableWidget>(editor, "TabellaIngredienti");
        const auto where = [&] {
            QWidget *focus = QApplication::focusWidget();
            // A cell being edited: its editor, on the table's viewport, has the focus.
            const bool editing = qobject_cast<QLineEdit *>(focus) != nullptr &&
                                 focus->parentWidget() == table->viewport();
            return std::to_string(editing ? table->currentRow() : -1) + "," +
                   std::to_string(editing ? table->currentColumn() : 0) + " " +
                   (editing ? std::string("TabellaIngredienti")
                            : focus->objectName().toStdString()) +
                   " rows " + std::to_string(table->rowCount());
        };
        QTest::mouseClick(In<QPushButton>(editor, "AggiungiRiga"), Qt::LeftButton);
        seen.push_back(where());
        for (const Step &step : steps) {
            QTest::keyClicks(QApplication::focusWidget(), step.text);
            QTest::keyClick(QApplication::focusWidget(), step.key);
            seen.push_back(where());
        }
        // Shift+Tab from the first cell leaves for the control before the table.
        table->setFocus();
        table->setCurrentCell(0, 0);
        table->editItem(table->item(0, 0));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        seen.push_back(where());
        for (int row = 0; row < table->rowCount(); ++row)
            lines << table->item(row, 0)->text() + "|" + table->item(row, 1)->text();
        static_cast<QDialog *>(editor)->done(QDialog::Rejected);
    });
    Trigger("ModificaRicetta1");
    std::vector<std::string> expected{"2,0 TabellaIngredienti rows 3"};
    for (const Step &step : steps)
        expected.push_back(std::to_string(step.row) + "," + std::to_string(step.column) + " " +
                           step.focus + " rows " + std::to_string(step.rows));
    expected.push_back("-1,0 CampoNote rows 4");
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(lines, (QStringList{"200|Farina", "|Sale", "2|Uova", "|"}));
}

namespace {

ino_t Inode(const std::string &path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

}  // namespace

// "Annulla ultima modifica" is offered only while there is a save to undo; a save that would
// give the recipe its own bytes again writes nothing, keeps the "~" copy and says so.
TEST_F(EditorScenarioTest, UndoItemFollowsWhatCanBeUndoneAndSameBytesAreNotSaved) {
    Open({Torta()}, CrLf({"Farina_ING == 100 === 350"}));
    auto *undo = Find<QAction>("AnnullaModifica1");
    const std::string path = m_dir.file("ricette.txt");
    const std::string original = m_dir.read("ricette.txt");
    const auto edit = [&](const QString &notes) {
        Pick("Torta");
        OnModal("EditorRicetta", [&](QWidget *editor) {
            In<QLineEdit>(editor, "CampoNote")->setText(notes);
            Save(editor);
        });
        Trigger("ModificaRicetta1");
    };
    EXPECT_FALSE(undo->isEnabled());
    const ino_t inode = Inode(path);
    edit("Bambini piccoli");
    EXPECT_EQ(Inode(path), inode);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(path + "~")));
    EXPECT_FALSE(undo->isEnabled());
    auto *message = Find<QLabel>("MessaggioBreve");
    ASSERT_NE(message, nullptr);
    EXPECT_TRUE(message->isVisible());
    EXPECT_EQ(message->text(),
              "Nessuna modifica da salvare: la ricetta \"Torta\" è già così nella raccolta.");

    edit("Inverno");
    EXPECT_TRUE(undo->isEnabled());
    const std::string changed = m_dir.read("ricette.txt");
    edit("Inverno");
    EXPECT_EQ(m_dir.read("ricette.txt~"), original);
    EXPECT_TRUE(undo->isEnabled());
    undo->trigger();
    EXPECT_EQ(m_dir.read("ricette.txt"), original);
    EXPECT_FALSE(undo->isEnabled());

    edit("Estate");
    EXPECT_TRUE(undo->isEnabled());
    TempDir other;
    other.write("ricette.txt", RecipeFileOf({Torta()}));
    other.write("ing.txt", CrLf({"Farina_ING == 100 === 350"}));
    ASSERT_TRUE(m_form->OpenCollection(other.qpath()));
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_NE(changed, original);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join("|").toStdString();
}

// A save keeps the narrowed result list: the saved recipe in its old name's place, or added
// when the search on show finds it; its undo brings the list back as it was.
TEST_F(EditorScenarioTest, SavesKeepTheNarrowedResultList) {
    struct Case {
        const char *action;
        std::string name;  // typed into the editor's name field
        QStringList listed;
        QString shown;
    };
    const Case cases[] = {
        {"ModificaRicetta1", "Torta", {"Torta", "Torta salata"}, "Torta"},
        {"ModificaRicetta1", "Torta di mele", {"Torta di mele", "Torta salata"}, "Torta di mele"},
        {"ModificaRicetta1", "Crostata", {"Crostata", "Torta salata"}, "Crostata"},
        {"NuovaRicetta1",
         "Torta al limone",
         {"Torta", "Torta al limone", "Torta salata"},
         "Torta al limone"},
        {"NuovaRicetta1", "Biscotti", {"Torta", "Torta salata"}, ""},
    };
    for (const Case &c : cases) {
        std::vector<RecipeData> recipes;
        for (const char *name : {"Crema", "Pane", "Torta", "Torta salata"}) {
            recipes.push_back(Torta());
            recipes.back().name = name;
        }
        Open(recipes, CrLf({"Farina_ING == 100 === 350"}));
        Search("Nome", "torta");
        CloseResultList();
        Pick("Torta");
        OnModal("EditorRicetta", [&](QWidget *editor) {
            In<QLineEdit>(editor, "CampoNome")->setText(QString::fromStdString(c.name));
            In<QLineEdit>(editor, "CampoNote")->setText("Inverno");
            Save(editor);
        });
        Trigger(c.action);
        EXPECT_EQ(ItemsOf("RicetteTrovate"), c.listed) << c.name;
        EXPECT_EQ(Text("Nome"), c.shown) << c.name;
        EXPECT_EQ(Text("Ricerche"), QString("CERCA SU %1 RICETTE").arg(c.listed.size()));
        Trigger("AnnullaModifica1");
        EXPECT_EQ(ItemsOf("RicetteTrovate"), (QStringList{"Torta", "Torta salata"})) << c.name;
        EXPECT_TRUE(Errors().isEmpty()) << Errors().join("|").toStdString();
        CloseResultList();
        m_form.reset();
    }
}
