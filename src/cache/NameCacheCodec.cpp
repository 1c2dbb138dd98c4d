#include "cache/NameCacheCodec.h"

#include "common/QtText.h"
#include "search/NameCatalog.h"

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <vector>

namespace sapidoro {

namespace {

constexpr char kMagic[8] = {'S', 'a', 'p', 'N', 'o', 'm', 'i', '\n'};

// Every field is eight bytes wide, so that the header has no padding to leave undefined.
struct Header {
    char magic[8];
    std::uint64_t version;
    std::uint64_t device, inode, size;
    std::int64_t modifiedSeconds, modifiedNanoseconds, changedSeconds, changedNanoseconds;
    std::uint64_t edgeChecksum;
    std::int64_t walkedSeconds;
    std::uint64_t count, nameBytes, longCount, longBytes, tableCount, namesOnlyAtHeads;
    std::uint64_t bodySize, bodyChecksum, headerChecksum;
};
static_assert(std::is_trivially_copyable_v<Header> && sizeof(Header) == 20 * 8);

// Counts past these are refused before any size is computed from them, so that no sum
// of them can overflow.
constexpr std::uint64_t kMostRecords = std::uint64_t{1} << 31;
constexpr std::uint64_t kMostBytes = std::uint64_t{1} << 40;

constexpr std::uint64_t kBodySeed = 0xB0D1;

constexpr std::uint64_t Padded(std::uint64_t size) {
    return (size + 7) & ~std::uint64_t{7};
}

// The body's parts, in order, from the header's counts.
struct Layout {
    std::uint64_t starts, ranks, apart, table, longs, longBytes, names, end;
    explicit Layout(const Header &h) {
        starts = 0;
        ranks = starts + (h.count + 1) * 8;
        apart = ranks + Padded(h.count * 4);
        table = apart + Padded(h.count);
        longs = table + h.tableCount * 8;
        longBytes = longs + h.longCount * 16;
        names = longBytes + Padded(h.longBytes);
        end = names + Padded(h.nameBytes);
    }
};

std::uint64_t HeaderChecksum(const Header &h) {
    return NameCacheCodec::Checksum(
        {reinterpret_cast<const char *>(&h), offsetof(Header, headerChecksum)}, 0x5A9D);
}

template <typename T>
void Put(std::string &out, std::uint64_t at, const T *items, std::size_t count) {
    if (count != 0) std::memcpy(out.data() + at, items, count * sizeof(T));
}

template <typename T>
std::vector<T> Take(std::string_view body, std::uint64_t at, std::uint64_t count) {
    std::vector<T> items(count);
    if (count != 0) std::memcpy(items.data(), body.data() + at, count * sizeof(T));
    return items;
}

}  // namespace

std::uint64_t NameCacheCodec::Checksum(std::string_view bytes, std::uint64_t seed) {
    constexpr std::uint64_t kPrime = 0x9E3779B97F4A7C15ull;
    std::uint64_t lane[4] = {seed ^ 0x243F6A8885A308D3ull, seed ^ 0x13198A2E03707344ull,
                             seed ^ 0xA4093822299F31D0ull, seed ^ 0x082EFA98EC4E6C89ull};
    const auto mix = [](std::uint64_t h, std::uint64_t word) {
        h = (h ^ word) * 0xBF58476D1CE4E5B9ull;
        return h ^ (h >> 29);
    };
    std::size_t i = 0;
    // Four lanes at once keep the multiplier busy.
    for (; i + 32 <= bytes.size(); i += 32) {
        for (int k = 0; k < 4; ++k) {
            std::uint64_t word;
            std::memcpy(&word, bytes.data() + i + 8 * k, 8);
            lane[k] = mix(lane[k], word);
        }
    }
    std::uint64_t h = bytes.size() * kPrime;
    for (const std::uint64_t l : lane) h = mix(h, l);
    for (; i < bytes.size(); ++i) h = mix(h, static_cast<unsigned char>(bytes[i]) + 1);
    return mix(h, kPrime);
}

std::uint64_t NameCacheCodec::EdgeChecksum(std::string_view file) {
    const std::size_t edge = std::min(kEdgeBytes, file.size());
    const std::uint64_t head = Checksum(file.substr(0, edge), 1);
    return Checksum(file.substr(file.size() - edge), head);
}

std::string NameCacheCodec::Encode(const NameCatalog &catalog, const Source &source) {
    const std::size_t count = catalog.m_starts.size() - 1;
    const RecordTable &table = catalog.m_records;
    // Only a sorted listing whose texts are not made yet holds what the texts are made from.
    if (catalog.m_recordOfRank.size() != count || catalog.m_apart.size() != count ||
        count >= kMostRecords)
        return {};
    Header h{};
    std::memcpy(h.magic, kMagic, sizeof kMagic);
    h.version = kFormatVersion;
    const FileIdentity &id = source.identity;
    h.device = id.device;
    h.inode = id.inode;
    h.size = id.size;
    h.modifiedSeconds = id.modifiedSeconds;
    h.modifiedNanoseconds = id.modifiedNanoseconds;
    h.changedSeconds = id.changedSeconds;
    h.changedNanoseconds = id.changedNanoseconds;
    h.edgeChecksum = source.edgeChecksum;
    h.walkedSeconds = source.walkedSeconds;
    h.count = count;
    h.nameBytes = catalog.m_bytes.size();
    h.longCount = catalog.m_longNames.size();
    for (const auto &[record, name] : catalog.m_longNames) h.longBytes += name.str().size();
    h.tableCount = table.size() + 1;
    h.namesOnlyAtHeads = table.namesOnlyAtHeads() ? 1 : 0;
    const Layout layout(h);
    h.bodySize = layout.end;

    std::string out(sizeof(Header) + layout.end, '\0');
    const std::uint64_t base = sizeof(Header);
    std::vector<std::uint64_t> starts(catalog.m_starts.begin(), catalog.m_starts.end());
    Put(out, base + layout.starts, starts.data(), starts.size());
    Put(out, base + layout.ranks, catalog.m_recordOfRank.data(), count);
    Put(out, base + layout.apart, catalog.m_apart.data(), count);
    for (std::size_t i = 0; i < h.tableCount; ++i) {
        const std::uint64_t start = table.start(i);
        Put(out, base + layout.table + i * 8, &start, 1);
    }
    std::uint64_t longAt = base + layout.longBytes;
    for (std::size_t i = 0; i < catalog.m_longNames.size(); ++i) {
        const std::string &name = catalog.m_longNames[i].second.str();
        const std::uint64_t entry[2] = {catalog.m_longNames[i].first, name.size()};
        Put(out, base + layout.longs + i * 16, entry, 2);
        Put(out, longAt, name.data(), name.size());
        longAt += name.size();
    }
    Put(out, base + layout.names, catalog.m_bytes.data(), catalog.m_bytes.size());
    std::memcpy(out.data(), &h, sizeof h);
    Seal(out);
    return out;
}

void NameCacheCodec::Seal(std::string &cache) {
    Header h;
    if (cache.size() < sizeof h) return;
    std::memcpy(&h, cache.data(), sizeof h);
    h.bodyChecksum = Checksum(std::string_view(cache).substr(sizeof h), kBodySeed);
    h.headerChecksum = HeaderChecksum(h);
    std::memcpy(cache.data(), &h, sizeof h);
}

namespace {

std::optional<Header> SoundHeader(std::string_view cache) {
    Header h;
    if (cache.size() < sizeof h) return std::nullopt;
    std::memcpy(&h, cache.data(), sizeof h);
    if (std::memcmp(h.magic, kMagic, sizeof kMagic) != 0 ||
        h.version != NameCacheCodec::kFormatVersion || h.headerChecksum != HeaderChecksum(h))
        return std::nullopt;
    if (h.count >= kMostRecords || h.tableCount == 0 || h.tableCount > h.count + 1 ||
        h.longCount > h.count || h.nameBytes >= kMostBytes || h.longBytes >= kMostBytes ||
        h.namesOnlyAtHeads > 1)
        return std::nullopt;
    if (h.bodySize != Layout(h).end || cache.size() - sizeof h != h.bodySize) return std::nullopt;
    return h;
}

}  // namespace

std::optional<NameCacheCodec::Source> NameCacheCodec::SourceOf(std::string_view cache) {
    const std::optional<Header> h = SoundHeader(cache);
    if (!h) return std::nullopt;
    Source source;
    source.identity = {h->device,
                       h->inode,
                       h->size,
                       h->modifiedSeconds,
                       h->modifiedNanoseconds,
                       h->changedSeconds,
                       h->changedNanoseconds};
    source.edgeChecksum = h->edgeChecksum;
    source.walkedSeconds = h->walkedSeconds;
    return source;
}

std::unique_ptr<NameCatalog> NameCacheCodec::Decode(std::string_view cache,
                                                    std::shared_ptr<const FileMapping> mapping) {
    const std::optional<Header> sound = SoundHeader(cache);
    if (!sound || mapping == nullptr) return nullptr;
    const Header &h = *sound;
    const std::string_view body = cache.substr(sizeof h);
    if (Checksum(body, kBodySeed) != h.bodyChecksum) return nullptr;
    const Layout layout(h);
    const std::size_t count = h.count;

    auto catalog = std::make_unique<NameCatalog>();
    NameCatalog &c = *catalog;
    const auto starts = Take<std::uint64_t>(body, layout.starts, count + 1);
    if (starts.front() != 0 || starts.back() != h.nameBytes ||
        !std::is_sorted(starts.begin(), starts.end()))
        return nullptr;
    c.m_starts.assign(starts.begin(), starts.end());
    c.m_recordOfRank = Take<std::uint32_t>(body, layout.ranks, count);
    c.m_rankOfRecord.assign(count, NameCatalog::kNoRank);
    for (std::size_t rank = 0; rank < count; ++rank) {
        const std::uint32_t record = c.m_recordOfRank[rank];
        if (record >= count || c.m_rankOfRecord[record] != NameCatalog::kNoRank) return nullptr;
        c.m_rankOfRecord[record] = static_cast<std::uint32_t>(rank);
    }
    c.m_apart = Take<std::uint8_t>(body, layout.apart, count);

    // The records' starts rise within the file, as the walk met them.
    auto tableStarts = Take<std::uint64_t>(body, layout.table, h.tableCount);
    for (std::size_t i = 0; i < tableStarts.size(); ++i)
        if (tableStarts[i] > mapping->size() || (i > 0 && tableStarts[i] <= tableStarts[i - 1]))
            return nullptr;

    std::uint64_t longAt = layout.longBytes;
    const std::uint64_t longEnd = layout.longBytes + h.longBytes;
    for (std::size_t i = 0; i < h.longCount; ++i) {
        const auto entry = Take<std::uint64_t>(body, layout.longs + i * 16, 2);
        const std::uint64_t record = entry[0], size = entry[1];
        const bool ordered = c.m_longNames.empty() || record > c.m_longNames.back().first;
        if (record >= count || !ordered || starts[record + 1] != starts[record] ||
            size <= static_cast<std::uint64_t>(kLongTextLimit) || size > longEnd - longAt)
            return nullptr;
        c.m_longNames.emplace_back(record, std::string(body.substr(longAt, size)));
        longAt += size;
    }
    if (longAt != longEnd) return nullptr;
    c.m_bytes.assign(body.substr(layout.names, h.nameBytes));
    if (!c.m_records.restore(std::move(mapping), std::move(tableStarts), h.namesOnlyAtHeads != 0))
        return nullptr;
    return catalog;
}

}  // namespace sapidoro
