#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>

namespace sapidoro::test {

// Ends the test process with a message when the code under test runs past a deadline or its
// memory grows past a limit, so that a hang or a runaway read fails the test instead of
// stalling the suite or exhausting the machine.
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds deadline = std::chrono::seconds(60),
                      std::size_t growthLimitBytes = std::size_t{1} << 30);
    ~Watchdog();
    Watchdog(const Watchdog &) = delete;
    Watchdog &operator=(const Watchdog &) = delete;

private:
    void watch(std::chrono::steady_clock::time_point deadline, std::size_t limit);

    std::mutex m_mutex;
    std::condition_variable m_stop;
    bool m_stopping = false;
    std::thread m_thread;
};

}  // namespace sapidoro::test
