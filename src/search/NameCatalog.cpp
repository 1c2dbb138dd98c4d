#include "search/NameCatalog.h"

#include "common/Collation.h"
#include "common/QtText.h"
#include "data/RecipeFile.h"
#include "scan/IndexedTextFile.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <future>
#include <memory>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <utility>

namespace sapidoro {

namespace {

std::uint64_t HashPart(std::uint64_t h, std::string_view bytes) {
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        h = (h ^ word) * 0xBF58476D1CE4E5B9ull;
        h ^= h >> 31;
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, bytes.data() + i, bytes.size() - i);
    return (h ^ tail) * 0x94D049BB133111EBull;
}

// A long name is hashed by its length, head and tail: a lookup compares the names whose
// hashes agree anyway, and needs no pass over megabytes to find them.
std::uint64_t HashBytes(std::string_view bytes) {
    constexpr std::size_t kHashed = 4096;
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ bytes.size();
    if (bytes.size() <= 2 * kHashed) {
        h = HashPart(h, bytes);
    } else {
        h = HashPart(h, bytes.substr(0, kHashed));
        h = HashPart(h, bytes.substr(bytes.size() - kHashed));
    }
    return h ^ (h >> 29);
}

// The first rank of every name among the byte-identical ones. Those compare equal, and
// the sorted order keeps names that compare equal next to one another, so a name's first
// rank is found among the run of equal names it belongs to.
class FirstRanks {
public:
    // `apart`: the name is known to compare unequal to the one before.
    std::uint32_t next(std::string_view name, std::uint32_t rank, bool apart) {
        if (!apart && rank > 0 && name == m_previous) return m_previousFirst;
        if (apart || rank == 0 || !EqualNames(m_previous, name)) {
            m_run.clear();
            m_index.clear();
            m_runStart = rank;
        }
        m_previous = name;
        m_previousFirst = find(name);
        if (m_previousFirst == kNoRank) {
            m_previousFirst = rank;
            add(name, rank);
        }
        return m_previousFirst;
    }

    // The first rank of the run of equal names the last name belongs to: the names kept
    // lie from there on.
    std::uint32_t runStart() const { return m_runStart; }

private:
    static constexpr std::uint32_t kNoRank = UINT32_MAX;
    static constexpr std::size_t kIndexFrom = 8;  // a long run of variants is looked up by hash

    std::uint32_t find(std::string_view name) const {
        if (!m_index.empty()) {
            const auto found = m_index.find(name);
            return found == m_index.end() ? kNoRank : found->second;
        }
        for (const auto &[seen, first] : m_run)
            if (seen == name) return first;
        return kNoRank;
    }
    void add(std::string_view name, std::uint32_t rank) {
        m_run.emplace_back(name, rank);
        if (m_run.size() == kIndexFrom)
            for (const auto &[seen, first] : m_run) m_index.emplace(seen, first);
        else if (m_run.size() > kIndexFrom)
            m_index.emplace(name, rank);
    }

    std::string_view m_previous;
    std::uint32_t m_previousFirst = 0;
    std::uint32_t m_runStart = 0;
    std::vector<std::pair<std::string_view, std::uint32_t>> m_run;  // distinct names of the run
    std::unordered_map<std::string_view, std::uint32_t> m_index;
};

// The longest record body looked at whole for "-Nome" lines; a longer one stops the table.
constexpr std::size_t kLongestTabledRecord = 4 * 1024 * 1024;

// Passes over the rest of a record up to and past its separator line; false at the end of
// the file. A body that fits the buffered bytes is looked at whole, for "-Nome" lines in it,
// and the record goes into the table.
bool PassRecordBody(IndexedTextFile &file, RecordTable &table) {
    // One pass over the body's marker places finds the separator and any "-Nome" line before it.
    bool nameInBody = false;
    std::size_t separator = file.markerLineNoting(0, kRecordSeparator, kNameMarker, nameInBody);
    while (separator == IndexedTextFile::npos && file.buffered() < kLongestTabledRecord &&
           !file.endsAt(file.buffered()))
        separator = file.markerLineNoting(0, kRecordSeparator, kNameMarker, nameInBody);
    if (separator == IndexedTextFile::npos) {
        table.stop();
        return file.skipPastLine(kRecordSeparator);
    }
    if (nameInBody) table.markNameElsewhere();
    std::size_t end;
    file.advance(file.lineAfter(separator, end));
    table.addRecord(file.offset());
    return true;
}

}  // namespace

