#include "app/ErrorReport.h"
#include "app/TextBoxLines.h"
#include "app/Unit1.h"
#include "app/WindowTexts.h"
#include "collection/FileErrors.h"
#include "common/Collation.h"
#include "common/Cp1252.h"
#include "common/QtText.h"
#include "data/CalorieTable.h"
#include "data/RecipeFile.h"
#include "editor/Dishes.h"
#include "editor/EditorRicetta.h"
#include "editor/LastSave.h"
#include "editor/PictureFiles.h"
#include "picture/JpgImg.h"
#include "search/NameCatalog.h"
#include "search/Scope.h"
#include "search/Search.h"
#include "widgets/ColourButton.h"
#include "widgets/ComboBox.h"
#include "widgets/PassingMessage.h"
#include "writer/CollectionWriter.h"
#include "writer/RecordCodec.h"
#include "writer/SaveError.h"

#include <QAction>
#include <QEvent>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>

#include <algorithm>

namespace sapidoro {

namespace {

QString Quoted(std::string_view cp1252) {
    return QLatin1Char('"') + FromCp1252(cp1252) + QLatin1Char('"');
}

// Hands a double click on a line of the not-found list to the window.
class LineDoubleClick : public QObject {
public:
    LineDoubleClick(QPlainTextEdit *box, std::function<void(const QString &)> handler)
        : QObject(box), m_box(box), m_handler(std::move(handler)) {
        box->viewport()->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() != QEvent::MouseButtonDblClick) return false;
        const QPoint at = static_cast<QMouseEvent *>(event)->position().toPoint();
        const QString line = m_box->cursorForPosition(at).block().text();
        EventGuard::Run([&] { m_handler(line); });
        return true;
    }

private:
    QPlainTextEdit *m_box;
    std::function<void(const QString &)> m_handler;
};

}  // namespace

void TForm1::buildRecipeMenu() {
    QMenu *menu = PopupMenu1->addMenu(QStringLiteral("Ricetta"));
    menu->setObjectName(QStringLiteral("Ricetta1"));
    const auto addItem = [this, menu](const char *name, const QString &caption,
                                      const QKeySequence &key, void (TForm1::*handler)()) {
        QAction *action = addMenuAction(menu, name, caption, key);
        ExceptionSafeConnect(action, &QAction::triggered, this,
                             [this, handler](bool) { (this->*handler)(); });
        return action;
    };
    NuovaRicetta1 = addItem("NuovaRicetta1", QStringLiteral("Nuova ricetta…"),
                            QKeySequence(Qt::CTRL | Qt::Key_N), &TForm1::NuovaRicetta1Click);
    ModificaRicetta1 = addItem("ModificaRicetta1", QStringLiteral("Modifica ricetta…"),
                               QKeySequence(Qt::CTRL | Qt::Key_E), &TForm1::ModificaRicetta1Click);
    EliminaRicetta1 = addItem("EliminaRicetta1", QStringLiteral("Elimina ricetta…"), {},
                              &TForm1::EliminaRicetta1Click);
    AnnullaModifica1 = addItem("AnnullaModifica1", QStringLiteral("Annulla ultima modifica"), {},
                               &TForm1::AnnullaModifica1Click);
    AnnullaModifica1->setEnabled(false);
    new LineDoubleClick(ListaIngredientiNonTrovati,
                        [this](const QString &line) { ListaIngredientiNonTrovatiDblClick(line); });
}

