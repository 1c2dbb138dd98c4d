#pragma once

#include "scan/IndexedTextFile.h"
#include "search/Scope.h"

#include <functional>
#include <string_view>

namespace sapidoro {

// Called with the name of each matching record (the view lasts for the call only).
using MatchHandler = std::function<void(std::string_view name)>;
// Called once after each record, for the progress bar.
using RecordHandler = std::function<void()>;

// One scan of the recipe file under a scope. The walk goes by line position: it passes
// over the file's first line, then for each record reads lines 1 and 2 (the name), tests
// the scope's line, reads by position on to line 12 and then to the separator ":Ricette".
// Under "Ingredienti" every line from line 12 up to and including "-Preparazione" is tested
// on `TextAfter(line, " ===")`, so one record can match several times. The walk stops at
// the end of the file, also inside a record cut short; a file shortened by another program
// meanwhile ends where it now ends.
void ScanRecipes(IndexedTextFile &file, SearchScope scope, std::string_view searchString,
                 const MatchHandler &onMatch, const RecordHandler &onRecord = {});

// The same walk from the current position, the first line of a record, to the end of the file.
void ScanRecords(IndexedTextFile &file, SearchScope scope, std::string_view searchString,
                 const MatchHandler &onMatch, const RecordHandler &onRecord = {});

}  // namespace sapidoro