NameCatalog NameCatalog::Walk(IndexedTextFile &file) {
    NameCatalog catalog;
    RecordTable &table = catalog.m_records;
    // Only a mapped file has an identity to check the table against; a small one may be
    // copied out of its mapping as soon as it is read.
    std::shared_ptr<const FileMapping> mapping = file.sharedMapping();
    // The walk jumps from one separator line to the next; "-Nome" lines are watched too, for
    // the table to tell whether any stands elsewhere than at the head of a record.
    file.watchMarkers(kRecordSeparator, kNameMarker);
    if (!file.eof()) {
        if (file.readLineView() == kNameMarker) table.markNameElsewhere();
        table.begin(std::move(mapping), file.offset());
        while (!file.eof()) {
            if (file.readLineView() != kNameMarker) table.markNameElsewhere();
            if (file.eof()) break;
            const std::size_t before = catalog.m_bytes.size();
            const std::string_view name = file.readLineView();
            if (name == kNameMarker) table.markNameElsewhere();
            std::string longName;
            if (name.size() > static_cast<std::size_t>(kLongTextLimit))
                longName.assign(name);
            else
                catalog.m_bytes += name;
            // A file shortened by another program meanwhile ends where it now ends.
            if (!file.intact(0)) {
                catalog.m_bytes.resize(before);
                break;
            }
            if (!longName.empty())
                catalog.m_longNames.emplace_back(catalog.m_starts.size() - 1, std::move(longName));
            catalog.m_starts.push_back(catalog.m_bytes.size());
            if (!PassRecordBody(file, table)) break;
        }
    }
    return catalog;
}

NameCatalog NameCatalog::List(IndexedTextFile &file, const NameCatalog *previous) {
    NameCatalog catalog = Walk(file);
    if (previous == nullptr || !catalog.takeOrderFrom(*previous)) {
        catalog.sort();
        catalog.makeDisplayTexts();
    }
    return catalog;
}

NameCatalog NameCatalog::List(const std::string &path, const NameCatalog *previous) {
    const auto file = IndexedTextFile::MapOrOpen(path);
    return List(*file, previous);
}

NameCatalog NameCatalog::ListSorted(const std::string &path) {
    const auto file = IndexedTextFile::MapOrOpen(path);
    NameCatalog catalog = Walk(*file);
    catalog.sort();
    return catalog;
}

bool NameCatalog::takeOrderFrom(const NameCatalog &previous) {
    const auto sameLongNames = [&] {
        return std::equal(m_longNames.begin(), m_longNames.end(), previous.m_longNames.begin(),
                          previous.m_longNames.end(), [](const auto &a, const auto &b) {
                              return a.first == b.first && a.second.str() == b.second.str();
                          });
    };
    if (m_starts != previous.m_starts || m_bytes != previous.m_bytes || !sameLongNames())
        return false;
    m_recordOfRank = previous.m_recordOfRank;
    m_rankOfRecord = previous.m_rankOfRecord;
    m_firstRank = previous.m_firstRank;
    m_display = previous.m_display;
    return true;
}

void NameCatalog::sort() {
    const std::size_t count = m_starts.size() - 1;
    {  // the views are dropped before the display texts are made
        std::vector<std::string_view> names;
        names.reserve(count);
        for (std::size_t record = 0; record < count; ++record) names.push_back(recordName(record));
        m_recordOfRank = SortedOrder(names, &m_apart);
    }
    m_rankOfRecord.resize(count);
    for (std::size_t rank = 0; rank < count; ++rank)
        m_rankOfRecord[m_recordOfRank[rank]] = static_cast<std::uint32_t>(rank);
}

namespace {

// A list this long has its texts made on two threads.
constexpr std::size_t kTextsSplitFrom = std::size_t{1} << 14;

}  // namespace

