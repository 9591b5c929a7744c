// The blocked transition against the plain one, for vectors large enough to use
// every pass (the low block, the groups of higher bits and both threads), with
// founder meioses whose highest bits fall in each of them.
#include "transition.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <random>

namespace merlin {
namespace {

void plainTransition(std::vector<double>& x, int bits, double t,
                     const std::vector<std::uint64_t>& masks) {
    for (int b = 0; b < bits; ++b)
        for (size_t i = 0; i < x.size(); ++i)
            if (!(i >> b & 1)) {
                const size_t j = i | (size_t{1} << b);
                const double u = x[i], v = x[j];
                x[i] = (1 - t) * u + t * v;
                x[j] = t * u + (1 - t) * v;
            }
    for (const std::uint64_t mask : masks) {
        const size_t top = size_t{1} << (63 - std::countl_zero(mask));
        for (size_t i = 0; i < x.size(); ++i)
            if (!(i & top)) {
                const size_t j = i ^ mask;
                const double u = x[i], v = x[j];
                x[i] = (1 - t) * u + t * v;
                x[j] = t * u + (1 - t) * v;
            }
    }
}

TEST(MerlinTransition, BlockedPassesMatchThePlainKernel) {
    std::mt19937_64 random(11);
    for (int bits : {1, 2, 3, 5, 12, 13, 17, 19}) {
        std::vector<double> x(size_t{1} << bits);
        for (double& v : x) v = static_cast<double>(random() % 1000) / 1000.0;
        std::vector<std::uint64_t> masks;
        for (int k = 0; k < 7; ++k) {
            std::uint64_t mask = random() & ((std::uint64_t{1} << bits) - 1);
            if (k == 6) mask = std::uint64_t{1} << (bits - 1) | 1;  // spans every pass
            if (mask) masks.push_back(mask);
        }
        std::vector<double> expected = x;
        plainTransition(expected, bits, 0.07, masks);
        applyTransition(x.data(), bits, 0.07, masks);
        for (size_t i = 0; i < x.size(); ++i)
            ASSERT_NEAR(x[i], expected[i], 1e-12) << "bits " << bits << " index " << i;
    }
}

TEST(MerlinTransition, HaldaneAndTheLimits) {
    EXPECT_NEAR(haldaneTheta(10), 0.5 * (1 - std::exp(-0.2)), 1e-16);
    EXPECT_EQ(haldaneTheta(0), 0.0);
    EXPECT_EQ(haldaneTheta(-10), haldaneTheta(10));
    EXPECT_EQ(haldaneTheta(1e308), 0.5);
    EXPECT_EQ(haldaneTheta(INFINITY), 0.5);
    std::vector<double> x = {1, 2, 3, 6};
    applyTransition(x.data(), 2, 0.5, {});
    for (double v : x) EXPECT_DOUBLE_EQ(v, 3.0);  // unlinked: all alike
}

}  // namespace
}  // namespace merlin
