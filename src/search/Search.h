#pragma once

#include "search/RecipeScan.h"
#include "search/Scope.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace sapidoro {

// More results than this are not offered for picking while the limit is switched on.
inline constexpr std::size_t kResultLimit = 2000;

// True when a result list of `count` items must not be offered.
inline bool ExceedsResultLimit(std::size_t count, bool limitOn) {
    return limitOn && count > kResultLimit;
}

// One progressive search: scans `recipeFile` under `scope` and returns the new result list
// from `resultList` (sorted, as it stood before the search; `complete` when it held every
// recipe). `onRecord` runs once per record. Throws EInOutError when the file cannot be read;
// nothing is returned then and the caller's lists are untouched.
std::vector<std::string> SearchRecipes(const std::string &recipeFile, SearchScope scope,
                                       std::string_view searchString,
                                       const std::vector<std::string> &resultList, bool complete,
                                       const RecordHandler &onRecord = {});
std::vector<std::string> SearchRecipes(IndexedTextFile &recipeFile, SearchScope scope,
                                       std::string_view searchString,
                                       const std::vector<std::string> &resultList, bool complete,
                                       const RecordHandler &onRecord = {});

}  // namespace sapidoro
