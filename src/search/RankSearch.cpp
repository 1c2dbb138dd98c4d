#include "search/RankSearch.h"

#include "common/Collation.h"
#include "scan/IndexedTextFile.h"
#include "search/RecordJump.h"

#include <algorithm>
#include <unordered_set>

namespace sapidoro {

RankCollector::RankCollector(const NameCatalog &catalog,
                             const std::vector<std::uint32_t> &resultRanks, bool complete)
    : m_catalog(catalog),
      m_resultRanks(resultRanks),
      m_complete(complete),
      m_hits((catalog.size() + 63) / 64, 0) {
    if (complete) return;
    m_inResult.assign(m_hits.size(), 0);
    for (const std::uint32_t rank : resultRanks) Set(m_inResult, rank);
}

void RankCollector::CollectMatch(std::size_t record, std::string_view name) {
    const std::uint32_t rank = m_catalog.firstRankOf(record, name);
    if (rank == NameCatalog::kNoRank) {
        // A narrowed list holds listed names only.
        if (m_complete) m_outside.emplace_back(name);
    } else if (m_complete || Has(m_inResult, rank)) {
        Set(m_hits, rank);
    }
}

RankedResult RankCollector::MergeMatches() const {
    RankedResult result;
    const auto take = [&](std::uint32_t rank) {
        // An empty list counts as ending with the empty name, which is thus never first.
        if (result.ranks.empty() && m_catalog.name(rank).empty()) return;
        result.ranks.push_back(rank);
    };
    if (!m_complete) {
        for (const std::uint32_t rank : m_resultRanks) {
            if (Has(m_hits, rank)) take(rank);
        }
        return result;
    }
    for (std::size_t word = 0; word < m_hits.size(); ++word) {
        for (std::uint64_t bits = m_hits[word]; bits != 0; bits &= bits - 1)
            take(static_cast<std::uint32_t>(word * 64 +
                                            static_cast<unsigned>(__builtin_ctzll(bits))));
    }
    if (m_outside.empty()) return result;
    // Names found outside the list are sorted in among the listed ones, each distinct name
    // once in the order first collected: names that sort as equal would otherwise come in
    // turns and no longer collapse.
    std::vector<std::string> outside;
    std::unordered_set<std::string_view> seen;
    for (const std::string &name : m_outside)
        if (seen.insert(name).second) outside.push_back(name);
    SortNames(outside);
    std::vector<std::string> merged;
    merged.reserve(result.ranks.size() + outside.size());
    std::size_t next = 0;
    for (const std::uint32_t rank : result.ranks) {
        const std::string_view listed = m_catalog.name(rank);
        while (next < outside.size() && CompareNames(outside[next], listed) < 0)
            merged.push_back(std::move(outside[next++]));
        merged.emplace_back(listed);
    }
    while (next < outside.size()) merged.push_back(std::move(outside[next++]));
    result.ranks.clear();
    result.byName = true;
    std::string_view last;  // an empty list counts as ending with the empty name
    for (std::string &name : merged) {
        if (name == last) continue;
        result.names.push_back(std::move(name));
        last = result.names.back();
    }
    return result;
}

RankedResult SearchRanks(const std::string &recipeFile, SearchScope scope,
                         std::string_view searchString, const NameCatalog &catalog,
                         const std::vector<std::uint32_t> &resultRanks, bool complete,
                         const RecordHandler &onRecord, const RecordFilter *filter) {
    RankCollector collector(catalog, resultRanks, complete);
    std::size_t record = 0;
    ScanRecipes(
        recipeFile, catalog.records(), scope, searchString,
        [&](std::string_view name) { collector.CollectMatch(record, name); },
        [&] {
            ++record;
            if (onRecord) onRecord();
        },
        filter);
    return collector.MergeMatches();
}

RankedResult SearchRanks(IndexedTextFile &recipeFile, SearchScope scope,
                         std::string_view searchString, const NameCatalog &catalog,
                         const std::vector<std::uint32_t> &resultRanks, bool complete,
                         const RecordHandler &onRecord) {
    RankCollector collector(catalog, resultRanks, complete);
    std::size_t record = 0;
    ScanRecipes(
        recipeFile, scope, searchString,
        [&](std::string_view name) { collector.CollectMatch(record, name); },
        [&] {
            ++record;
            if (onRecord) onRecord();
        });
    return collector.MergeMatches();
}

}  // namespace sapidoro
