#include "search/RecordTable.h"

#include <time.h>

namespace sapidoro {

namespace {

// A file changed this recently may be changed again within the same tick of the file
// system's clock (two seconds on some), and its identity would not tell.
constexpr std::int64_t kSettledSeconds = 3;

bool RecentlyChanged(const FileIdentity &identity) {
    struct timespec now;
    if (::clock_gettime(CLOCK_REALTIME, &now) != 0) return true;
    return now.tv_sec - identity.modifiedSeconds < kSettledSeconds;
}

}  // namespace

void RecordTable::begin(const FileIdentity &identity, std::uint64_t first) {
    if (RecentlyChanged(identity)) return;
    m_begun = true;
    m_identity = identity;
    m_starts.assign(1, first);
}

void RecordTable::addRecord(std::uint64_t next) {
    if (!m_stopped) m_starts.push_back(next);
}

}  // namespace sapidoro
