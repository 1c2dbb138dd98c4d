#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace sapidoro::bench {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d);

// The middle value (the mean of the two middle ones for an even count).
double Median(std::vector<double> values);

// Wall time of one run of `work`, in milliseconds.
double Time(const std::function<void()> &work);

// Runs a peer program directly (no shell), its output thrown away, and returns its wall time
// in milliseconds. Throws when it cannot be started or fails (an exit status above 1; `rg -c`
// exits with 1 when nothing matched).
double RunPeer(const std::vector<std::string> &args);

}  // namespace sapidoro::bench
