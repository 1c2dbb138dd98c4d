#include "app/ErrorReport.h"
#include "app/OutcomeTexts.h"
#include "app/ShoppingListWindow.h"
#include "app/TextBoxLines.h"
#include "app/Unit1.h"
#include "collection/FileErrors.h"
#include "common/QtText.h"
#include "data/IntConvert.h"
#include "data/RecipeFile.h"
#include "pageprinter/PagePrnt.h"
#include "quantity/Quantity.h"
#include "shopping/ShoppingList.h"
#include "shopping/ShoppingStore.h"
#include "widgets/ComboBox.h"
#include "widgets/PassingMessage.h"
#include "widgets/Spinner.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSettings>

using namespace sapidoro;

namespace {

const QString kAdaptSetting = QStringLiteral("AdattaDosi");
constexpr std::string_view kQuantitySeparator = " ==== ";

QSettings ProgramSettings() {
    return QSettings(QStringLiteral("Sapidoro"), QStringLiteral("Sapidoro"));
}

// The lines with the quantity before each separator scaled; the rest stays as it is.
std::vector<std::string> ScaledLines(const std::vector<std::string> &lines, Rational factor) {
    std::vector<std::string> scaled;
    scaled.reserve(lines.size());
    for (const std::string &line : lines) {
        const std::size_t at = line.find(kQuantitySeparator);
        if (at == std::string::npos) {
            scaled.push_back(line);
        } else {
            scaled.push_back(ScaleQuantityText(std::string_view(line).substr(0, at), factor) +
                             line.substr(at));
        }
    }
    return scaled;
}

// The record's persons as a whole number; nothing to scale by when it is not one above 0.
int RecipePersons(const std::string &persons) {
    try {
        return std::max(0, StrToInt(persons));
    } catch (const EConvertError &) {
        return 0;
    }
}

}  // namespace

void TForm1::buildDoseMenu() {
    const auto addItem = [this](const char *name, const QString &caption, QKeySequence key) {
        return addMenuAction(PopupMenu1, name, caption, key);
    };
    PopupMenu1->addSeparator();
    AdattaDosi1 = addItem("AdattaDosi1", QStringLiteral("Adatta le dosi alle persone"),
                          QKeySequence(Qt::CTRL | Qt::Key_D));
    AdattaDosi1->setCheckable(true);
    AdattaDosi1->setChecked(ProgramSettings().value(kAdaptSetting, false).toBool());
    AggiungiSpesa1 = addItem("AggiungiSpesa1", QStringLiteral("Aggiungi alla lista della spesa"),
                             QKeySequence(Qt::CTRL | Qt::Key_L));
    ListaSpesa1 = addItem("ListaSpesa1", QStringLiteral("Lista della spesa\u2026"),
                          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L));
    ExceptionSafeConnect(AdattaDosi1, &QAction::toggled, this,
                         [this](auto &&...) { AdattaDosi1Click(); });
    ExceptionSafeConnect(AggiungiSpesa1, &QAction::triggered, this,
                         [this](auto &&...) { AggiungiSpesa1Click(); });
    ExceptionSafeConnect(ListaSpesa1, &QAction::triggered, this,
                         [this](auto &&...) { ListaSpesa1Click(); });
}

bool TForm1::DosesAdapted() const {
    return AdattaDosi1 != nullptr && AdattaDosi1->isChecked() && PersonsDifferFromRecipe();
}

bool TForm1::PersonsDifferFromRecipe() const {
    return RecordPersons > 0 && !m_storedRecipeName.empty() &&
           Nome->hasDataText(m_storedRecipeName) && Persone->value() != RecordPersons;
}

void TForm1::AdattaDosi1Click() {
    ProgramSettings().setValue(kAdaptSetting, AdattaDosi1->isChecked());
    if (PersonsDifferFromRecipe() && Nome->hasDataText(CurrentRecipeName)) ShowCalories();
    ShowIngredientsForPersons();
    // The text on show follows at once; at the recipe's own persons nothing changes.
    if (PersonsDifferFromRecipe() && Nome->hasDataText(CurrentRecipeName))
        SetBoxLines(RicettaCompleta, RecipeTextOnShow());
}

void TForm1::ShowIngredientsForPersons() {
    const bool adapted = DosesAdapted();
    // With the option off a box that was never scaled keeps the record's lines untouched.
    if (!adapted && !m_ingredientsScaled) return;
    const bool onShow = !m_storedRecipeName.empty() && Nome->hasDataText(m_storedRecipeName);
    if (!onShow) {
        m_ingredientsScaled = false;
        return;
    }
    SetBoxLines(Ingredienti, adapted ? ScaledLines(m_storedIngredients,
                                                   *MakeRational(Persone->value(), RecordPersons))
                                     : m_storedIngredients);
    m_ingredientsScaled = adapted;
    // While the option is on, the recipe text on show follows the spinner too.
    if (AdattaDosi1->isChecked() && Nome->hasDataText(CurrentRecipeName))
        SetBoxLines(RicettaCompleta, RecipeTextOnShow());
}

