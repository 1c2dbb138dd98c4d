#include "search/Search.h"

#include "scan/IndexedTextFile.h"
#include "search/MatchCollector.h"

namespace sapidoro {

std::vector<std::string> SearchRecipes(const std::string &recipeFile, SearchScope scope,
                                       std::string_view searchString,
                                       const std::vector<std::string> &resultList, bool complete,
                                       const RecordHandler &onRecord) {
    return SearchRecipes(*IndexedTextFile::MapOrOpen(recipeFile), scope, searchString, resultList,
                         complete, onRecord);
}

std::vector<std::string> SearchRecipes(IndexedTextFile &recipeFile, SearchScope scope,
                                       std::string_view searchString,
                                       const std::vector<std::string> &resultList, bool complete,
                                       const RecordHandler &onRecord) {
    MatchCollector collector(resultList, complete);
    ScanRecipes(
        recipeFile, scope, searchString,
        [&](std::string_view name) { collector.CollectMatch(name); }, onRecord);
    return collector.MergeMatches();
}

}  // namespace sapidoro