void NameCatalog::makeDisplayTexts() {
    if (m_display.size() == static_cast<qsizetype>(size())) return;  // made already
    // The texts are made in sorted order, the order in which the lists read them and the
    // catalog frees them. The names lie in file order, far apart in a long list: one pass in
    // file order first copies them into groups of 4096 ranks, so that each group is then read
    // from a small stretch of memory rather than from all over the list. A group's copies
    // are freed once no name of them is compared any more, and their memory goes to the next
    // texts.
    constexpr unsigned kGroupBits = 12;
    constexpr std::size_t kRankBytes = sizeof(std::uint32_t);
    constexpr std::size_t kHeader = kRankBytes + sizeof(std::size_t);  // rank and length
    constexpr auto kLongCopy = static_cast<std::size_t>(kLongTextLimit);
    const std::size_t count = size();
    const std::size_t groups = (count >> kGroupBits) + 1;
    std::vector<std::size_t> groupBytes(groups, 0);
    // A name too long to be shown whole is not copied: its record stands in for its bytes.
    const auto copied = [](std::size_t size) {
        return size > kLongCopy ? sizeof(std::size_t) : size;
    };
    for (std::size_t record = 0; record < count; ++record)
        groupBytes[m_rankOfRecord[record] >> kGroupBits] +=
            kHeader + copied(recordName(record).size());
    std::vector<std::unique_ptr<char[]>> copies(groups);
    for (std::size_t g = 0; g < groups; ++g)
        copies[g] = std::make_unique_for_overwrite<char[]>(groupBytes[g]);
    std::vector<std::size_t> fill(groups, 0);
    for (std::size_t record = 0; record < count; ++record) {
        const std::string_view name = recordName(record);
        const std::size_t size = name.size();
        const std::size_t g = m_rankOfRecord[record] >> kGroupBits;
        char *out = copies[g].get() + fill[g];
        std::memcpy(out, &m_rankOfRecord[record], kRankBytes);
        std::memcpy(out + kRankBytes, &size, sizeof size);
        if (size > kLongCopy)
            std::memcpy(out + kHeader, &record, sizeof record);
        else
            std::memcpy(out + kHeader, name.data(), size);
        fill[g] += kHeader + copied(size);
    }

    m_display.resize(static_cast<qsizetype>(count));
    m_firstRank.resize(count);
    QString *display = m_display.data();
    // Makes the texts of the groups [firstGroup, lastGroup), whose first rank begins a run
    // of equal names.
    const auto makeTexts = [&](std::size_t firstGroup, std::size_t lastGroup) {
        FirstRanks firstRanks;
        std::vector<std::string_view> group(std::min(count, std::size_t{1} << kGroupBits));
        std::size_t freed = firstGroup;  // the groups below are freed
        for (std::size_t g = firstGroup; g < lastGroup; ++g) {
            const char *bytes = copies[g].get();
            for (std::size_t at = 0; at < groupBytes[g];) {
                std::uint32_t rank;
                std::size_t size;
                std::memcpy(&rank, bytes + at, kRankBytes);
                std::memcpy(&size, bytes + at + kRankBytes, sizeof size);
                std::string_view &name = group[rank & ((1u << kGroupBits) - 1)];
                if (size > kLongCopy) {
                    std::size_t record;
                    std::memcpy(&record, bytes + at + kHeader, sizeof record);
                    name = recordName(record);
                } else {
                    name = {bytes + at + kHeader, size};
                }
                at += kHeader + copied(size);
            }
            const std::size_t first = g << kGroupBits;
            const std::size_t end = std::min(count, first + (std::size_t{1} << kGroupBits));
            for (std::size_t rank = first; rank < end; ++rank) {
                const std::string_view name = group[rank - first];
                display[rank] = ShownText(name);
                m_firstRank[rank] =
                    firstRanks.next(name, static_cast<std::uint32_t>(rank), m_apart[rank] != 0);
            }
            // A group's copies stay while the names compared with the next ones lie in them.
            for (; freed < (firstRanks.runStart() >> kGroupBits); ++freed) copies[freed].reset();
        }
    };
    // A long list is made in two halves at once, split where a name is known to differ
    // from the one before it, so that each half finds its runs of equal names by itself.
    std::size_t split = groups / 2;
    while (split < groups && (split << kGroupBits) < count && m_apart[split << kGroupBits] == 0)
        ++split;
    std::future<void> second;
    if (count >= kTextsSplitFrom && (split << kGroupBits) < count &&
        std::thread::hardware_concurrency() > 1) {
        try {
            second = std::async(std::launch::async, makeTexts, split, groups);
        } catch (const std::system_error &) {
            // No thread to spare: this one makes every text.
        }
    }
    makeTexts(0, second.valid() ? split : groups);
    if (second.valid()) second.get();
    m_apart = {};
}

