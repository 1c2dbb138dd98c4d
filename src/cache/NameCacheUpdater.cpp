#include "cache/NameCacheUpdater.h"

#include "cache/NameCache.h"
#include "search/NameCatalog.h"

#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <system_error>

namespace sapidoro {

NameCacheUpdater::~NameCacheUpdater() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

void NameCacheUpdater::update(const std::string &dataFolder, const std::string &cachePath) {
    {
        const std::lock_guard lock(m_mutex);
        m_pending = Request{dataFolder, cachePath};
        if (!m_thread.joinable()) {
            try {
                m_thread = std::thread([this] { run(); });
            } catch (const std::system_error &) {
                // No thread to spare: the collection is walked at each start, as without a cache.
                m_pending.reset();
            }
        }
    }
    m_wake.notify_all();
}

void NameCacheUpdater::waitIdle() {
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return m_stopping || (!m_pending && !m_busy); });
}

void NameCacheUpdater::run() {
    for (;;) {
        Request request;
        {
            std::unique_lock lock(m_mutex);
            m_busy = false;
            m_wake.notify_all();
            m_wake.wait(lock, [this] { return m_stopping || m_pending; });
            if (m_stopping) return;
            request = std::move(*m_pending);
            m_pending.reset();
            m_busy = true;
        }
        make(request);
    }
}

bool NameCacheUpdater::pause(double seconds) {
    std::unique_lock lock(m_mutex);
    return !m_wake.wait_for(lock, std::chrono::duration<double>(seconds),
                            [this] { return m_stopping || m_pending; });
}

void NameCacheUpdater::make(const Request &request) {
    const std::string recipeFile = request.dataFolder + "ricette.txt";
    // A file changed a moment ago may change again within its clock's tick: its cache waits.
    for (int tries = 0; tries < 8; ++tries) {
        struct stat info;
        struct timespec now;
        if (::stat(recipeFile.c_str(), &info) != 0 || ::clock_gettime(CLOCK_REALTIME, &now) != 0)
            return;
        const auto changed = std::max(info.st_mtim.tv_sec, info.st_ctim.tv_sec);
        const double wait = static_cast<double>(RecordTable::kSettledSeconds) + 0.2 -
                            static_cast<double>(now.tv_sec - changed);
        if (wait <= 0) {
            try {
                const std::int64_t walkedAt = NameCacheClock();
                NameCatalog catalog = NameCatalog::ListSorted(recipeFile);
                WriteNameCache(request.cachePath, recipeFile, catalog, walkedAt);
            } catch (...) {
                // An unreadable file gets no cache; its start-up reports it.
            }
            return;
        }
        if (!pause(std::max(wait, 1.0))) return;
    }
}

}  // namespace sapidoro
