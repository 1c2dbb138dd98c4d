#include "search/MatchCollector.h"

#include "common/Collation.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace sapidoro {

namespace {

// A quick hash of a name from its length and its first, middle and last eight bytes: names
// differ there, and equal hashes are compared in full anyway.
std::uint64_t HashName(std::string_view name) {
    const std::size_t n = name.size();
    std::uint64_t first = 0, middle = 0, last = 0;
    if (n >= 8) {
        std::memcpy(&first, name.data(), 8);
        std::memcpy(&middle, name.data() + n / 2 - 4, 8);
        std::memcpy(&last, name.data() + n - 8, 8);
    } else {
        std::memcpy(&first, name.data(), n);
    }
    std::uint64_t h = (first ^ n) * 0xBF58476D1CE4E5B9ull;
    h = (h ^ (h >> 31) ^ middle) * 0x94D049BB133111EBull;
    h = (h ^ (h >> 29) ^ last) * 0xBF58476D1CE4E5B9ull;
    return h ^ (h >> 32);
}

// A slot of the table: the group number + 1 (0 for a free slot) and the hash's high half.
std::uint64_t Slot(std::uint64_t hash, std::size_t group) {
    return (hash & 0xFFFFFFFF00000000ull) | static_cast<std::uint32_t>(group + 1);
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
    const std::uint64_t high = hash & 0xFFFFFFFF00000000ull;
    for (std::size_t slot = hash & m_slotMask; m_slots[slot] != 0; slot = (slot + 1) & m_slotMask) {
        if ((m_slots[slot] & 0xFFFFFFFF00000000ull) != high) continue;
        const Group &group = m_groups[static_cast<std::uint32_t>(m_slots[slot]) - 1];
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
    m_slots[slot] = Slot(hash, m_groups.size() - 1);
}

void MatchCollector::growTable() {
    m_slots.assign(m_slots.size() * 2, 0);
    m_slotMask = m_slots.size() - 1;
    for (std::size_t g = 0; g < m_groups.size(); ++g) {
        std::size_t slot = m_groups[g].hash & m_slotMask;
        while (m_slots[slot] != 0) slot = (slot + 1) & m_slotMask;
        m_slots[slot] = Slot(m_groups[g].hash, g);
    }
}

std::string_view MatchCollector::keepName(std::string_view name) {
    // Names go into large blocks that never move, so that the groups' views stay valid.
    constexpr std::size_t kBlock = 64 * 1024;
    if (name.size() > kBlock / 4) {
        // A long name gets a block of its own; the current block for short names stays.
        m_nameBlocks.emplace_back(new char[name.size()]);
        std::memcpy(m_nameBlocks.back().get(), name.data(), name.size());
        return {m_nameBlocks.back().get(), name.size()};
    }
    if (!m_current || m_blockUsed + name.size() > kBlock) {
        m_current = new char[kBlock];
        m_nameBlocks.emplace_back(m_current);
        m_blockUsed = 0;
    }
    char *at = m_current + m_blockUsed;
    std::memcpy(at, name.data(), name.size());
    m_blockUsed += name.size();
    return {at, name.size()};
}

void MatchCollector::CollectMatch(std::string_view name) {
    const std::uint64_t hash = HashName(name);
    Group *group = findGroup(name, hash);
    if (m_complete) {
        if (!group) {
            // The view must outlive the caller's bytes: the name is copied once.
            addGroup(keepName(name), hash);
            group = &m_groups.back();
        }
        ++group->hits;
        m_sequence.push_back(static_cast<std::uint32_t>(group - m_groups.data()));
    } else if (group) {
        group->hits += group->multiplicity;
    }
}

std::vector<std::string> MatchCollector::mergeComplete() const {
    // The distinct matched names in the order of the result list, then the ones it lacks.
    std::vector<char> taken(m_groups.size(), 0);
    std::vector<std::string_view> working;
    std::size_t found = 0;
    // The table is probed at random: each item's slot is fetched a few items ahead.
    constexpr std::size_t kAhead = 8;
    std::uint64_t hashes[kAhead];
    const std::size_t count = m_resultList.size();
    const auto hashAhead = [&](std::size_t i) {
        hashes[i % kAhead] = HashName(m_resultList[i]);
        __builtin_prefetch(&m_slots[hashes[i % kAhead] & m_slotMask]);
    };
    for (std::size_t i = 0; i < count && i < kAhead; ++i) hashAhead(i);
    for (std::size_t i = 0; i < count; ++i) {
        if (found == m_groups.size()) break;
        const std::string &item = m_resultList[i];
        const std::uint64_t hash = hashes[i % kAhead];
        if (i + kAhead < count) hashAhead(i + kAhead);
        const Group *group = findGroup(item, hash);
        if (!group) continue;
        char &mark = taken[static_cast<std::size_t>(group - m_groups.data())];
        if (mark) continue;
        mark = 1;
        ++found;
        working.push_back(group->name);
    }
    // Each distinct match outside the list once, in the order first collected: names that
    // sort as equal would otherwise come in turns and no longer collapse.
    std::vector<std::string> outside;
    if (found < m_groups.size()) {
        for (std::uint32_t g : m_sequence) {
            if (taken[g]) continue;
            taken[g] = 1;
            outside.emplace_back(m_groups[g].name);
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
