#pragma once

#include "common/SharedText.h"
#include "index/IndexBuilder.h"

#include <QDate>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QKeySequence;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QTextEdit;

namespace sapidoro {
struct FileIdentity;
class ImportPlan;
struct LastSave;
struct RecipeFields;
struct SaveResult;
class ColourButton;
class ComboBox;
class FrameBorder;
class CollectionWatcher;
class NameCatalog;
class NameCacheUpdater;
struct RankedResult;
class ShoppingList;
class MenuPlan;
struct MenuCalorieSources;
class ShoppingListWindow;
class MenuWeekWindow;
struct MenuWeekView;
enum class Meal;
struct ShoppingRecipe;
class ProgressBar;
class Spinner;
class TJPEGImage;
class TNoBDEResizerPanel;
class TPagePrinter;

// The main window. Its controls hold the program's state; every event handler reads and
// writes them directly, step by step, so that an error leaves the steps already taken.
class TForm1 : public QWidget {
    Q_OBJECT

public:
    // Opens the last collection opened, else the one in the executable's folder.
    explicit TForm1(QWidget *parent = nullptr);
    // Opens the collection in `dataFolder` (ending with the separator).
    TForm1(const QString &dataFolder, QWidget *parent);
    ~TForm1() override;

    // Runs the start-up on another folder. A folder that fails is reported and leaves the
    // collection on show as it was; returns whether the window switched to the new one.
    bool OpenCollection(const QString &folder);
    // Reads the open folder again as the start-up does, keeping the search scope, and shows
    // `recipeToShow` (Windows-1252) again when a record of that name is still there (empty:
    // none). A folder that fails throws and leaves everything on show as it was.
    void ReloadCollection(const std::string &recipeToShow);
    // Has the name cache of the collection on show made anew once its file has settled.
    void KeepNameCache();
    // Whether the collection on show was listed in full (its start-up ran to its end).
    bool collectionOpened() const { return m_collectionOpened; }
    // Whether the start-up fell back to the sample because the remembered folder could not be
    // opened; the sample then does not take that folder's place among the recent ones.
    bool startedOnFallback() const { return m_startedOnFallback; }
    QString dataFolderPath() const;

    // Program-wide values kept across events.
    const std::string &dataFolder() const { return DataFolder; }
    const std::string &currentRecipeName() const { return CurrentRecipeName; }  // Windows-1252
    int recipeCount() const { return RecipeCount; }
    int recordPersons() const { return RecordPersons; }
    std::int64_t calorieSum() const { return CalorieSum; }
    int missingIngredientCount() const { return MissingIngredientCount; }

signals:
    // The week's menu changed outside its window (a recipe renamed, an undo, a collection
    // switched): a window showing it shows it anew.
    void menuPlanChanged();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    // The folder the start-up opens without a command-line argument.
    struct StartChoice {
        QString folder;
        bool fallback = false;
    };
    TForm1(const StartChoice &start, QWidget *parent);
    // The last folder opened; when it cannot be opened, the user hears why and chooses
    // another folder or the sample.
    static StartChoice AskStartFolder();

    void findControls();
    void buildPopupMenu();
    // An entry of `menu` whose shortcut acts wherever the focus is in the window.
    QAction *addMenuAction(QMenu *menu, const char *name, const QString &caption,
                           const QKeySequence &key);
    void bindEvents();

