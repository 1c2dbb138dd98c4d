#include "search/NameCatalog.h"

#include "common/Collation.h"
#include "common/QtText.h"
#include "data/RecipeFile.h"
#include "data/TextFile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace sapidoro {

namespace {

std::uint64_t HashBytes(std::string_view bytes) {
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ bytes.size();
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        h = (h ^ word) * 0xBF58476D1CE4E5B9ull;
        h ^= h >> 31;
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, bytes.data() + i, bytes.size() - i);
    h = (h ^ tail) * 0x94D049BB133111EBull;
    return h ^ (h >> 29);
}

struct HashedRank {
    std::uint64_t hash;
    std::uint32_t rank;
};

// Sorts by hash, sixteen bits at a time from the lowest, in four passes over the list.
void SortByHash(std::vector<HashedRank> &items) {
    std::vector<HashedRank> scratch(items.size());
    for (int shift = 0; shift < 64; shift += 16) {
        std::vector<std::size_t> starts(65537, 0);
        for (const HashedRank &item : items) ++starts[((item.hash >> shift) & 0xFFFF) + 1];
        for (std::size_t b = 1; b < starts.size(); ++b) starts[b] += starts[b - 1];
        for (const HashedRank &item : items)
            scratch[starts[(item.hash >> shift) & 0xFFFF]++] = item;
        items.swap(scratch);
    }
}

// The longest record body looked at whole for "-Nome" lines; a longer one stops the table.
constexpr std::size_t kLongestTabledRecord = 4 * 1024 * 1024;

// Passes over the rest of a record up to and past its separator line; false at the end of
// the file. A body that fits the buffered bytes is looked at whole, for "-Nome" lines in it,
// and the record goes into the table.
bool PassRecordBody(TextFile &file, RecordTable &table) {
    std::size_t separator = file.markerLine(0, kRecordSeparator);
    while (separator == TextFile::npos && file.buffered() < kLongestTabledRecord &&
           !file.endsAt(file.buffered()))
        separator = file.markerLine(0, kRecordSeparator);
    if (separator == TextFile::npos) {
        table.stop();
        return file.skipPastLine(kRecordSeparator);
    }
    const std::size_t name = file.markerLine(0, kNameMarker);
    if (name != TextFile::npos && name < separator) table.markNameElsewhere();
    std::size_t end;
    file.advance(file.lineAfter(separator, end));
    table.addRecord(file.offset());
    return true;
}

}  // namespace

NameCatalog NameCatalog::List(TextFile &file) {
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
            catalog.m_bytes += name;
            // A file shortened by another program meanwhile ends where it now ends.
            if (!file.intact(0)) {
                catalog.m_bytes.resize(before);
                break;
            }
            catalog.m_starts.push_back(catalog.m_bytes.size());
            if (!PassRecordBody(file, table)) break;
        }
    }
    catalog.build();
    return catalog;
}

NameCatalog NameCatalog::List(const std::string &path) {
    const auto file = TextFile::MapOrOpen(path);
    return List(*file);
}

void NameCatalog::build() {
    const std::size_t count = m_starts.size() - 1;
    std::vector<std::string_view> names;
    names.reserve(count);
    for (std::size_t record = 0; record < count; ++record) names.push_back(recordName(record));
    m_recordOfRank = SortedOrder(names);
    m_rankOfRecord.resize(count);
    for (std::size_t rank = 0; rank < count; ++rank)
        m_rankOfRecord[m_recordOfRank[rank]] = static_cast<std::uint32_t>(rank);

    // Display texts made in file order, so that the names are read one after another.
    m_display.resize(static_cast<qsizetype>(count));
    QString *display = m_display.data();
    for (std::size_t record = 0; record < count; ++record)
        display[m_rankOfRecord[record]] = FromCp1252(names[record]);

    // Equal names are found by their hashes, sorted; the first rank of each stands for all.
    std::vector<HashedRank> hashed(count);
    for (std::size_t record = 0; record < count; ++record)
        hashed[record] = {HashBytes(names[record]), m_rankOfRecord[record]};
    SortByHash(hashed);
    m_firstRank.resize(count);
    for (std::size_t run = 0; run < count;) {
        std::size_t end = run + 1;
        while (end < count && hashed[end].hash == hashed[run].hash) ++end;
        for (std::size_t i = run; i < end; ++i) {
            std::uint32_t first = hashed[i].rank;
            for (std::size_t j = run; j < end; ++j) {
                if (hashed[j].rank < first && name(hashed[j].rank) == name(hashed[i].rank))
                    first = hashed[j].rank;
            }
            m_firstRank[hashed[i].rank] = first;
        }
        run = end;
    }
}

NameCatalog::~NameCatalog() {
    // Freed in the order they were made, one after another in memory, unless a list still
    // shares them.
    if (!m_display.isDetached()) return;
    QString *display = m_display.data();
    for (const std::uint32_t rank : m_rankOfRecord) display[rank] = QString();
}

QStringList NameCatalog::displayNames(const std::vector<std::uint32_t> &ranks) const {
    QStringList list;
    list.reserve(static_cast<qsizetype>(ranks.size()));
    for (const std::uint32_t rank : ranks) list.append(m_display[rank]);
    return list;
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
        if (this->name(rank) == name) return rank;
    }
    return kNoRank;
}

}  // namespace sapidoro
