#include "tools/map_distance.h"

#include <gtest/gtest.h>

#include <cmath>

namespace relatix {
namespace {

TEST(MapDistance, sixCentimorganUnderEachFunction) {
    EXPECT_NEAR(cmToTheta(MapFunction::Kosambi, 6.0), 0.0597, 5e-5);
    EXPECT_NEAR(cmToTheta(MapFunction::Haldane, 6.0), 0.0565, 5e-5);
    EXPECT_NEAR(cmToTheta(MapFunction::Morgan, 6.0), 0.0600, 1e-12);
}

TEST(MapDistance, thetaOfOneTenthBackToCentimorgan) {
    EXPECT_NEAR(*thetaToCm(MapFunction::Haldane, 0.1), 11.1572, 5e-5);
    EXPECT_NEAR(*thetaToCm(MapFunction::Kosambi, 0.1), 10.1366, 5e-5);
    EXPECT_NEAR(*thetaToCm(MapFunction::Morgan, 0.1), 10.0, 1e-12);
}

TEST(MapDistance, conversionsAreInversesOfEachOther) {
    for (MapFunction f : {MapFunction::Haldane, MapFunction::Kosambi, MapFunction::Morgan})
        for (double cm : {-20.0, 0.5, 37.0, 150.0}) {
            // Under Morgan 150 cM is a theta of 1.5, which reads back as 1.5 %.
            if (f == MapFunction::Morgan && cm > 100.0) continue;
            EXPECT_NEAR(*thetaToCm(f, cmToTheta(f, cm)), cm, 1e-9 * std::max(1.0, cm));
        }
}

TEST(MapDistance, percentagesAndTheLimitOfOneHalf) {
    EXPECT_NEAR(*thetaToCm(MapFunction::Morgan, 10.0), 10.0, 1e-12);  // 10 % is 0.1
    EXPECT_NEAR(*thetaToCm(MapFunction::Morgan, 1.0), 100.0, 1e-12);  // 1 stays 1
    EXPECT_FALSE(thetaToCm(MapFunction::Haldane, 0.5));
    EXPECT_FALSE(thetaToCm(MapFunction::Kosambi, 0.7));
    EXPECT_FALSE(thetaToCm(MapFunction::Kosambi, -0.5));
    EXPECT_FALSE(thetaToCm(MapFunction::Haldane, 60.0));  // 60 % is 0.6
    EXPECT_TRUE(thetaToCm(MapFunction::Morgan, 0.5));
    // Far distances approach one half without overflowing to nan.
    EXPECT_DOUBLE_EQ(cmToTheta(MapFunction::Kosambi, 1e5), 0.5);
    EXPECT_DOUBLE_EQ(cmToTheta(MapFunction::Haldane, 1e5), 0.5);
}

}  // namespace
}  // namespace relatix