    // Window life (StartupHandlers.cpp).
    void FormCreate();
    void FormResize();
    void FormShow();
    void EsciClick();
    // Start-up lists and search scopes (StartupHandlers.cpp).
    int FillIngredientNames();
    void SelezioneAmbitoRicercaChange();
    void StringaDaCercareExit();
    // Progressive search and reset (SearchHandlers.cpp).
    void RicercheClick();
    void InizializzazioneClick();
    void ShowResults(const sapidoro::RankedResult &results);
    void ShowResultNames(std::vector<std::string> names);
    // The whole name of `RicetteTrovate`'s row (empty for none), taken from where the list
    // was made rather than from its text, which shows a long name cut.
    sapidoro::SharedText ListedName(int row) const;
    std::vector<std::string> ListedNames() const;
    // Recipe view (ViewHandlers.cpp).
    void RicetteTrovateChange();
    void CaricaLaRicettaClick();
    void PersoneChange();
    void LoadRecipe();
    // The calorie lookup of a load: the sum, the missing count and the not-found list.
    void ComputeRecipeCalories(const std::vector<std::string> &ingredientLines);
    void ShowCalories();
    void NomeKeyUp(int key, Qt::KeyboardModifiers shift);
    // Print and clipboard (OutputHandlers.cpp).
    void StampaLaRicettaClick();
    void Copia1Click();
    void Stampa1Click();
    // The labelled recipe text of the fields on show, composed into `Stampa`.
    void ComposeIntoStampa();
    // The labelled text of the fields as they are on show now.
    std::vector<std::string> RecipeTextOnShow() const;
    // The same with the text of `Nome` already converted.
    std::vector<std::string> RecipeTextOnShow(std::string_view name) const;
    // The lines of `Stampa` as it wraps them at its width.
    QStringList StampaLines() const;
    // The recipe laid out on `PagePrinter1`'s pages, as the print button lays it out; the
    // print, the preview and the PDF export all start with it.
    void ComposeOnPagePrinter();
    // Print preview and PDF export of those pages (PreviewHandlers.cpp).
    void Anteprima1Click();
    void EsportaPDF1Click();
    // The collection on show: open, recent, reload, changes on disk (CollectionHandlers.cpp).
    struct CollectionLists;
    void buildCollectionMenu();
    void ApriRaccolta1Click();
    void Ricarica1Click();
    void FillRecentCollections();
    void CollectionChangedOnDisk();
    void ShowCollection(CollectionLists &lists, bool keepScope);
    // Builds the search index of the catalog now listed, on a worker.
    void StartIndexing();
    void ClearRecipeView();
    // True when the collection on show can be written; otherwise says why and offers a copy of
    // it in a folder of the user's, which then goes on show, and tells whether it did.
    bool EnsureWritableCollection();
    bool CreateOwnCollection();
    // The given lines laid out as a recipe is: the first one as the bold title.
    void LayOutOnPagePrinter(const QStringList &lines);
    // The preview of the pages `layOut` lays out on `PagePrinter1`.
    void PreviewOnPagePrinter(const std::function<void()> &layOut);
    // Those pages saved as a PDF file the user names: its path, empty when the user gives none.
    QString ExportPdfFromPagePrinter(const std::function<void()> &layOut, const QString &title);

