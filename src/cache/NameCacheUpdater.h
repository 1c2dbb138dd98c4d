#pragma once

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace sapidoro {

// Makes the name cache of a collection on a thread of its own, once its recipe file has
// settled: a walk of the file, then the cache written from it. The window never waits for
// it, except for a walk under way when it closes.
class NameCacheUpdater {
public:
    NameCacheUpdater() = default;
    NameCacheUpdater(const NameCacheUpdater &) = delete;
    NameCacheUpdater &operator=(const NameCacheUpdater &) = delete;
    ~NameCacheUpdater();

    // Makes the cache of the collection in `dataFolder` (ending with a separator) at
    // `cachePath`; a request not yet begun gives way to this one.
    void update(const std::string &dataFolder, const std::string &cachePath);
    // Waits until every request made so far is done or given up (for tests).
    void waitIdle();

private:
    struct Request {
        std::string dataFolder;
        std::string cachePath;
    };
    void run();
    void make(const Request &request);
    // Waits up to `seconds`; false when the updater stops or a new request came.
    bool pause(double seconds);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<Request> m_pending;
    bool m_busy = false;
    bool m_stopping = false;
    std::thread m_thread;
};

}  // namespace sapidoro
