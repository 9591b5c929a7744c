// The sibling relationships: without mutation their exact likelihood equals
// the linkage engine's for the same pedigree on drawn data at linked markers,
// whatever order each person's alleles were typed in; with mutation, single
// markers against likelihoods worked out by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "agreement_support.h"
#include "engine_case.h"

namespace relatix::testing {
namespace {

constexpr int kSiblingCodes[] = {1, 2, 4, 6, 7, 8, 9, 10};

TEST(SiblingClasses, exactEqualsLinkageEngineOnDrawnDataAndIgnoresAlleleOrder) {
    if (!linkageEngineAvailable())
        GTEST_SKIP() << "merlinEngine has not been built into " << RELATIX_PROGRAM_FOLDER;
    for (int code : kSiblingCodes) {
        for (unsigned seed : {21u, 22u, 23u}) {
            SCOPED_TRACE("code " + std::to_string(code) + " seed " + std::to_string(seed));
            Core core;
            DrawnCaseOptions options;
            options.seed = seed;
            options.markers = 20 + static_cast<int>(seed % 3) * 2;
            options.markersPerChromosome = 3 + static_cast<int>(seed % 3);
            fillDrawnCase(core, code, options);
            const BothEngines both = computeBothEngines(core, code);
            ASSERT_TRUE(std::isfinite(both.exact));
            ASSERT_FALSE(both.linkageSkipped);
            EXPECT_NEAR(both.exact, both.linkage, 1e-6 * std::fabs(both.linkage));

            // Swapping the alleles of one person at a time, at every third marker.
            for (int p = 1; p <= core.genotypeTable.personCount; ++p) {
                for (int c = p % 3; c < static_cast<int>(core.clusterDatabase.clusters.size());
                     c += 3)
                    swapAlleles(core, p, c);
                EXPECT_NEAR(exactLogLikelihood(core, code), both.exact,
                            1e-9 * std::fabs(both.exact))
                    << "person " << p;
            }
        }
    }
}

}  // namespace
}  // namespace relatix::testing
