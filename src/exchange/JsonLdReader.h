#pragma once

#include "exchange/ExchangeRecipe.h"

#include <string>
#include <string_view>
#include <vector>

namespace sapidoro {

struct JsonValue;

// The largest page or JSON file read; larger ones are refused with a message.
inline constexpr std::size_t kMaxWebFileBytes = 32u << 20;

// Reads the schema.org `Recipe` objects of a saved web page (.html, .htm: its
// `application/ld+json` scripts) or of a JSON file, also inside `@graph`. A picture is taken
// only when it lies in `pageFolder` (never fetched). Throws EInOutError when the file cannot
// be read; a script that is not valid JSON is reported in `stopMessage`.
ImportResult ReadWebRecipeFile(const std::string &path,
                               const std::vector<std::string> &collectionDishes);
// The same, each recipe handed to `visit` in turn (the file is small enough to read whole).
ImportReading ReadWebRecipeFile(const std::string &path,
                                const std::vector<std::string> &collectionDishes,
                                const RecipeVisitor &visit);
ImportResult ReadWebRecipeText(std::string_view bytes, bool html, const std::string &pageFolder,
                               const std::string &pageBaseName,
                               const std::vector<std::string> &collectionDishes);

// The JSON texts of the page's `<script type="application/ld+json">` elements.
std::vector<std::string_view> LdJsonScripts(std::string_view html);

// Whether the path names a web page or JSON file rather than a MealMaster file.
bool IsWebRecipeFile(const std::string &path);

}  // namespace sapidoro
