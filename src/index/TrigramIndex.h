#pragma once

#include "scan/FileMapping.h"
#include "search/RecordJump.h"
#include "search/Scope.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace sapidoro {

// For each search scope, the records whose tested lines hold each trigram of case-folded
// bytes, over the records of a start-up walk's table. A search string of three bytes or more
// then reads only the records that hold all of its trigrams; the scan's own test decides on
// them, so the index may name too many records but never too few. Trigrams share buckets of
// a hash: a shared bucket costs only a few more records read.
class TrigramIndex {
public:
    // The smallest search string the index serves; shorter ones hold no trigram.
    static constexpr std::size_t kShortestSearch = 3;

    // Indexes the records beginning at `starts` (the table's offsets, one more than its
    // records) in `mapping`. Plain data, made on any thread; nothing when the file was seen
    // shortened meanwhile.
    static std::optional<TrigramIndex> Build(std::shared_ptr<const FileMapping> mapping,
                                             const std::vector<std::uint64_t> &starts);

    // The records that may match `searchString` under `scope`; nothing when the index cannot
    // tell (a string too short).
    std::optional<RecordFilter> candidates(SearchScope scope, std::string_view searchString) const;

    const std::shared_ptr<const FileMapping> &mapping() const { return m_mapping; }
    // The records indexed under `scope`, from the first: the table road takes each of them.
    std::size_t covered(SearchScope scope) const { return m_scopes[Index(scope)]->covered; }
    // The bytes the index holds.
    std::size_t memoryBytes() const;

    static constexpr std::size_t kBuckets = std::size_t{1} << 17;

private:
    struct Postings {
        std::size_t covered = 0;
        std::uint64_t coveredEnd = 0;
        std::vector<std::uint64_t> offsets;  // kBuckets + 1, into `bytes`
        std::vector<std::uint8_t> bytes;     // by bucket: record numbers as varint gaps
        std::vector<std::uint8_t> dense;     // by bucket: 1 where the list is a bitmap instead
    };
    static std::size_t Index(SearchScope scope) { return static_cast<std::size_t>(scope); }

    std::shared_ptr<const FileMapping> m_mapping;
    std::array<std::shared_ptr<const Postings>, 6> m_scopes;
};

}  // namespace sapidoro
