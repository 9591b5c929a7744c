#include <gtest/gtest.h>

#include "core/core.h"

namespace relatix {
namespace {

TEST(CoreDefaults, freshCoreHasEveryDefault) {
    Core core("/opt/relatix");
    EXPECT_EQ(core.programDirectory, "/opt/relatix");
    EXPECT_EQ(core.mainHypothesis, -1);
    EXPECT_EQ(core.hypothesisCount(), 1);
    EXPECT_EQ(core.projectName, "New Project");
    EXPECT_FALSE(core.mutationsOff);
    EXPECT_FALSE(core.savedToPath);
    EXPECT_EQ(core.activePopulation, 0);
    EXPECT_EQ(core.referenceHypothesis, 1);
    EXPECT_DOUBLE_EQ(core.softwareVersion, 2.1);
    EXPECT_DOUBLE_EQ(core.clusterDatabase.newAlleleFrequency, 0.01);
    EXPECT_DOUBLE_EQ(core.clusterDatabase.errorRate, 0.001);
    EXPECT_EQ(core.clusterDatabase.newAlleleModel, 2);
    EXPECT_DOUBLE_EQ(core.clusterDatabase.haplotypeWeight, 1.0);
    EXPECT_DOUBLE_EQ(core.clusterDatabase.theta, 0.0);
    ASSERT_EQ(core.pedigreeSettings.threshold.size(), 26u);
    ASSERT_EQ(core.pedigreeSettings.steps.size(), 26u);
    ASSERT_EQ(core.pedigreeSettings.lumpAlleles.size(), 26u);
    for (int i = 0; i < 26; ++i) {
        EXPECT_DOUBLE_EQ(core.pedigreeSettings.threshold[i], 0.00001);
        EXPECT_EQ(core.pedigreeSettings.steps[i], 1);
        EXPECT_TRUE(core.pedigreeSettings.lumpAlleles[i]);
    }
}

}  // namespace
}  // namespace relatix
