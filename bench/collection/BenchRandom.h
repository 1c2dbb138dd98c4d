#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sapidoro::bench {

// A small generator of our own (splitmix64): std:: distributions differ between standard
// libraries, and the generated files must be the same bytes everywhere. Each generator salts
// its seed with a constant of its own.
class Random {
public:
    Random(unsigned seed, std::uint64_t salt) : m_state(salt ^ seed) {}
    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, n).
    std::size_t below(std::size_t n) { return static_cast<std::size_t>(next() % n); }
    int between(int lo, int hi) { return lo + static_cast<int>(below(hi - lo + 1)); }
    bool chance(int percent) { return below(100) < static_cast<std::size_t>(percent); }
    // Skewed toward the front of a list, so that a few items are common and most are rare.
    std::size_t skewed(std::size_t n) {
        const std::size_t a = below(n), b = below(n);
        return a < b ? a : b;
    }
    template <typename T>
    const T &pick(const std::vector<T> &items) {
        return items[below(items.size())];
    }

private:
    std::uint64_t m_state;
};

}  // namespace sapidoro::bench
