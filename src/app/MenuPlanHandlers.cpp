#include "app/ErrorReport.h"
#include "app/Unit1.h"

#include "collection/FileErrors.h"
#include "menu/MenuCalories.h"
#include "menu/MenuStore.h"
#include "search/NameCatalog.h"

#include <QAction>

namespace sapidoro {

MenuPlan &TForm1::LoadMenuPlanOnce() {
    if (m_menuPlan && m_menuPlanFolder == DataFolder) return *m_menuPlan;
    // Another collection's plan: a file of its own, which may well be readable.
    if (m_menuPlan) m_menuPlanSavable = true;
    const QString path = MenuPlanPath(DataFolder);
    LoadedMenuPlan loaded = LoadMenuPlan(path);
    m_menuPlan = std::make_unique<MenuPlan>(std::move(loaded.plan));
    m_menuPlanFolder = DataFolder;
    if (loaded.damage.isEmpty()) return *m_menuPlan;
    // The user hears of it before anything replaces the file; then it is kept aside.
    m_menuPlanSavable = false;
    ShowErrorReport(MenuPlanDamagedMessage(loaded.damage));
    KeepDamagedMenuPlan(path);
    m_menuPlanSavable = true;
    SaveMenuPlan();
    return *m_menuPlan;
}

void TForm1::SaveMenuPlan() {
    if (m_menuPlan && m_menuPlanSavable)
        sapidoro::SaveMenuPlan(MenuPlanPath(m_menuPlanFolder), *m_menuPlan, m_menuPlanFolder);
}

bool TForm1::RenameInMenuPlan(const std::string &from, const std::string &to) {
    if (LoadMenuPlanOnce().Rename(from, to) == 0) return false;
    SaveMenuPlan();
    emit menuPlanChanged();
    return true;
}

MenuCalorieSources TForm1::MenuSources() const {
    const std::string recipeFile = DataFolder + "ricette.txt";
    const RecipeFinder find = CollectionRecipeFinder(recipeFile, m_catalog.get());
    MenuCalorieSources sources;
    sources.findRecipe = [recipeFile, find](std::string_view name) {
        return ReadingFile(recipeFile, [&] { return find(name); });
    };
    sources.calorieTablePath = DataFolder + "ing.txt";
    sources.dosesAdapted = AdattaDosi1 != nullptr && AdattaDosi1->isChecked();
    return sources;
}

}  // namespace sapidoro
