#include "support/Watchdog.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>

namespace sapidoro::test {

namespace {

// Resident memory of this process in bytes, 0 when unknown.
std::size_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0, resident = 0;
    if (!(statm >> pages >> resident)) return 0;
    return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

[[noreturn]] void Abandon(const char *why) {
    std::fprintf(stderr, "Watchdog: %s; the test is abandoned.\n", why);
    std::fflush(stderr);
    ::_exit(1);
}

}  // namespace

Watchdog::Watchdog(std::chrono::seconds deadline, std::size_t growthLimitBytes) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    const std::size_t limit = ResidentBytes() + growthLimitBytes;
    m_thread = std::thread([this, end, limit] { watch(end, limit); });
}

Watchdog::~Watchdog() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_stop.notify_one();
    m_thread.join();
}

void Watchdog::watch(std::chrono::steady_clock::time_point deadline, std::size_t limit) {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stop.wait_for(lock, std::chrono::milliseconds(20), [this] { return m_stopping; })) {
        if (std::chrono::steady_clock::now() > deadline) Abandon("still running at the deadline");
        if (ResidentBytes() > limit) Abandon("memory grew past the limit");
    }
}

}  // namespace sapidoro::test
