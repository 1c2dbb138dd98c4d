#pragma once

#include "common/SharedText.h"
#include "search/RecordTable.h"

#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace sapidoro {

class IndexedTextFile;
class NameCacheCodec;

// The recipe names listed at start-up, kept so that no search has to convert or sort the
// whole list again. A name is known by its rank, its place in the sorted list. The names'
// bytes stay in one block in file order, the display texts in the sorted order.
class NameCatalog {
public:
    static constexpr std::uint32_t kNoRank = UINT32_MAX;

    // The start-up listing of the recipe file (passes over its first line, takes line 2 of
    // every record, reads on to the record's separator line, stops at the end of the file),
    // sorted. Throws EInOutError when the file cannot be read.
    static NameCatalog List(IndexedTextFile &file, const NameCatalog *previous = nullptr);
    static NameCatalog List(const std::string &path, const NameCatalog *previous = nullptr);
    // With `previous`, the listing of the same file read earlier: when the file still holds
    // the same names in the same order, their order and display texts are taken over from
    // it instead of being made again, and shared with it.

    // The listing sorted, still without its display texts: plain data, made on any thread.
    static NameCatalog ListSorted(const std::string &path);
    // Makes the display texts of a listing from ListSorted, on the thread that shows them.
    void makeDisplayTexts();

    NameCatalog() = default;
    NameCatalog(NameCatalog &&) = default;
    NameCatalog &operator=(NameCatalog &&) = default;
    ~NameCatalog();

    std::size_t size() const { return m_rankOfRecord.size(); }
    // Every name in sorted order, as the lists show them: a name longer than
    // `kLongTextLimit` cut (QtText.h), which `name` gives whole.
    const QStringList &displayNames() const { return m_display; }
    QStringList displayNames(const std::vector<std::uint32_t> &ranks) const;
    std::string_view name(std::uint32_t rank) const { return recordName(m_recordOfRank[rank]); }
    // The same for holders that keep it; a name too long to be shown whole is shared.
    SharedText sharedName(std::uint32_t rank) const;

    // The first rank of the sorted list that bears the same name as `rank`.
    std::uint32_t firstRankOf(std::uint32_t rank) const { return m_firstRank[rank]; }
    // The first rank that bears `name`, read as the name of the record-th record of the
    // file (from 0); kNoRank for a name that is not listed. The record's place is tried
    // first, then every name.
    std::uint32_t firstRankOf(std::size_t record, std::string_view name) const;

    // The first record of the file (from 0) that bears `name`; SIZE_MAX when none does.
    std::size_t firstRecordOf(std::string_view name) const;
    // Where the records walked at start-up begin in the file.
    const RecordTable &records() const { return m_records; }

private:
    // The name cache stores and restores the sorted listing as it stands before its texts.
    friend class NameCacheCodec;

    std::string_view recordName(std::size_t record) const {
        const std::size_t size = m_starts[record + 1] - m_starts[record];
        if (size == 0 && !m_longNames.empty()) return longName(record);
        return {m_bytes.data() + m_starts[record], size};
    }
    std::string_view longName(std::size_t record) const;
    const SharedText *keptLongName(std::size_t record) const;
    static NameCatalog Walk(IndexedTextFile &file);
    void sort();
    bool takeOrderFrom(const NameCatalog &previous);
    std::uint32_t lookUp(std::string_view name) const;

    std::string m_bytes;  // the names in file order, one after another
    // A name too long to be shown whole is kept apart, copied once and then shared with its
    // holders; it takes no bytes in `m_bytes`. By record, in file order.
    std::vector<std::pair<std::size_t, SharedText>> m_longNames;
    std::vector<std::size_t> m_starts{0};  // where each record's name begins; one more
    std::vector<std::uint32_t> m_rankOfRecord;
    std::vector<std::uint32_t> m_recordOfRank;
    std::vector<std::uint32_t> m_firstRank;
    std::vector<std::uint8_t> m_apart;  // while building: rank known unequal to the one before
    QStringList m_display;
    RecordTable m_records;
    // Made on the first name that is not at its record's place (the file changed).
    mutable std::vector<std::uint64_t> m_lookup;       // hash's high half, first rank + 1
    mutable std::vector<std::uint32_t> m_firstRecord;  // by first rank, made on the first pick
};

}  // namespace sapidoro
