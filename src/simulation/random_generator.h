// The pseudo-random generator of the simulations: a 32-bit linear congruential
// generator (multiplier 214013, increment 2531011) whose draws are its 15 high
// bits, and the inverse-distribution draw from a list of cumulative probabilities.
// Fixed so that a seed always gives the same data sets, on every platform.
#pragma once

#include <cstdint>
#include <vector>

namespace relatix {

class RandomGenerator {
public:
    explicit RandomGenerator(std::uint32_t seed = 1) : state_(seed) {}

    void seed(std::uint32_t seed) { state_ = seed; }
    // An integer 0..32767.
    int next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFFu);
    }
    // A uniform number 0 <= u < 1 in steps of 1/32768.
    double uniform() { return next() / 32768.0; }

private:
    std::uint32_t state_;
};

// Draws u and returns the smallest 1-based j with u < cumulative[j-1], or the
// list's length when u is below no entry (so a list ending below 1 makes its last
// index more likely). An empty list gives 0.
int drawIndex(RandomGenerator& random, const double* cumulative, int count);
inline int drawIndex(RandomGenerator& random, const std::vector<double>& cumulative) {
    return drawIndex(random, cumulative.data(), static_cast<int>(cumulative.size()));
}

}  // namespace relatix
