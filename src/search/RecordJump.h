#pragma once

#include "data/RecipeFile.h"
#include "search/NameCatalog.h"
#include "search/RecipeScan.h"

#include <optional>
#include <string>
#include <string_view>

namespace sapidoro {

// `ScanRecipes` over the start-up walk's record table: while the table describes the file,
// each record's lines are reached from where the record begins, and only the lines the scope
// tests are looked at. A record that the table road cannot take exactly as the walk would
// (a separator line among its first twelve lines; under "Ingredienti", no "-Preparazione"
// before its separator), every record after it, and a file changed since the table was made
// go the walk's road. The calls of `onMatch` and `onRecord` are those of `ScanRecipes`.
// Opens `path` itself; throws EInOutError as the walk does. Returns the number of records the
// table road took.
std::size_t ScanRecipes(const std::string &path, const RecordTable &table, SearchScope scope,
                        std::string_view searchString, const MatchHandler &onMatch,
                        const RecordHandler &onRecord = {});

// `FindRecipe` with the catalog's help: while its table describes the file and every
// "-Nome" line heads a record, the first record bearing `name` is read straight away. Without
// `withName`, a record read so leaves its name empty, for a caller that holds the name and
// would not copy a long one.
std::optional<RecipeRecord> FindListedRecipe(const std::string &path, const NameCatalog &catalog,
                                             std::string_view name, bool withName = true);

}  // namespace sapidoro