std::vector<std::string> TForm1::WithRecipePersons(std::vector<std::string> entries) const {
    if (DosesAdapted() && entries.size() > 3)
        entries[3] += " (ricetta per " + std::to_string(RecordPersons) + ")";
    return entries;
}

void TForm1::LoadShoppingListOnce() {
    if (m_shoppingList) return;
    MoveOldShoppingList();
    const QString path = ShoppingListPath();
    LoadedShoppingList loaded = LoadShoppingList(path);
    m_shoppingList = std::make_unique<ShoppingList>(std::move(loaded.list));
    if (loaded.damage.isEmpty()) return;
    // The user hears of it before anything replaces the file; then it is kept aside.
    m_shoppingListSavable = false;
    ShowErrorReport(QStringLiteral("La lista della spesa salvata non si può leggere (%1). "
                                   "Il file viene conservato accanto con il suffisso "
                                   "\".danneggiata\" e la lista riparte vuota")
                        .arg(loaded.damage));
    KeepDamagedShoppingList(path);
    m_shoppingListSavable = true;
    SaveShoppingList();
}

void TForm1::SaveShoppingList() {
    if (m_shoppingListSavable) sapidoro::SaveShoppingList(ShoppingListPath(), *m_shoppingList);
}

bool TForm1::RenameInShoppingList(const std::string &from, const std::string &to) {
    LoadShoppingListOnce();
    if (!m_shoppingList->Rename(from, to)) return false;
    SaveShoppingList();
    RefreshShoppingListWindow();
    return true;
}

std::vector<ShoppingRecipe> TForm1::ShoppingRecipes() const {
    std::vector<ShoppingRecipe> recipes;
    if (!m_shoppingList) return recipes;
    const std::string recipeFile = DataFolder + "ricette.txt";
    for (const ShoppingEntry &entry : m_shoppingList->entries()) {
        ShoppingRecipe recipe{entry.name, entry.persons, true, 0, {}};
        if (std::optional<RecipeRecord> record =
                ReadingFile(recipeFile, [&] { return FindRecipe(recipeFile, entry.name); })) {
            recipe.missing = false;
            recipe.recipePersons = RecipePersons(record->persons);
            recipe.ingredientLines = std::move(record->ingredients);
        }
        recipes.push_back(std::move(recipe));
    }
    return recipes;
}

void TForm1::AggiungiSpesa1Click() {
    if (CurrentRecipeName.empty() || !Nome->hasDataText(CurrentRecipeName))
        throw ENotice("Nessuna ricetta da aggiungere alla lista della spesa");
    LoadShoppingListOnce();
    m_shoppingList->Add(CurrentRecipeName, Persone->value());
    SaveShoppingList();
    RefreshShoppingListWindow();
}

void TForm1::RefreshShoppingListWindow() {
    if (m_shoppingWindow) m_shoppingWindow->Refresh();
}

void TForm1::ListaSpesa1Click() {
    LoadShoppingListOnce();
    if (!m_shoppingWindow) {
        ShoppingListActions actions;
        actions.recipes = [this] { return ShoppingRecipes(); };
        actions.remove = [this](const std::string &name) {
            m_shoppingList->Remove(name);
            SaveShoppingList();
        };
        actions.setPersons = [this](const std::string &name, int persons) {
            m_shoppingList->SetPersons(name, persons);
            SaveShoppingList();
        };
        actions.print = [this](const QStringList &lines) {
            LayOutOnPagePrinter(lines);
            PagePrinter1->EndDoc();
            PagePrinter1->Print();
        };
        actions.preview = [this](const QStringList &lines) {
            PreviewOnPagePrinter([this, lines] { LayOutOnPagePrinter(lines); });
        };
        actions.exportPdf = [this](const QStringList &lines) {
            const QString written = ExportPdfFromPagePrinter(
                [this, lines] { LayOutOnPagePrinter(lines); }, QStringLiteral("Lista della spesa"));
            // Told in the list's window, where the user asked for it.
            if (!written.isEmpty() && m_shoppingWindow)
                PassingMessage::Show(m_shoppingWindow, PdfSavedText(written));
        };
        m_shoppingWindow = new ShoppingListWindow(std::move(actions), this);
        m_shoppingWindow->setWindowFlag(Qt::Window);
    }
    m_shoppingWindow->Refresh();
    m_shoppingWindow->show();
    m_shoppingWindow->raise();
    m_shoppingWindow->activateWindow();
}