    // Doses for the persons wanted and the shopping list (DoseHandlers.cpp).
    void buildDoseMenu();
    void AdattaDosi1Click();
    void AggiungiSpesa1Click();
    void ListaSpesa1Click();
    // `Ingredienti` (and, while the option is on, `RicettaCompleta`) for the spinner's persons.
    void ShowIngredientsForPersons();
    // The persons line names the recipe's own persons while its doses are adapted.
    std::vector<std::string> WithRecipePersons(std::vector<std::string> entries) const;
    bool DosesAdapted() const;
    bool PersonsDifferFromRecipe() const;
    void LoadShoppingListOnce();
    void SaveShoppingList();
    // The shopping list's entry follows a recipe renamed in the collection; true if it had one.
    bool RenameInShoppingList(const std::string &from, const std::string &to);
    std::vector<ShoppingRecipe> ShoppingRecipes() const;
    void RefreshShoppingListWindow();
    // The week's menu of the collection on show, kept in the user's data folder
    // (MenuPlanHandlers.cpp). Reads the plan when none or another collection's is held; a
    // damaged file is reported once and kept aside. Every change is saved at once.
    MenuPlan &LoadMenuPlanOnce();
    void SaveMenuPlan();
    // The plan's entries follow a recipe renamed in the collection; true if it had some.
    bool RenameInMenuPlan(const std::string &from, const std::string &to);
    // What the plan's calories and shopping read, as the recipe load reads it; build it anew
    // after a reload, since it holds the collection's catalog.
    MenuCalorieSources MenuSources() const;
    // The week's menu of the collection on show (MenuHandlers.cpp).
    void buildMenuMenu();
    void MenuSettimana1Click();
    void AggiungiMenu1Click();
    MenuWeekView MenuWeek(QDate monday, const std::vector<Meal> &meals);
    void RefreshMenuWindow();
    // Shows the recipe as a pick in the result list does.
    void OpenRecipeFromMenu(const std::string &name);
    void ShopFromMenu(QDate first, QDate last);
    // Recipe editing, calorie entries and undo, all through the writer (EditHandlers.cpp).
    void buildRecipeMenu();
    void NuovaRicetta1Click();
    void ModificaRicetta1Click();
    void EliminaRicetta1Click();
    void AnnullaModifica1Click();
    void ListaIngredientiNonTrovatiDblClick(const QString &line);
    // Runs the editor on `recipe`, read from the recipe file as `opened` names it, until
    // `save` saves it or the user cancels; true when saved.
    bool RunEditor(const QString &title, const sapidoro::RecipeFields &recipe,
                   sapidoro::FileIdentity opened,
                   const std::function<sapidoro::SaveResult(const sapidoro::RecipeFields &,
                                                            const sapidoro::FileIdentity &)> &save);
    void keepSave(const sapidoro::SaveResult &result, const std::string &before,
                  const std::string &after);
    void ForgetLastSave();
    // Reloads after a save from `before` to `after` (Windows-1252, empty: none), keeping a
    // narrowed result list narrowed; shows `after` when it is listed.
    void ReloadKeepingResults(const std::string &before, const std::string &after);
    // Import and export of foreign recipe files (ExchangeHandlers.cpp).
    void buildExchangeMenu();
    void Importa1Click();
    void Esporta1Click();
    // Saves what the preview confirmed and shows the new recipes.
    void saveConfirmedImport(sapidoro::ImportPlan &plan, const sapidoro::FileIdentity &identity);
    // Import of the recipe of a web page given by its address (WebImportHandlers.cpp).
    void ImportaIndirizzo1Click();

    const QString m_designDataFolder;

    // Program-wide values: strings start empty, numbers at zero.
    std::string DataFolder;                  // ends with the separator
    sapidoro::SharedText CurrentRecipeName;  // Windows-1252
    int RecipeCount = 0;
    int RecordPersons = 0;
    std::int64_t CalorieSum = 0;  // wide, so that large tables cannot wrap the sum
    int MissingIngredientCount = 0;
    bool m_settingRecordPersons = false;  // a load is setting `Persone` to the record's value
    // `Nome`'s names as listed at start-up, and the result list by their ranks while
    // `RicetteTrovate` shows `m_resultItems`; searches then need not read the list's texts.
    std::unique_ptr<sapidoro::NameCatalog> m_catalog;
    // The start-up's listing, read on a worker while the controls are built.
    std::future<std::unique_ptr<sapidoro::NameCatalog>> m_startupListing;
    std::string m_startupCachePath;
    bool m_listedFromCache = false;  // set by the start-up's listing before it is taken
    // Makes the name cache of the collection on show, off the window's thread.
    std::unique_ptr<sapidoro::NameCacheUpdater> m_cacheUpdater;
    // The trigram index of `m_catalog`'s records, once built.
    sapidoro::IndexBuilder m_index;
    std::vector<std::uint32_t> m_resultRanks;
    QStringList m_resultItems;
    // The result list by its names, while `RicetteTrovate` shows `m_resultNameItems`.
    std::vector<std::string> m_resultNames;
    QStringList m_resultNameItems;
    bool m_collectionOpened = false;
    bool m_startedOnFallback = false;
    sapidoro::CollectionWatcher *m_watcher = nullptr;
    std::unique_ptr<sapidoro::LastSave> m_lastSave;  // for "Annulla ultima modifica"

