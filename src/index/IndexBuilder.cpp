#include "index/IndexBuilder.h"

#include <system_error>
#include <thread>
#include <vector>

namespace sapidoro {

void IndexBuilder::start(const std::string &path, const RecordTable &table) {
    m_state.reset();
    std::shared_ptr<const FileMapping> mapping = table.mappingOf(path);
    if (mapping == nullptr || table.size() == 0) return;
    try {
        std::vector<std::uint64_t> starts(table.size() + 1);
        for (std::size_t r = 0; r < starts.size(); ++r) starts[r] = table.start(r);
        auto state = std::make_shared<State>();
        std::thread([state, mapping = std::move(mapping), starts = std::move(starts)]() mutable {
            // An index that cannot be built (no memory) only leaves the searches scanning.
            try {
                state->index = TrigramIndex::Build(std::move(mapping), starts);
            } catch (...) {
                state->index.reset();
            }
            state->done.store(true, std::memory_order_release);
        }).detach();
        m_state = std::move(state);
    } catch (const std::system_error &) {
        // No thread to spare: the searches scan.
    } catch (const std::bad_alloc &) {
    }
}

const TrigramIndex *IndexBuilder::ready() const {
    if (m_state == nullptr || !m_state->done.load(std::memory_order_acquire)) return nullptr;
    return m_state->index ? &*m_state->index : nullptr;
}

}  // namespace sapidoro
