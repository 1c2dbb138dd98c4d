#include "app/ErrorReport.h"
#include "app/Unit1.h"
#include "app/WindowTexts.h"
#include "cache/NameCache.h"
#include "collection/CollectionCopy.h"
#include "collection/CollectionFolder.h"
#include "collection/CollectionWatcher.h"
#include "collection/FileErrors.h"
#include "collection/RecentCollections.h"
#include "common/QtText.h"
#include "data/CalorieTable.h"
#include "data/Places.h"
#include "picture/JpgImg.h"
#include "search/NameCatalog.h"
#include "search/Scope.h"
#include "widgets/ColourButton.h"
#include "widgets/ComboBox.h"
#include "widgets/ProgressBar.h"
#include "writer/AtomicSave.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>

#include <cstdint>
#include <memory>
#include <optional>

namespace sapidoro {

// What the start-up reads of a folder, read aside before anything on show changes.
struct TForm1::CollectionLists {
    std::string folder;
    std::unique_ptr<NameCatalog> catalog;
    QStringList ingredientNames;
    std::optional<QStringList> places;  // read when the scope on show offers them
};

namespace {

std::string NativeFolder(const QString &folder) {
    return QFile::encodeName(folder).toStdString();
}

}  // namespace

QString TForm1::dataFolderPath() const {
    return QFile::decodeName(QByteArray::fromStdString(DataFolder));
}

void TForm1::buildCollectionMenu() {
    PopupMenu1->addSeparator();
    Raccolta1 = PopupMenu1->addMenu(UiText(kCollectionMenuCaption));
    Raccolta1->setObjectName(QStringLiteral("Raccolta1"));
    Raccolta1->menuAction()->setObjectName(QStringLiteral("Raccolta1"));
    const auto addItem = [this](const char *name, const char *caption, QKeySequence key) {
        return addMenuAction(Raccolta1, name, UiText(caption), key);
    };
    ApriRaccolta1 = addItem("ApriRaccolta1", kOpenCollectionMenuCaption, QKeySequence::Open);
    RaccolteRecenti1 = Raccolta1->addMenu(UiText(kRecentCollectionsMenuCaption));
    RaccolteRecenti1->setObjectName(QStringLiteral("RaccolteRecenti1"));
    RaccolteRecenti1->menuAction()->setObjectName(QStringLiteral("RaccolteRecenti1"));
    Raccolta1->addSeparator();
    Ricarica1 = addItem("Ricarica1", kReloadMenuCaption, QKeySequence(Qt::Key_F5));
    // A copy of one's own, wanted most on the read-only sample of a first start.
    CreaRaccolta1 = addItem("CreaRaccolta1", kCreateCollectionMenuCaption, QKeySequence());

    ExceptionSafeConnect(ApriRaccolta1, &QAction::triggered, this,
                         [this](auto &&...) { ApriRaccolta1Click(); });
    ExceptionSafeConnect(Ricarica1, &QAction::triggered, this,
                         [this](auto &&...) { Ricarica1Click(); });
    ExceptionSafeConnect(CreaRaccolta1, &QAction::triggered, this,
                         [this](auto &&...) { CreateOwnCollection(); });
    // Folders that went away since are left out each time the menu opens.
    ExceptionSafeConnect(Raccolta1, &QMenu::aboutToShow, this, [this] { FillRecentCollections(); });
    FillRecentCollections();
}

void TForm1::FillRecentCollections() {
    RaccolteRecenti1->clear();
    for (const QString &folder : RecentCollections()) {
        QAction *entry = RaccolteRecenti1->addAction(QDir::toNativeSeparators(folder));
        entry->setData(folder);
        ExceptionSafeConnect(entry, &QAction::triggered, this,
                             [this, folder](auto &&...) { OpenCollection(folder); });
    }
    RaccolteRecenti1->menuAction()->setEnabled(!RaccolteRecenti1->isEmpty());
}

void TForm1::ApriRaccolta1Click() {
    QFileDialog dialog(this, UiText(kOpenCollectionDialogCaption), dataFolderPath());
    dialog.setObjectName(QStringLiteral("ApriRaccoltaDialog"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    OpenCollection(dialog.selectedFiles().constFirst());
}

void TForm1::Ricarica1Click() {
    ReloadCollection(CurrentRecipeName);
}

bool TForm1::OpenCollection(const QString &folder) {
    const QString dataFolder = AsDataFolder(folder);
    CollectionLists lists;
    bool cacheWanted = false;
    try {
        if (const QString problem = CollectionFolderProblem(QDir::cleanPath(dataFolder));
            !problem.isEmpty())
            throw Exception(problem.toStdString());
        lists.folder = NativeFolder(dataFolder);
        RemoveLeftoverTemps(lists.folder);
        const std::string recipeFile = lists.folder + "ricette.txt";
        lists.catalog = ReadNameCache(NameCachePath(lists.folder), recipeFile);
        if (lists.catalog) {
            lists.catalog->makeDisplayTexts();
        } else {
            lists.catalog = ReadingFile(recipeFile, [&] {
                return std::make_unique<NameCatalog>(NameCatalog::List(recipeFile));
            });
            cacheWanted = true;
        }
        const std::string calorieFile = lists.folder + "ing.txt";
        lists.ingredientNames = ReadingFile(
            calorieFile, [&] { return FromCp1252List(ReadIngredientNames(calorieFile)); });
    } catch (...) {
        ShowErrorReport(ExceptionMessage(std::current_exception()));
        return false;
    }
    m_watcher->watch(dataFolder);
    ShowCollection(lists, false);
    m_collectionOpened = true;
    if (cacheWanted) KeepNameCache();
    ForgetLastSave();
    // The recent list is filled anew when its menu opens: the entry that may have called
    // this one stays alive until its signal is over.
    RememberCollection(dataFolder);
    return true;
}

void TForm1::ReloadCollection(const std::string &recipeToShow) {
    // A copy: the name may be `CurrentRecipeName` itself, which the empty view clears.
    const std::string name = recipeToShow;
    // A save killed midway elsewhere leaves a second link that would block the next save.
    RemoveLeftoverTemps(DataFolder);
    const CollectionWatcher::Stamps stamps = m_watcher->stampsNow();
    CollectionLists lists;
    lists.folder = DataFolder;
    // Names unchanged by the edit keep their order and texts, shared with the lists on show.
    const std::string recipeFile = DataFolder + "ricette.txt";
    lists.catalog = ReadingFile(recipeFile, [&] {
        return std::make_unique<NameCatalog>(NameCatalog::List(recipeFile, m_catalog.get()));
    });
    const std::string calorieFile = DataFolder + "ing.txt";
    lists.ingredientNames =
        ReadingFile(calorieFile, [&] { return FromCp1252List(ReadIngredientNames(calorieFile)); });
    if (ParseScope(ToCp1252(SelezioneAmbitoRicerca->text())) == SearchScope::Luogo) {
        const std::string placeFile = DataFolder + "luoghi.txt";
        lists.places =
            ReadingFile(placeFile, [&] { return FromCp1252List(ReadPlaces(placeFile)); });
    }
    ShowCollection(lists, true);
    m_collectionOpened = true;
    m_watcher->markLoaded(stamps);
    // A save or another program changed the file: its cache is made anew once it settles.
    KeepNameCache();

    if (name.empty()) return;
    const std::size_t record = m_catalog->firstRecordOf(name);
    if (record == SIZE_MAX) return;
    RicetteTrovate->setCurrentIndex(static_cast<int>(m_catalog->firstRankOf(record, name)));
    RicetteTrovateChange();
}

void TForm1::ShowCollection(CollectionLists &lists, bool keepScope) {
    DataFolder = lists.folder;
    JPEGImage1->setRootFolder(dataFolderPath());
    ClearRecipeView();

    // The lists let go of the old names before the old catalog frees them.
    Nome->clearItems();
    RicetteTrovate->clearItems();
    RicetteTrovateScambio->clearItems();
    m_resultItems.clear();
    m_resultNames.clear();
    m_resultNameItems.clear();
    m_resultRanks.clear();
    m_catalog = std::move(lists.catalog);
    Nome->setItemsInOrder(m_catalog->displayNames());
    StartIndexing();

    const std::optional<SearchScope> scope = ParseScope(ToCp1252(SelezioneAmbitoRicerca->text()));
    if (!keepScope) {
        const QSignalBlocker quiet(SelezioneAmbitoRicerca);
        SelezioneAmbitoRicerca->setText(UiText(kInitialScope));
    }
    if (!keepScope || scope == SearchScope::Ingredienti) {
        // A prompt still standing in the box gives the new count; a typed text stays. After
        // a start-up that failed, the box gets the prompt the start-up did not give it.
        const bool prompt =
            !keepScope || !m_collectionOpened ||
            StringaDaCercare->text() == IngredientPrompt(StringaDaCercare->itemCount());
        StringaDaCercare->clearItems();
        StringaDaCercare->appendItems(lists.ingredientNames);
        if (prompt) StringaDaCercare->setText(IngredientPrompt(StringaDaCercare->itemCount()));
        Ricerche->setToolTip(UiText(kSearchButtonHint));
        StringaDaCercare->setToolTip(UiText(kSearchBoxIngredientHint));
    } else if (lists.places) {
        StringaDaCercare->clearItems();
        StringaDaCercare->setItems(*lists.places);
    }

    Ricerche->setText(SearchButtonCaption(Nome->itemCount()));
    RicetteTrovate->assignItems(*Nome);
    RicetteTrovateScambio->assignItems(*Nome);
    RecipeCount = RicetteTrovate->itemCount();
    // An open shopping list reads its recipes' ingredients from the collection now on show.
    RefreshShoppingListWindow();
    // An open menu shows the plan of the collection now on show.
    RefreshMenuWindow();
}

void TForm1::ClearRecipeView() {
    RicetteTrovate->hidePopup();
    Nome->setText(QString());
    Note->clear();
    Piatto->clear();
    Ingrediente_Principale->clear();
    Calorie->clear();
    Calorie->setToolTip(QString());
    Ingredienti->clear();
    Preparazione->clear();
    RicettaCompleta->clear();
    ListaIngredientiNonTrovati->clear();
    RzLabel2->setText(UiText(kNotFoundDesignLabel));
    JPEGImage1->setFileName(QString());
    Barra->setValue(0);
    CurrentRecipeName.clear();
    RecordPersons = 0;
    CalorieSum = 0;
    MissingIngredientCount = 0;
}

bool TForm1::EnsureWritableCollection() {
    const QString problem = CollectionWriteProblem(dataFolderPath());
    if (problem.isEmpty()) return true;
    QMessageBox box(QMessageBox::Information, QStringLiteral("Raccolta di sola lettura"),
                    problem + QStringLiteral("\n\nPer aggiungere e modificare ricette si può "
                                             "creare una raccolta tua: una copia di questa "
                                             "(ricette, calorie, luoghi e immagini) in una "
                                             "cartella a scelta, che Sapidoro apre subito."),
                    QMessageBox::NoButton, this);
    box.setObjectName(QStringLiteral("RaccoltaSolaLettura"));
    QPushButton *create =
        box.addButton(QStringLiteral("Crea una raccolta tua…"), QMessageBox::AcceptRole);
    box.setDefaultButton(create);
    box.setEscapeButton(box.addButton(QStringLiteral("Annulla"), QMessageBox::RejectRole));
    box.exec();
    return box.clickedButton() == create && CreateOwnCollection();
}

bool TForm1::CreateOwnCollection() {
    const QString home = QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
    const QString proposed = home + QStringLiteral("/Ricette");
    // The folder dialog chooses existing folders only: the proposed one exists while it is
    // open, and goes again unless it was chosen.
    const bool madeProposed = !QFileInfo::exists(proposed) && QDir().mkdir(proposed);
    QFileDialog dialog(this, QStringLiteral("Crea una raccolta tua"), home);
    dialog.setObjectName(QStringLiteral("CreaRaccoltaDialog"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Crea qui"));
    if (QFileInfo(proposed).isDir()) dialog.selectFile(proposed);
    const bool accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    const QString target = accepted ? AsDataFolder(dialog.selectedFiles().constFirst()) : QString();
    if (madeProposed && target != AsDataFolder(proposed)) QDir().rmdir(proposed);
    if (!accepted) return false;

    const std::string recipe = CurrentRecipeName;
    try {
        CopyCollection(dataFolderPath(), target);
    } catch (...) {
        if (madeProposed) QDir().rmdir(proposed);
        throw;
    }
    if (!OpenCollection(target)) return false;
    if (!recipe.empty()) ReloadCollection(recipe);
    return true;
}

void TForm1::CollectionChangedOnDisk() {
    // A handler is running, perhaps with a dialog of its own: the reload waits for its end.
    if (EventGuard::Running()) {
        m_watcher->retryLater();
        return;
    }
    EventGuard::Run([this] { ReloadCollection(CurrentRecipeName); });
}

}  // namespace sapidoro
