// The driver over the hypotheses of a case: progress, results lists, composite
// codes, simulation mode, impossible chromosomes and the theta correction.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/single_unrelated.h"
#include "engine_case.h"
#include "support/exact_engine_support.h"

namespace relatix::testing {
namespace {

constexpr double kMinusInfinity = -std::numeric_limits<double>::infinity();

EngineCase twoPersonCase() {
    EngineCase c({1, 1});
    c.addMarker(1, 0.0, {0.1, 0.2, 0.3, 0.4});
    c.addMarker(1, 12.0, {0.5, 0.25, 0.25});
    c.addMarker(2, 3.0, {0.3, 0.7});
    c.genotype(1, 0, "1", "2");
    c.genotype(2, 0, "2", "3");
    c.genotype(1, 1, "1", "1");
    c.genotype(2, 1, "1", "3");
    c.genotype(1, 2, "2", "1");
    c.genotype(2, 2, "2", "2");
    return c;
}

TEST(Driver, computesMainAndAlternativesWithProgress) {
    EngineCase c = twoPersonCase();
    c.core.mainHypothesis = 2;                 // full siblings
    c.core.alternativeHypotheses = {1, 3, 0};  // unrelated, uncle, half siblings
    c.core.exactResults = {1.0};
    c.core.exactMarkerResults = {{1.0}};
    ScriptedUserInterface ui;
    testing::computeCatalogueLikelihoods(c.core, {false, true, false}, false, ui);
    EXPECT_EQ(ui.progressLog, (std::vector<std::string>{
                                  "open Computing likelihoods 0..5 Starting computations",
                                  "text Full Siblings", "step", "text Unrelated", "step",
                                  "text Uncle", "step", "text Half Siblings", "step", "close"}));
    ASSERT_EQ(c.core.exactResults.size(), 4u);
    ASSERT_EQ(c.core.exactMarkerResults.size(), 4u);
    EXPECT_EQ(c.core.markerSkipped, (std::vector<bool>{false, true, false}));
    for (int h = 0; h < 4; ++h) {
        EXPECT_TRUE(std::isfinite((*c.core.exactResults[h])));
        EXPECT_EQ(c.core.exactMarkerResults[h][1], -1.0);
        EXPECT_DOUBLE_EQ(c.core.exactMarkerResults[h][2], (*c.core.exactResults[h]));
    }
}

TEST(Driver, compositeCodesAddTheirComponents) {
    EngineCase c = twoPersonCase();
    c.core.markerSkipped = {false, true, false};
    std::vector<double> single[2];
    double sum = 0;
    for (int person = 1; person <= 2; ++person) {
        CSingleUnrelated unrelated(person);
        prepareRelationship(c.core, c.core.markerSkipped, 4, unrelated);
        sum += unrelated.computeLikelihood();
        single[person - 1] = unrelated.markerResults;
    }
    const double lnL = c.compute(5, {}, {false, true, false}).at(0);
    EXPECT_NEAR(lnL, sum, 1e-14);
    const auto& merged = c.core.exactMarkerResults.at(0);
    ASSERT_EQ(c.core.exactMarkerResults.size(), 1u);
    EXPECT_NEAR(merged[0], single[0][0] + single[1][0], 1e-14);
    EXPECT_NEAR(merged[2], single[0][2] + single[1][2], 1e-14);
    EXPECT_EQ(merged[1], -1.0);  // a skipped system stays marked as skipped
    // Unrelated persons: the product of genotype frequencies (2 p q or p^2).
    EXPECT_NEAR(std::exp(lnL), (2 * 0.1 * 0.2) * (2 * 0.3 * 0.7) * (2 * 0.2 * 0.3) * (0.7 * 0.7),
                1e-15);
}

TEST(Driver, simulationModeAppendsOneDataSet) {
    EngineCase c = twoPersonCase();
    c.core.mainHypothesis = 23;             // paternity duo
    c.core.alternativeHypotheses = {2, 1};  // unrelated, half siblings
    c.core.exactResults = {3.0};
    ScriptedUserInterface ui;
    testing::computeCatalogueLikelihoods(c.core, {false, false, false}, true, ui);
    EXPECT_TRUE(ui.progressLog.empty());
    EXPECT_EQ(c.core.exactResults, LogLikelihoods{3.0});  // the case's results stay
    ASSERT_EQ(c.core.simulatedExactLikelihoods.size(), 1u);
    ASSERT_EQ(c.core.simulatedExactLikelihoods[0].size(), 3u);
    EXPECT_EQ(c.core.exactMarkerResults.size(), 3u);
    testing::computeCatalogueLikelihoods(c.core, {false, false, false}, true, ui);
    EXPECT_EQ(c.core.simulatedExactLikelihoods.size(), 2u);
    EXPECT_EQ(c.core.simulatedExactLikelihoods[0], c.core.simulatedExactLikelihoods[1]);
}

// A duo that is impossible without mutation on one chromosome and possible on
// the other: the hypothesis is impossible whichever chromosome comes first.
TEST(Driver, anImpossibleChromosomeMakesTheHypothesisImpossible) {
    for (const bool impossibleFirst : {true, false}) {
        SCOPED_TRACE(impossibleFirst);
        EngineCase c({1, 1});
        c.addMarker(1, 0.0, {0.25, 0.25, 0.25, 0.25});
        c.addMarker(2, 0.0, {0.25, 0.25, 0.25, 0.25});
        const int bad = impossibleFirst ? 0 : 1;
        c.genotype(1, bad, "1", "2");
        c.genotype(2, bad, "3", "4");
        c.genotype(1, 1 - bad, "1", "2");
        c.genotype(2, 1 - bad, "1", "4");
        EXPECT_EQ(c.likelihood(24), kMinusInfinity);
        EXPECT_EQ(c.core.exactMarkerResults.at(0)[1], kMinusInfinity);
        EXPECT_TRUE(std::isfinite(c.likelihood(5)));
    }
}

// Theta corrects the founder alleles at every unlinked marker, not at the
// first one only. Duo, theta 0.05, markers on two chromosomes.
TEST(Driver, thetaCorrectsEveryUnlinkedMarker) {
    const double t = 0.05;
    EngineCase c({1, 1});
    c.core.clusterDatabase.theta = t;
    c.addMarker(1, 0.0, {0.3, 0.7});
    c.addMarker(2, 0.0, {0.4, 0.6});
    c.genotype(1, 0, "1", "2");  // father 12, child 12
    c.genotype(2, 0, "1", "2");
    c.genotype(1, 1, "1", "1");  // father 11, child 12
    c.genotype(2, 1, "1", "2");
    // Founder alleles in sampling order (the mother's allele to the child, then
    // the father's two), the j-th with (m theta + (1 - theta) f) / (1 + (j - 1) theta)
    // for m earlier copies of the same allele.
    // Marker 1: child's maternal allele 2 with the father 1 2, or 1 with 1 2;
    // each setup's transmission has probability 1/2 and each order of the
    // father's alleles is a setup of its own:
    const double f1 = 0.3, f2 = 0.7;
    const double one = f2 * ((1 - t) * f1) * (t + (1 - t) * f2) / (1 + t) +
                       f1 * (t + (1 - t) * f1) * ((1 - t) * f2) / (1 + t);
    // Marker 2: the child's maternal allele must be 2, the father is 1 1:
    const double g1 = 0.4, g2 = 0.6;
    const double two = g2 * ((1 - t) * g1) * (t + (1 - t) * g1) / (1 + t);
    EXPECT_NEAR(std::exp(c.likelihood(24)), one * two, 1e-15);
    // Without the correction at the second marker it would be p2 p1 p1.
    EXPECT_GT(std::fabs(two - g2 * g1 * g1), 1e-3);
}

}  // namespace
}  // namespace relatix::testing
