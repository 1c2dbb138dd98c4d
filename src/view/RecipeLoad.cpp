#include "view/RecipeLoad.h"

#include "common/Cp1252.h"

namespace sapidoro {

ERecipeNotFound::ERecipeNotFound(std::string_view nameCp1252)
    : Exception("Ricetta \"" + Cp1252ToUtf8(nameCp1252) +
                "\" non trovata in ricette.txt: il file è cambiato dall'avvio del programma") {}

}  // namespace sapidoro
