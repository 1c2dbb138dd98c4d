#include "search/MatchCollector.h"

#include "common/Collation.h"

#include <algorithm>

namespace sapidoro {

MatchCollector::MatchCollector(const std::vector<std::string> &resultList, bool complete)
    : m_complete(complete) {
    m_groupOf.reserve(resultList.size());
    for (const std::string &item : resultList) {
        const auto [it, inserted] = m_groupOf.try_emplace(item, m_groups.size());
        if (inserted) m_groups.push_back({item, 0, 0});
        ++m_groups[it->second].multiplicity;
    }
}

void MatchCollector::CollectMatch(std::string_view name) {
    const auto it = m_groupOf.find(name);
    if (m_complete) {
        ++m_collected;
        if (it != m_groupOf.end()) {
            ++m_groups[it->second].hits;
        } else {
            m_outside.emplace_back(name);
        }
    } else if (it != m_groupOf.end()) {
        Group &group = m_groups[it->second];
        group.hits += group.multiplicity;
        m_collected += group.multiplicity;
    }
}

std::vector<std::string> MatchCollector::MergeMatches() const {
    // The distinct collected names in working-list order; copies of one name are adjacent.
    std::vector<std::string_view> working;
    for (const Group &group : m_groups) {
        if (group.hits > 0) working.push_back(group.name);
    }
    std::vector<std::string> outside = m_outside;  // `working` refers into it
    if (!outside.empty()) {
        SortNames(outside);
        for (const std::string &name : outside) {
            const auto at = std::upper_bound(
                working.begin(), working.end(), std::string_view(name),
                [](std::string_view a, std::string_view b) { return CompareNames(a, b) < 0; });
            working.insert(at, name);
        }
    }
    std::vector<std::string> merged;
    std::string_view last;  // an empty list counts as ending with the empty string
    for (std::string_view name : working) {
        if (name == last) continue;
        merged.emplace_back(name);
        last = name;
    }
    return merged;
}

}  // namespace sapidoro
