#pragma once

#include "search/NameCatalog.h"
#include "search/RecipeScan.h"
#include "search/RecordJump.h"
#include "search/Scope.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sapidoro {

// The new result list of a search over a catalog's names: the ranks of the names kept, in
// sorted order, or, when the search met names that the catalog does not list (the file
// changed since start-up), the names themselves.
struct RankedResult {
    std::vector<std::uint32_t> ranks;
    std::vector<std::string> names;
    bool byName = false;
};

// The working list of one search kept as sets of ranks; gives the same result list as
// `MatchCollector` over the catalog's names. A narrowed result list is given by its ranks
// (each the first rank of its name, as search results are).
class RankCollector {
public:
    RankCollector(const NameCatalog &catalog, const std::vector<std::uint32_t> &resultRanks,
                  bool complete);

    // `name` is that of the record-th record of the file (from 0).
    void CollectMatch(std::size_t record, std::string_view name);
    RankedResult MergeMatches() const;

private:
    static bool Has(const std::vector<std::uint64_t> &bits, std::uint32_t rank) {
        return (bits[rank >> 6] >> (rank & 63)) & 1;
    }
    static void Set(std::vector<std::uint64_t> &bits, std::uint32_t rank) {
        bits[rank >> 6] |= std::uint64_t{1} << (rank & 63);
    }

    const NameCatalog &m_catalog;
    const std::vector<std::uint32_t> &m_resultRanks;
    bool m_complete;
    std::vector<std::uint64_t> m_inResult;  // narrowed: the result list's ranks
    std::vector<std::uint64_t> m_hits;      // the first ranks of the names collected
    std::vector<std::string> m_outside;     // complete: names not listed, as collected
};

// `SearchRecipes` with the result list given by ranks of `catalog` (`complete` when it
// holds every listed name). Throws EInOutError when the file cannot be read. `filter` passes
// over records of the catalog's table that cannot match (RecordJump.h).
RankedResult SearchRanks(const std::string &recipeFile, SearchScope scope,
                         std::string_view searchString, const NameCatalog &catalog,
                         const std::vector<std::uint32_t> &resultRanks, bool complete,
                         const RecordHandler &onRecord = {}, const RecordFilter *filter = nullptr);
// The same search by the walk's road over `recipeFile`, as when the catalog has no table.
RankedResult SearchRanks(IndexedTextFile &recipeFile, SearchScope scope,
                         std::string_view searchString, const NameCatalog &catalog,
                         const std::vector<std::uint32_t> &resultRanks, bool complete,
                         const RecordHandler &onRecord = {});

}  // namespace sapidoro
