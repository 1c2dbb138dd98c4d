#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sapidoro {

// The working list of one search. `CollectMatch` records a matching record's name: every
// match when the result list was complete at the start of the search, otherwise once per
// equal item of the result list (so a name outside the list is never collected).
// `MergeMatches` gives the new result list: the collected names in sorted order, adjacent
// equal names collapsed, an empty name never first.
//
// A narrowed result list is indexed once, so a match costs a hash lookup instead of a walk
// over the whole list. A complete one is not indexed at all: the distinct matched names are
// kept, and the merge goes once through the list to put them in its order. Names are grouped
// in the order of the (sorted) result list; names that a complete search finds outside it
// are sorted into that order.
class MatchCollector {
public:
    // `resultList` must outlive the collector; it is the list as it stood when the search
    // began, in its sorted order.
    MatchCollector(const std::vector<std::string> &resultList, bool complete);

    void CollectMatch(std::string_view name);
    std::vector<std::string> MergeMatches() const;

private:
    // A distinct name: of the result list (narrowed search) or of the matches (complete).
    struct Group {
        std::string_view name;
        std::uint64_t hash = 0;
        std::size_t multiplicity = 0;  // equal items in the result list
        std::size_t hits = 0;          // copies collected
    };

    // The group of a name, or nothing; an open-addressing table of group numbers, so that
    // a table of many names costs no allocation per name.
    Group *findGroup(std::string_view name, std::uint64_t hash);
    const Group *findGroup(std::string_view name, std::uint64_t hash) const;
    void addGroup(std::string_view name, std::uint64_t hash);
    void growTable();
    // A copy of `name` that lives as long as the collector.
    std::string_view keepName(std::string_view name);
    std::vector<std::string> mergeComplete() const;

    const std::vector<std::string> &m_resultList;
    bool m_complete;
    std::vector<Group> m_groups;
    std::vector<std::uint64_t> m_slots;  // hash's high half, group number + 1; 0: free
    std::size_t m_slotMask = 0;
    // Complete search: the matched names' bytes (groups refer into them) and the group of
    // every match, in the order collected.
    std::vector<std::unique_ptr<char[]>> m_nameBlocks;
    char *m_current = nullptr;
    std::size_t m_blockUsed = 0;
    std::vector<std::uint32_t> m_sequence;
};

}  // namespace sapidoro