bool TForm1::RunEditor(
    const QString &title, const RecipeFields &recipe, FileIdentity opened,
    const std::function<SaveResult(const RecipeFields &, const FileIdentity &)> &save) {
    const std::string calorieFile = CalorieFilePath(DataFolder);
    const QStringList ingredients =
        ReadingFile(calorieFile, [&] { return FromCp1252List(ReadIngredientNames(calorieFile)); });
    // The dishes of the collection, and those the search offers.
    const std::string recipeFile = RecipeFilePath(DataFolder);
    std::vector<std::string> dishes =
        ReadingFile(recipeFile, [&] { return CollectionDishes(recipeFile); });
    for (const QString &dish : FixedScopeValues(SearchScope::Piatto).items)
        if (std::find(dishes.begin(), dishes.end(), ToCp1252(dish)) == dishes.end())
            dishes.push_back(ToCp1252(dish));
    SortNames(dishes);
    bool written = false;
    bool pictureStored = false;
    EditorRicetta editor(
        recipe, FromCp1252List(dishes), ingredients,
        [&](const RecipeFields &fields, const QString &picture) {
            SaveResult result;
            try {
                result = save(fields, opened);
            } catch (const EFileChanged &) {
                // The window shows the file as the other program left it; a second "Salva",
                // after the message, goes into that file.
                opened = CurrentIdentity(RecipeFilePath(DataFolder));
                ReloadCollection(CurrentRecipeName);
                throw;
            }
            written = result.written;
            if (written) keepSave(result, recipe.name, fields.name);
            if (written && !recipe.name.empty() && recipe.name != fields.name) {
                m_lastSave->pictureRenamed = RenamePicture(DataFolder, recipe.name, fields.name);
                // The recipe is saved; a shopping list that cannot follow is reported apart.
                try {
                    m_lastSave->shoppingEntryRenamed =
                        RenameInShoppingList(recipe.name, fields.name);
                } catch (const std::exception &error) {
                    QMessageBox::warning(this, title, QString::fromUtf8(error.what()));
                }
                try {
                    m_lastSave->menuEntriesRenamed = RenameInMenuPlan(recipe.name, fields.name);
                } catch (const std::exception &error) {
                    QMessageBox::warning(this, title, QString::fromUtf8(error.what()));
                }
            }
            // The recipe is saved; a picture that fails is reported apart.
            if (!picture.isEmpty()) {
                try {
                    StorePicture(DataFolder, fields.name, picture);
                    pictureStored = true;
                } catch (const std::exception &error) {
                    QMessageBox::warning(this, title, QString::fromUtf8(error.what()));
                }
            }
        },
        this);
    editor.setWindowTitle(title);
    if (editor.exec() != QDialog::Accepted) return false;
    if (written || pictureStored)
        ReloadKeepingResults(recipe.name, written ? m_lastSave->recipeAfter : recipe.name);
    else
        PassingMessage::Show(this, QStringLiteral("Nessuna modifica da salvare: la ricetta ") +
                                       Quoted(recipe.name) +
                                       QStringLiteral(" è già così nella raccolta."));
    return true;
}

void TForm1::keepSave(const SaveResult &result, const std::string &before,
                      const std::string &after) {
    m_lastSave = std::make_unique<LastSave>(LastSave{result, before, after, false});
    AnnullaModifica1->setEnabled(true);
}

void TForm1::ForgetLastSave() {
    m_lastSave.reset();
    AnnullaModifica1->setEnabled(false);
}

void TForm1::ReloadKeepingResults(const std::string &before, const std::string &after) {
    if (RicetteTrovate->itemCount() == Nome->itemCount()) return ReloadCollection(after);
    std::vector<std::string> listed = ListedNames();
    const bool wasListed = std::find(listed.begin(), listed.end(), before) != listed.end();
    ReloadCollection(std::string());
    // The names of the narrowed list still in the collection; the saved recipe takes its old
    // name's place, or joins when the search on show finds it.
    std::erase_if(listed, [&](const std::string &name) {
        return (name == before && before != after) || m_catalog->firstRecordOf(name) == SIZE_MAX;
    });
    const bool present = !after.empty() && m_catalog->firstRecordOf(after) != SIZE_MAX;
    const std::optional<SearchScope> scope = ParseScope(ToCp1252(SelezioneAmbitoRicerca->text()));
    if (present && std::find(listed.begin(), listed.end(), after) == listed.end() &&
        (wasListed || (scope && !SearchRecipes(DataFolder + "ricette.txt", *scope,
                                               StringaDaCercare->dataText(), {after}, false)
                                     .empty()))) {
        listed.push_back(after);
        SortNames(listed);
    }
    ShowResultNames(std::move(listed));
    RicetteTrovateScambio->setItemsInOrder(RicetteTrovate->items());
    Ricerche->setText(SearchButtonCaption(qsizetype{RicetteTrovate->itemCount()}));
    const auto row = std::find(m_resultNames.begin(), m_resultNames.end(), after);
    if (after.empty() || row == m_resultNames.end()) return;
    RicetteTrovate->setCurrentIndex(static_cast<int>(row - m_resultNames.begin()));
    RicetteTrovateChange();
}

void TForm1::NuovaRicetta1Click() {
    if (!EnsureWritableCollection()) return;
    const std::string recipeFile = RecipeFilePath(DataFolder);
    RunEditor(QStringLiteral("Nuova ricetta"), RecipeFields{},
              ReadingFile(recipeFile, [&] { return CurrentIdentity(recipeFile); }),
              [this](const RecipeFields &fields, const FileIdentity &opened) {
                  return AppendRecipes(DataFolder, {fields}, &opened);
              });
}

