#pragma once

#include "data/RecipeFile.h"
#include "search/NameCatalog.h"
#include "search/RecipeScan.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sapidoro {

// `ScanRecipes` over the start-up walk's record table: while the table describes the file,
// each record's lines are reached from where the record begins, and only the lines the scope
// tests are looked at. A record that the table road cannot take exactly as the walk would
// (a separator line among its first twelve lines; under "Ingredienti", no "-Preparazione"
// before its separator), every record after it, and a file changed since the table was made
// go the walk's road. The calls of `onMatch` and `onRecord` are those of `ScanRecipes`.
// Opens `path` itself; throws EInOutError as the walk does. Returns the number of records the
// table road took.
//
// With `filter`, made over the very mapping the table now keeps, the records it rules out are
// passed over unread (each still counts for `onRecord`); a filter of another mapping is unused.
struct RecordFilter;
std::size_t ScanRecipes(const std::string &path, const RecordTable &table, SearchScope scope,
                        std::string_view searchString, const MatchHandler &onMatch,
                        const RecordHandler &onRecord = {}, const RecordFilter *filter = nullptr);

// The records of a table that may match one search. Its maker vouches that the table road
// takes every record before `covered` as the walk would, and that those without their bit in
// `candidates` do not match.
struct RecordFilter {
    const FileMapping *mapping = nullptr;
    std::size_t covered = 0;
    std::uint64_t coveredEnd = 0;           // where record `covered` begins
    std::vector<std::uint64_t> candidates;  // bit r for record r, below `covered`

    bool passesOver(std::size_t record) const {
        return record < covered && ((candidates[record >> 6] >> (record & 63)) & 1) == 0;
    }
};

// `FindRecipe` with the catalog's help: while its table describes the file and every
// "-Nome" line heads a record, the first record bearing `name` is read straight away. Without
// `withName`, a record read so leaves its name empty, for a caller that holds the name and
// would not copy a long one.
std::optional<RecipeRecord> FindListedRecipe(const std::string &path, const NameCatalog &catalog,
                                             std::string_view name, bool withName = true);

}  // namespace sapidoro
