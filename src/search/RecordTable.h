#pragma once

#include "scan/FileMapping.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sapidoro {

// Where the records of the recipe file begin, as the start-up walk met them, so that a search
// or a pick can go straight to a record instead of walking every line before it. The table
// holds only for the file that was walked: its identity is checked before each use.
//
// The walk's mapping of the file is kept with the table, so that the pages it set up serve
// every later search without faulting again; they are the system's cache of the file, which
// it may take back at any time, not memory of the program's own.
class RecordTable {
public:
    // A file changed this recently may be changed again within the same tick of the file
    // system's clock (two seconds on some), and its identity would not tell.
    static constexpr std::int64_t kSettledSeconds = 3;

    // Starts the table of the file `mapping` maps; its first record begins at `first`. A file
    // changed in the last few seconds gets no table.
    void begin(std::shared_ptr<const FileMapping> mapping, std::uint64_t first);
    // The record at the table's end was met whole, up to its separator line; the next one
    // begins at `next`.
    void addRecord(std::uint64_t next);
    // No record is added from here on: the walk could not follow the rest in the table.
    void stop() { m_stopped = true; }
    // A "-Nome" line stands somewhere other than at the head of a record in the table, or a
    // record's head is another line.
    void markNameElsewhere() {
        if (!m_stopped) m_namesOnlyAtHeads = false;
    }

    // The kept mapping while the file at `path` is the file walked, as it was then; nothing
    // once it changed, and the mapping is let go.
    std::shared_ptr<const FileMapping> mappingOf(const std::string &path) const;
    // The records met whole; the first line of record `record` (at most `size()`, which is
    // where the walk goes on past the table) begins at `start(record)`.
    std::size_t size() const { return m_starts.size() - 1; }
    std::uint64_t start(std::size_t record) const { return m_starts[record]; }
    // True when every "-Nome" line up to the table's end heads a record, and every record
    // is headed by one.
    bool namesOnlyAtHeads() const { return m_namesOnlyAtHeads; }

    // What a search learnt of a record's layout, for the searches after it, as offsets from
    // the record's start: the CRs that end lines 1 to 12 (all zero until learnt, and when
    // line 12 ends too far in), and the "-Preparazione" line (zero until learnt).
    struct Layout {
        std::uint16_t lineEnds[12] = {};
        std::uint32_t preparation = 0;
    };
    // The layout of `record` (less than `size()`); the first call makes room for every record.
    Layout &layout(std::size_t record) const;

    // A table kept from an earlier walk of the file `mapping` maps, as `starts` and
    // `namesOnlyAtHeads()` told then; false (and no table) where `begin` would give none.
    bool restore(std::shared_ptr<const FileMapping> mapping, std::vector<std::uint64_t> starts,
                 bool namesOnlyAtHeads);

private:
    bool m_stopped = false;
    bool m_namesOnlyAtHeads = true;
    mutable std::shared_ptr<const FileMapping> m_mapping;
    mutable std::vector<Layout> m_layouts;
    std::vector<std::uint64_t> m_starts{0};
};

}  // namespace sapidoro
