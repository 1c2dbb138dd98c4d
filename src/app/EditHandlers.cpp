#include "app/ErrorReport.h"
#include "app/TextBoxLines.h"
#include "app/Unit1.h"
#include "app/WindowTexts.h"
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
#include "search/Scope.h"
#include "widgets/ComboBox.h"
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
    new LineDoubleClick(ListaIngredientiNonTrovati,
                        [this](const QString &line) { ListaIngredientiNonTrovatiDblClick(line); });
}

bool TForm1::RunEditor(
    const QString &title, const RecipeFields &recipe, FileIdentity opened,
    const std::function<SaveResult(const RecipeFields &, const FileIdentity &)> &save) {
    const QStringList ingredients = FromCp1252List(ReadIngredientNames(DataFolder + "ing.txt"));
    // The dishes of the collection, and those the search offers.
    std::vector<std::string> dishes = CollectionDishes(RecipeFilePath(DataFolder));
    for (const QString &dish : FixedScopeValues(SearchScope::Piatto).items)
        if (std::find(dishes.begin(), dishes.end(), ToCp1252(dish)) == dishes.end())
            dishes.push_back(ToCp1252(dish));
    SortNames(dishes);
    EditorRicetta editor(
        recipe, FromCp1252List(dishes), ingredients,
        [&](const RecipeFields &fields, const QString &picture) {
            try {
                keepSave(save(fields, opened), recipe.name, fields.name);
            } catch (const EFileChanged &) {
                // The window shows the file as the other program left it; a second "Salva",
                // after the message, goes into that file.
                opened = CurrentIdentity(RecipeFilePath(DataFolder));
                ReloadCollection(CurrentRecipeName);
                throw;
            }
            if (!recipe.name.empty() && recipe.name != fields.name)
                m_lastSave->pictureRenamed = RenamePicture(DataFolder, recipe.name, fields.name);
            // The recipe is saved; a picture that fails is reported apart.
            if (!picture.isEmpty()) {
                try {
                    StorePicture(DataFolder, fields.name, picture);
                } catch (const std::exception &error) {
                    QMessageBox::warning(this, title, QString::fromUtf8(error.what()));
                }
            }
        },
        this);
    editor.setWindowTitle(title);
    if (editor.exec() != QDialog::Accepted) return false;
    ReloadCollection(m_lastSave->recipeAfter);
    return true;
}

void TForm1::keepSave(const SaveResult &result, const std::string &before,
                      const std::string &after) {
    m_lastSave = std::make_unique<LastSave>(LastSave{result, before, after, false});
}

void TForm1::NuovaRicetta1Click() {
    RunEditor(QStringLiteral("Nuova ricetta"), RecipeFields{},
              CurrentIdentity(RecipeFilePath(DataFolder)),
              [this](const RecipeFields &fields, const FileIdentity &opened) {
                  return AppendRecipes(DataFolder, {fields}, &opened);
              });
}

void TForm1::ModificaRicetta1Click() {
    const std::string name = CurrentRecipeName;
    if (name.empty()) throw ENotice("Nessuna ricetta da modificare: sceglierne una dall'elenco.");
    // The editor starts from the record as the file holds it now.
    const std::string path = RecipeFilePath(DataFolder);
    const FileIdentity opened = CurrentIdentity(path);
    const std::optional<RecipeRecord> record = FindRecipe(path, name);
    if (!record || !record->complete)
        throw ESaveRefused("La ricetta \"" + Cp1252ToUtf8(name) +
                           "\" non si trova intera nella raccolta.");
    RunEditor(QStringLiteral("Modifica ricetta"), FieldsOf(*record), opened,
              [&](const RecipeFields &fields, const FileIdentity &current) {
                  return ReplaceRecipe(DataFolder, current, name, fields);
              });
}

void TForm1::EliminaRicetta1Click() {
    const std::string name = CurrentRecipeName;
    if (name.empty()) throw ENotice("Nessuna ricetta da eliminare: sceglierne una dall'elenco.");
    const FileIdentity opened = CurrentIdentity(RecipeFilePath(DataFolder));
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
    ReloadCollection(std::string());
}

void TForm1::AnnullaModifica1Click() {
    if (!m_lastSave) throw Exception("Non c'è nessuna modifica da annullare.");
    LastSave undone = UndoLastSave(DataFolder, *m_lastSave);
    *m_lastSave = std::move(undone);
    ReloadCollection(m_lastSave->recipeAfter);
}

void TForm1::ListaIngredientiNonTrovatiDblClick(const QString &line) {
    if (line.isEmpty()) return;
    const std::string text = ToCp1252(line);
    const std::size_t at = text.find(kIngredientSeparator);
    const CalorieEntryFields shown{
        at == std::string::npos ? std::string() : text.substr(at + kIngredientSeparator.size()),
        text.substr(0, at), 0};
    const FileIdentity opened = CurrentIdentity(CalorieFilePath(DataFolder));
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
    keepSave(AddCalorieEntry(DataFolder, opened, entry), CurrentRecipeName, CurrentRecipeName);
    ReloadCollection(CurrentRecipeName);
}

}  // namespace sapidoro
