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

// A couple's step against its definition, on vectors spanning several blocks, with
// an exchanged pair of bits across the block boundary; and the pair step between
// listed vectors against the whole-vector step.
TEST(MerlinTransition, CoupleAndPairStepsMatchTheirDefinitions) {
    std::mt19937_64 random(5);
    for (int bits : {6, 13, 17}) {
        const size_t size = size_t{1} << bits;
        std::vector<double> x(size);
        for (double& v : x) v = static_cast<double>(random() % 1000) / 1000.0;
        CoupleSymmetry couple;
        couple.swapLow = bits > 12 ? (std::uint64_t{1} << 11 | std::uint64_t{1} << 2) : 2;
        couple.flip = (random() & (size - 1)) & ~(couple.swapLow | couple.swapLow << 1);
        std::vector<double> expected(size);
        for (size_t i = 0; i < size; ++i) expected[i] = 0.93 * x[i] + 0.07 * x[couple.apply(i)];
        std::vector<double> got = x;
        applyCoupleStep(got.data(), bits, 0.07, couple);
        for (size_t i = 0; i < size; ++i)
            ASSERT_NEAR(got[i], expected[i], 1e-12) << "bits " << bits << " index " << i;
    }
    // A part of a couple and four children (bits 0-5), one grandchild (6) and a
    // founder spouse with two more children: pair weights against the whole step.
    PartModel part;
    part.bits = 8;
    part.founderMasks = {0b00101010, 0b00010101, std::uint64_t{1} << 7};
    part.couples = {CoupleSymmetry{0b010101, std::uint64_t{1} << 6}};
    std::vector<std::uint64_t> from = {3, 77, 200, 255}, to;
    std::vector<double> value = {0.5, 0.25, 1.0, 0.125};
    std::vector<double> whole(256, 0.0);
    for (size_t j = 0; j < from.size(); ++j) whole[from[j]] = value[j];
    applyPartTransition(whole.data(), part, 0.11);
    for (std::uint64_t v = 0; v < 256; v += 3) to.push_back(v);
    std::vector<double> pairs(to.size());
    PairTransition step;
    step.prepare(part, 0.11);
    step.apply(from.data(), value.data(), from.size(), to.data(), to.size(), pairs.data());
    for (size_t k = 0; k < to.size(); ++k) EXPECT_NEAR(pairs[k], whole[to[k]], 1e-15) << to[k];
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
