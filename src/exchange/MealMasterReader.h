#pragma once

#include "exchange/ExchangeRecipe.h"
#include "exchange/TextEncoding.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sapidoro {

class LineReader;

// Reads MealMaster files ("MMMMM" and "-----" headed) into recipes of the collection.
// `collectionDishes` gives the dish spellings a first category is matched to.
ImportResult ReadMealMaster(LineReader &reader, const std::vector<std::string> &collectionDishes);
// The same, handing each recipe to `visit` as soon as it is read instead of keeping it.
ImportReading ReadMealMaster(LineReader &reader, const std::vector<std::string> &collectionDishes,
                             const RecipeVisitor &visit);
ImportReading ReadMealMasterFile(const std::string &path,
                                 const std::vector<std::string> &collectionDishes,
                                 const RecipeVisitor &visit);
ImportResult ReadMealMasterFile(const std::string &path,
                                const std::vector<std::string> &collectionDishes);
ImportResult ReadMealMasterText(std::string_view bytes,
                                const std::vector<std::string> &collectionDishes);

// One ingredient line of the format as the collection writes it, from its three columns:
// "quantity unit ==== Ingredient", the unit spelled out in Italian where one exists.
std::string IngredientLineFromColumns(std::string_view amount, std::string_view unit,
                                      std::string_view name);

// What the reader makes of one line of an ingredient block that holds a single ingredient
// (nothing for anything else); exports check their lines with it.
std::optional<std::string> IngredientLineRead(std::string_view line);
// Whether the reader would take the line as an ingredient line (of one or two columns).
bool LooksLikeIngredientLine(std::string_view line);
// The text of a section heading line, or nothing.
std::optional<std::string> HeadingRead(std::string_view line);

}  // namespace sapidoro