NameCatalog::~NameCatalog() {
    // The texts are freed in the order they were made, unless a list still shares them. The
    // allocator merges freed small blocks when a large one is asked for: asking after each
    // group, while the blocks just freed are in the cache, costs far less than merging them
    // all from memory at the end.
    if (!m_display.isDetached()) return;
    QString *texts = m_display.data();
    for (qsizetype i = 0; i < m_display.size(); ++i) {
        texts[i] = QString();
        if ((i & 4095) == 4095) {
            static void *volatile block;
            block = std::malloc(4096);
            std::free(block);
        }
    }
}

QStringList NameCatalog::displayNames(const std::vector<std::uint32_t> &ranks) const {
    QStringList list;
    list.reserve(static_cast<qsizetype>(ranks.size()));
    for (const std::uint32_t rank : ranks) list.append(m_display[rank]);
    return list;
}

SharedText NameCatalog::sharedName(std::uint32_t rank) const {
    const std::size_t record = m_recordOfRank[rank];
    if (const SharedText *kept = keptLongName(record)) return *kept;
    return std::string(recordName(record));
}

std::string_view NameCatalog::longName(std::size_t record) const {
    const SharedText *kept = keptLongName(record);
    return kept != nullptr ? std::string_view(*kept) : std::string_view();
}

const SharedText *NameCatalog::keptLongName(std::size_t record) const {
    const auto found = std::lower_bound(m_longNames.begin(), m_longNames.end(), record,
                                        [](const std::pair<std::size_t, SharedText> &kept,
                                           std::size_t r) { return kept.first < r; });
    return found != m_longNames.end() && found->first == record ? &found->second : nullptr;
}

std::uint32_t NameCatalog::firstRankOf(std::size_t record, std::string_view name) const {
    if (record < size() && recordName(record) == name) return m_firstRank[m_rankOfRecord[record]];
    return lookUp(name);
}

std::size_t NameCatalog::firstRecordOf(std::string_view name) const {
    const std::uint32_t first = lookUp(name);
    if (first == kNoRank) return SIZE_MAX;
    if (m_firstRecord.empty()) {
        // Equal names need not stand side by side where the order ignores case.
        m_firstRecord.assign(size(), UINT32_MAX);
        for (std::uint32_t rank = 0; rank < size(); ++rank) {
            std::uint32_t &record = m_firstRecord[m_firstRank[rank]];
            record = std::min(record, m_recordOfRank[rank]);
        }
    }
    return m_firstRecord[first];
}

std::uint32_t NameCatalog::lookUp(std::string_view name) const {
    if (size() == 0) return kNoRank;
    std::size_t slotCount = 16;
    while (slotCount < 2 * size()) slotCount *= 2;
    const std::size_t mask = slotCount - 1;
    const auto slotOf = [](std::uint64_t hash, std::uint32_t rank) {
        return (hash & 0xFFFFFFFF00000000ull) | (static_cast<std::uint64_t>(rank) + 1);
    };
    if (m_lookup.empty()) {
        m_lookup.assign(slotCount, 0);
        for (std::uint32_t rank = 0; rank < size(); ++rank) {
            if (m_firstRank[rank] != rank) continue;
            const std::uint64_t hash = HashBytes(this->name(rank));
            std::size_t slot = hash & mask;
            while (m_lookup[slot] != 0) slot = (slot + 1) & mask;
            m_lookup[slot] = slotOf(hash, rank);
        }
    }
    const std::uint64_t hash = HashBytes(name);
    for (std::size_t slot = hash & mask; m_lookup[slot] != 0; slot = (slot + 1) & mask) {
        if ((m_lookup[slot] ^ hash) >> 32 != 0) continue;
        const auto rank = static_cast<std::uint32_t>((m_lookup[slot] & 0xFFFFFFFFull) - 1);
        const std::string_view listed = this->name(rank);
        // A long name the catalog shared with the caller is its own bytes: no pass over them.
        if (listed.size() == name.size() && (listed.data() == name.data() || listed == name))
            return rank;
    }
    return kNoRank;
}

}  // namespace sapidoro
