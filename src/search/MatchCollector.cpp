#include "search/MatchCollector.h"

#include "common/Collation.h"

#include <algorithm>
#include <cstring>

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
    : m_complete(complete) {
    std::size_t slots = 16;
    while (slots < resultList.size() * 2) slots *= 2;
    m_slots.assign(slots, 0);
    m_slotMask = slots - 1;
    m_groups.reserve(resultList.size());
    for (const std::string &item : resultList) {
        const std::uint64_t hash = HashName(item);
        std::size_t slot = hash & m_slotMask;
        for (; m_slots[slot] != 0; slot = (slot + 1) & m_slotMask) {
            Group &group = m_groups[m_slots[slot] - 1];
            if (group.hash == hash && group.name == item) break;
        }
        if (m_slots[slot] == 0) {
            m_groups.push_back({item, hash, 0, 0});
            m_slots[slot] = static_cast<std::uint32_t>(m_groups.size());
        }
        ++m_groups[m_slots[slot] - 1].multiplicity;
    }
}

MatchCollector::Group *MatchCollector::findGroup(std::string_view name, std::uint64_t hash) {
    for (std::size_t slot = hash & m_slotMask; m_slots[slot] != 0; slot = (slot + 1) & m_slotMask) {
        Group &group = m_groups[m_slots[slot] - 1];
        if (group.hash == hash && group.name == name) return &group;
    }
    return nullptr;
}

void MatchCollector::CollectMatch(std::string_view name) {
    Group *group = findGroup(name, HashName(name));
    if (m_complete) {
        ++m_collected;
        if (group) {
            ++group->hits;
        } else {
            m_outside.emplace_back(name);
        }
    } else if (group) {
        group->hits += group->multiplicity;
        m_collected += group->multiplicity;
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