void TForm1::ModificaRicetta1Click() {
    if (CurrentRecipeName.empty())
        throw ENotice("Nessuna ricetta da modificare: sceglierne una dall'elenco.");
    if (!EnsureWritableCollection()) return;
    const std::string name = CurrentRecipeName;
    // The editor starts from the record as the file holds it now.
    const std::string path = RecipeFilePath(DataFolder);
    const FileIdentity opened = ReadingFile(path, [&] { return CurrentIdentity(path); });
    const std::optional<RecipeRecord> record =
        ReadingFile(path, [&] { return FindRecipe(path, name); });
    if (!record || !record->complete)
        throw ESaveRefused("La ricetta \"" + Cp1252ToUtf8(name) +
                           "\" non si trova intera nella raccolta.");
    RunEditor(QStringLiteral("Modifica ricetta"), FieldsOf(*record), opened,
              [&](const RecipeFields &fields, const FileIdentity &current) {
                  return ReplaceRecipe(DataFolder, current, name, fields);
              });
}

void TForm1::EliminaRicetta1Click() {
    if (CurrentRecipeName.empty())
        throw ENotice("Nessuna ricetta da eliminare: sceglierne una dall'elenco.");
    if (!EnsureWritableCollection()) return;
    const std::string name = CurrentRecipeName;
    const std::string path = RecipeFilePath(DataFolder);
    const FileIdentity opened = ReadingFile(path, [&] { return CurrentIdentity(path); });
    QMessageBox confirm(
        QMessageBox::Question, QStringLiteral("Elimina ricetta"),
        QStringLiteral("Eliminare la ricetta ") + Quoted(name) + QStringLiteral(" dalla raccolta?"),
        QMessageBox::NoButton, this);
    confirm.setObjectName(QStringLiteral("ConfermaElimina"));
    QPushButton *yes = confirm.addButton(QStringLiteral("Elimina"), QMessageBox::AcceptRole);
    confirm.setDefaultButton(confirm.addButton(QStringLiteral("Annulla"), QMessageBox::RejectRole));
    confirm.exec();
    if (confirm.clickedButton() != yes) return;
    keepSave(DeleteRecipe(DataFolder, opened, name), name, std::string());
    ReloadKeepingResults(name, std::string());
}

void TForm1::AnnullaModifica1Click() {
    if (!m_lastSave) throw Exception("Non c'è nessuna modifica da annullare.");
    LastSave undone;
    try {
        undone = UndoLastSave(DataFolder, *m_lastSave);
    } catch (const EFileChanged &) {
        ReloadCollection(CurrentRecipeName);
        throw ESaveRefused("Il file " + FileNameOf(m_lastSave->result.path) +
                           " è stato cambiato da un altro programma dopo l'ultima modifica: "
                           "l'annullamento non è stato fatto, per non cancellare le modifiche "
                           "dell'altro programma. La raccolta è stata ricaricata.");
    }
    // The shopping list's entry and the menu's entries go back to the name they followed.
    if (m_lastSave->shoppingEntryRenamed)
        RenameInShoppingList(m_lastSave->recipeAfter, m_lastSave->recipeBefore);
    if (m_lastSave->menuEntriesRenamed)
        RenameInMenuPlan(m_lastSave->recipeAfter, m_lastSave->recipeBefore);
    // One level of undo: once the last change is undone, nothing is left to undo.
    ForgetLastSave();
    ReloadKeepingResults(undone.recipeBefore, undone.recipeAfter);
}

void TForm1::ListaIngredientiNonTrovatiDblClick(const QString &line) {
    if (line.isEmpty() || !EnsureWritableCollection()) return;
    const std::string text = ToCp1252(line);
    const std::size_t at = text.find(kIngredientSeparator);
    const CalorieEntryFields shown{
        at == std::string::npos ? std::string() : text.substr(at + kIngredientSeparator.size()),
        text.substr(0, at), 0};
    const std::string calorieFile = CalorieFilePath(DataFolder);
    const FileIdentity opened =
        ReadingFile(calorieFile, [&] { return CurrentIdentity(calorieFile); });
    QInputDialog ask(this);
    ask.setObjectName(QStringLiteral("NuovaVoceCalorie"));
    ask.setWindowTitle(QStringLiteral("Aggiungi a ing.txt"));
    ask.setLabelText(QStringLiteral("Calorie di ") + Quoted(shown.quantity) +
                     QStringLiteral(" di ") + Quoted(shown.ingredient) +
                     QStringLiteral(", da aggiungere al file ing.txt:"));
    ask.setInputMode(QInputDialog::IntInput);
    ask.setIntRange(0, 1000000);
    if (ask.exec() != QDialog::Accepted) return;
    CalorieEntryFields entry = shown;
    entry.calories = ask.intValue();
    const std::string shownName = CurrentRecipeName;
    keepSave(AddCalorieEntry(DataFolder, opened, entry), shownName, shownName);
    ReloadKeepingResults(shownName, shownName);
}

}  // namespace sapidoro
