#pragma once

#include "scan/IndexedTextFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sapidoro {

// Where one record lies: from its first line to past its separator line's line end (0 while
// the record is cut short), and where its name line begins.
struct RecordPlace {
    std::uint64_t start = 0;
    std::uint64_t nameLine = 0;
    std::uint64_t end = 0;
};

// What the reading rules make of a name in the recipe file.
struct NameFacts {
    std::optional<RecordPlace> listed;  // the first record the start-up walk lists under it
    int listedCount = 0;
    // The line where the lookup by name finds it; looked for up to the line where the walk
    // lists the first name asked, as no later hit can come before that one.
    std::optional<std::uint64_t> lookupHit;
};

// What a save needs to know of the recipe file, found in one pass of its lines.
struct CollectionScan {
    std::vector<NameFacts> names;         // one per name asked
    std::uint64_t appendAt = 0;           // past the last whole record (or the first line)
    bool firstLineMissing = false;        // the file has no first line: new records need one
    std::optional<std::size_t> repeated;  // a name asked twice: the second time it was asked
};

// Reads the file as the start-up walk does (through `walk`) and as the lookup by name does
// (through `lookup`, another reader of the same bytes), for `names`.
CollectionScan ScanCollection(IndexedTextFile &walk, IndexedTextFile &lookup,
                              const std::vector<std::string_view> &names);

// True when offset `at` of `bytes` is the start of a line (the first line, or after a line
// end).
bool StartsLine(std::string_view bytes, std::uint64_t at);

}  // namespace sapidoro
