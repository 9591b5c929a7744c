// For every catalogue relationship the exact engine computes, its likelihood
// without mutation equals the linkage engine's for the same pedigree, and it
// does not depend on the order in which a person's two alleles were typed.
#include <gtest/gtest.h>

#include <cmath>

#include "agreement_support.h"
#include "engine/catalogue_likelihoods.h"

namespace relatix::testing {
namespace {

TEST(AllCodesAgreement, exactEqualsLinkageEngineOnDrawnDataAndIgnoresAlleleOrder) {
    if (!linkageEngineAvailable())
        FAIL() << "merlinEngine has not been built into " << RELATIX_PROGRAM_FOLDER;
    int compared = 0;
    for (int code = 1; code <= 26; ++code) {
        EXPECT_TRUE(codeComputable(code)) << code;
        if (!codeComputable(code)) continue;
        for (unsigned seed : {5u}) {
            SCOPED_TRACE("code " + std::to_string(code) + " seed " + std::to_string(seed));
            Core core;
            DrawnCaseOptions options;
            options.seed = seed;
            options.maxAlleles = 10;  // keeps the largest families quick under the sanitizers
            fillDrawnCase(core, code, options);
            const BothEngines both = computeBothEngines(core, code);
            ASSERT_TRUE(std::isfinite(both.exact));
            ASSERT_FALSE(both.linkageSkipped);
            EXPECT_NEAR(both.exact, both.linkage, 1e-6 * std::fabs(both.linkage));
            ++compared;

            // Swapping every typed person's alleles at every second marker changes nothing.
            for (int p = 1; p <= core.genotypeTable.personCount; ++p)
                for (int c = p % 2; c < static_cast<int>(core.clusterDatabase.clusters.size());
                     c += 2)
                    swapAlleles(core, p, c);
            EXPECT_NEAR(exactLogLikelihood(core, code), both.exact, 1e-9 * std::fabs(both.exact));
        }
    }
    EXPECT_EQ(compared, 26);
}

}  // namespace
}  // namespace relatix::testing
