#include "view/RecipeLoad.h"

#include "common/Cp1252.h"

namespace sapidoro {

ERecipeNotFound::ERecipeNotFound(std::string_view nameCp1252)
    : Exception("Ricetta \"" + Cp1252ToUtf8(nameCp1252) +
                "\" non trovata in ricette.txt: il file è cambiato dall'avvio del programma") {}

RecipeRecord ReadRecipeForView(const std::string &recipeFile, std::string_view name) {
    std::optional<RecipeRecord> record = FindRecipe(recipeFile, name);
    if (!record) throw ERecipeNotFound(name);
    return std::move(*record);
}

}  // namespace sapidoro
