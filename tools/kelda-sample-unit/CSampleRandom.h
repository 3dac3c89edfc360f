#pragma once

#include <cstdint>

// A small seeded generator (splitmix64) whose sequence is the same on every platform and library, so that
// sample data made from a seed is identical wherever it is made.
class CSampleRandom {
public:
    explicit CSampleRandom(uint64_t seed) : m_state(seed) {}

    uint64_t next() {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double unit() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
    double range(double lo, double hi) { return lo + (hi - lo) * unit(); }
    // Uniform integer in [lo, hi].
    int between(int lo, int hi) { return lo + static_cast<int>(next() % static_cast<uint64_t>(hi - lo + 1)); }
    bool chance(double p) { return unit() < p; }

private:
    uint64_t m_state;
};
