#include "search/RecordTable.h"

#include <sys/stat.h>
#include <time.h>

namespace sapidoro {

namespace {

bool RecentlyChanged(const FileIdentity &identity) {
    struct timespec now;
    if (::clock_gettime(CLOCK_REALTIME, &now) != 0) return true;
    return now.tv_sec - identity.modifiedSeconds < RecordTable::kSettledSeconds;
}

}  // namespace

void RecordTable::begin(std::shared_ptr<const FileMapping> mapping, std::uint64_t first) {
    if (mapping == nullptr || RecentlyChanged(mapping->identity())) return;
    m_mapping = std::move(mapping);
    m_starts.assign(1, first);
}

bool RecordTable::restore(std::shared_ptr<const FileMapping> mapping,
                          std::vector<std::uint64_t> starts, bool namesOnlyAtHeads) {
    if (mapping == nullptr || starts.empty() || RecentlyChanged(mapping->identity())) return false;
    m_mapping = std::move(mapping);
    m_starts = std::move(starts);
    m_namesOnlyAtHeads = namesOnlyAtHeads;
    m_stopped = true;
    return true;
}

RecordTable::Layout &RecordTable::layout(std::size_t record) const {
    if (m_layouts.empty()) m_layouts.resize(size());
    return m_layouts[record];
}

std::shared_ptr<const FileMapping> RecordTable::mappingOf(const std::string &path) const {
    if (m_mapping == nullptr) return nullptr;
    // The path leads to the very file mapped, unchanged; nothing else is read through it.
    struct stat info;
    const bool same = ::stat(path.c_str(), &info) == 0 && IdentityOf(info) == m_mapping->identity();
    if (!same || m_mapping->shortened()) {
        m_mapping.reset();
        m_layouts = {};
    }
    return m_mapping;
}

void RecordTable::addRecord(std::uint64_t next) {
    // A file without a table keeps no offsets.
    if (!m_stopped && m_mapping != nullptr) m_starts.push_back(next);
}

}  // namespace sapidoro
