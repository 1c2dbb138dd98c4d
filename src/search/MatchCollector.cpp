#include "search/MatchCollector.h"

#include "common/Collation.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace sapidoro {

namespace {

// A fast hash of a name, eight bytes at a time.
std::uint64_t HashName(std::string_view name) {
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ name.size();
    std::size_t i = 0;
    for (; i + 8 <= name.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, name.data() + i, 8);
        h = (h ^ word) * 0xBF58476D1CE4E5B9ull;
        h ^= h >> 31;
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, name.data() + i, name.size() - i);
    h = (h ^ tail) * 0x94D049BB133111EBull;
    return h ^ (h >> 29);
}

}  // namespace

MatchCollector::MatchCollector(const std::vector<std::string> &resultList, bool complete)
    : m_resultList(resultList), m_complete(complete) {
    // A complete search collects every match: only the matched names are kept.
    const std::size_t expected = complete ? 64 : resultList.size();
    std::size_t slots = 16;
    while (slots < expected * 2) slots *= 2;
    m_slots.assign(slots, 0);
    m_slotMask = slots - 1;
    if (complete) return;
    m_groups.reserve(resultList.size());
    for (const std::string &item : resultList) {
        const std::uint64_t hash = HashName(item);
        if (Group *group = findGroup(item, hash)) {
            ++group->multiplicity;
        } else {
            addGroup(item, hash);
            m_groups.back().multiplicity = 1;
        }
    }
}

const MatchCollector::Group *MatchCollector::findGroup(std::string_view name,
                                                       std::uint64_t hash) const {
    for (std::size_t slot = hash & m_slotMask; m_slots[slot] != 0; slot = (slot + 1) & m_slotMask) {
        const Group &group = m_groups[m_slots[slot] - 1];
        if (group.hash == hash && group.name == name) return &group;
    }
    return nullptr;
}

MatchCollector::Group *MatchCollector::findGroup(std::string_view name, std::uint64_t hash) {
    return const_cast<Group *>(std::as_const(*this).findGroup(name, hash));
}

void MatchCollector::addGroup(std::string_view name, std::uint64_t hash) {
    if ((m_groups.size() + 1) * 2 > m_slots.size()) growTable();
    m_groups.push_back({name, hash, 0, 0});
    std::size_t slot = hash & m_slotMask;
    while (m_slots[slot] != 0) slot = (slot + 1) & m_slotMask;
    m_slots[slot] = static_cast<std::uint32_t>(m_groups.size());
}

void MatchCollector::growTable() {
    m_slots.assign(m_slots.size() * 2, 0);
    m_slotMask = m_slots.size() - 1;
    for (std::size_t g = 0; g < m_groups.size(); ++g) {
        std::size_t slot = m_groups[g].hash & m_slotMask;
        while (m_slots[slot] != 0) slot = (slot + 1) & m_slotMask;
        m_slots[slot] = static_cast<std::uint32_t>(g + 1);
    }
}

void MatchCollector::CollectMatch(std::string_view name) {
    const std::uint64_t hash = HashName(name);
    Group *group = findGroup(name, hash);
    if (m_complete) {
        if (!group) {
            // The view must outlive the caller's bytes: the name is copied once.
            m_matchedNames.emplace_back(name);
            addGroup(m_matchedNames.back(), hash);
            group = &m_groups.back();
        }
        ++group->hits;
        ++m_collected;
        m_sequence.push_back(static_cast<std::uint32_t>(group - m_groups.data()));
    } else if (group) {
        group->hits += group->multiplicity;
        m_collected += group->multiplicity;
    }
}

std::vector<std::string> MatchCollector::mergeComplete() const {
    // The distinct matched names in the order of the result list, then the ones it lacks.
    std::vector<char> taken(m_groups.size(), 0);
    std::vector<std::string_view> working;
    std::size_t found = 0;
    for (const std::string &item : m_resultList) {
        if (found == m_groups.size()) break;
        const Group *group = findGroup(item, HashName(item));
        if (!group) continue;
        char &mark = taken[static_cast<std::size_t>(group - m_groups.data())];
        if (mark) continue;
        mark = 1;
        ++found;
        working.push_back(group->name);
    }
    std::vector<std::string> outside;  // every match outside the list, as collected
    if (found < m_groups.size()) {
        for (std::uint32_t g : m_sequence) {
            if (!taken[g]) outside.emplace_back(m_groups[g].name);
        }
    }
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
    merged.reserve(working.size());
    std::string_view last;  // an empty list counts as ending with the empty string
    for (std::string_view name : working) {
        if (name == last) continue;
        merged.emplace_back(name);
        last = name;
    }
    return merged;
}

std::vector<std::string> MatchCollector::MergeMatches() const {
    if (m_complete) return mergeComplete();
    std::vector<std::string> merged;
    std::string_view last;  // an empty list counts as ending with the empty string
    for (const Group &group : m_groups) {
        if (group.hits == 0 || group.name == last) continue;
        merged.emplace_back(group.name);
        last = group.name;
    }
    return merged;
}

}  // namespace sapidoro
