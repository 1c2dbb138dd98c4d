#pragma once

#include "index/TrigramIndex.h"
#include "search/RecordTable.h"

#include <atomic>
#include <memory>
#include <optional>
#include <string>

namespace sapidoro {

// Builds the trigram index of a start-up walk's table on a worker thread, so that the window
// answers meanwhile; until it is ready, searches scan.
class IndexBuilder {
public:
    // Starts the index of `table`'s records in the file at `path` (on the table's thread).
    // An earlier build is let go: it finishes on its own and is thrown away. Without a
    // thread to spare, or a table that no longer describes the file, no index is built.
    void start(const std::string &path, const RecordTable &table);
    // The index once built; null before, and when it could not be built.
    const TrigramIndex *ready() const;

private:
    struct State {
        std::atomic<bool> done{false};
        std::optional<TrigramIndex> index;
    };
    std::shared_ptr<State> m_state;
};

}  // namespace sapidoro