    // The controls, by their design names.
    TNoBDEResizerPanel *NoBDEResizerPanel1 = nullptr;
    QTabWidget *PageControl1 = nullptr;
    QWidget *Vedi = nullptr;
    QFrame *Controlli1 = nullptr;
    QFrame *Schermo1 = nullptr;
    ColourButton *Ricerche = nullptr;
    ComboBox *StringaDaCercare = nullptr;
    ComboBox *SelezioneAmbitoRicerca = nullptr;
    ColourButton *Inizializzazione = nullptr;
    ColourButton *StampaLaRicetta = nullptr;
    QPushButton *Esci = nullptr;
    ComboBox *RicetteTrovateScambio = nullptr;
    ComboBox *RicetteTrovate = nullptr;
    ProgressBar *Barra = nullptr;
    QCheckBox *CheckBox1 = nullptr;
    Spinner *CarattereStampa = nullptr;
    QPlainTextEdit *RicettaCompleta = nullptr;
    FrameBorder *BordoCalorie = nullptr;
    QLabel *RzLabel1 = nullptr;
    Spinner *Persone = nullptr;
    QLineEdit *Calorie = nullptr;
    QLabel *RzLabel2 = nullptr;
    QPlainTextEdit *ListaIngredientiNonTrovati = nullptr;
    QScrollArea *ScrollBox1 = nullptr;
    TJPEGImage *JPEGImage1 = nullptr;
    ComboBox *Nome = nullptr;
    QLineEdit *Note = nullptr;
    QLineEdit *Piatto = nullptr;
    QLineEdit *Ingrediente_Principale = nullptr;
    QPlainTextEdit *Ingredienti = nullptr;
    QPlainTextEdit *Preparazione = nullptr;
    QTextEdit *Stampa = nullptr;
    ColourButton *CaricaLaRicetta = nullptr;
    TPagePrinter *PagePrinter1 = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QAction *Copia1 = nullptr;
    QAction *Stampa1 = nullptr;
    QAction *Anteprima1 = nullptr;
    QAction *EsportaPDF1 = nullptr;
    QMenu *Raccolta1 = nullptr;
    QAction *ApriRaccolta1 = nullptr;
    QMenu *RaccolteRecenti1 = nullptr;
    QAction *Ricarica1 = nullptr;
    QAction *CreaRaccolta1 = nullptr;

    // The ingredient lines of the record on show as stored, whatever `Ingredienti` shows.
    std::vector<std::string> m_storedIngredients;
    sapidoro::SharedText m_storedRecipeName;
    bool m_ingredientsScaled = false;
    std::unique_ptr<ShoppingList> m_shoppingList;  // read on first use
    bool m_shoppingListSavable = true;
    QPointer<ShoppingListWindow> m_shoppingWindow;
    std::unique_ptr<MenuPlan> m_menuPlan;  // read on first use
    std::string m_menuPlanFolder;          // the collection whose plan it is
    bool m_menuPlanSavable = true;
    QAction *AdattaDosi1 = nullptr;
    QAction *AggiungiSpesa1 = nullptr;
    QAction *ListaSpesa1 = nullptr;
    QAction *NuovaRicetta1 = nullptr;
    QAction *ModificaRicetta1 = nullptr;
    QAction *EliminaRicetta1 = nullptr;
    QAction *AnnullaModifica1 = nullptr;
    QAction *Importa1 = nullptr;
    QAction *ImportaIndirizzo1 = nullptr;
    QAction *Esporta1 = nullptr;
    QPointer<MenuWeekWindow> m_menuWindow;
    QAction *MenuSettimana1 = nullptr;
    QAction *AggiungiMenu1 = nullptr;
};

}  // namespace sapidoro

// The main window keeps its plain name for code outside the program's namespace.
using sapidoro::TForm1;
