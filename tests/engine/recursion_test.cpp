// The cell lattice and the forward recursion: pruning, chromosomes, skipped
// clusters, linked systems within a cluster, and long chromosomes.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/aunt.h"
#include "engine/full_siblings.h"
#include "engine/maternity.h"
#include "engine/single_unrelated.h"
#include "engine/synthetic_case.h"
#include "engine_case.h"
#include "support/exact_engine_support.h"

namespace relatix::testing {
namespace {

// A small case with four to six alleles per marker, persons as given.
Core syntheticCore(int markers, int perChromosome, std::vector<FamilyMember> typed,
                   double spacing = 15.0, unsigned seed = 7) {
    Core core;
    SyntheticCaseOptions options;
    options.markers = markers;
    options.markersPerChromosome = perChromosome;
    options.minAlleles = 4;
    options.maxAlleles = 6;
    options.spacingCm = spacing;
    options.seed = seed;
    options.typed = std::move(typed);
    fillSyntheticCase(core, options);
    core.markerSkipped.assign(core.clusterDatabase.clusters.size(), false);
    return core;
}

struct TwoMeioses : CRelationship {
    void setupInheritancePatterns() override { listAllPatterns(meioses); }
    int meioses = 2;
};

TEST(Recursion, patternTransitions) {
    TwoMeioses r;
    r.recombinationFractions = {0.0, 0.3};
    r.setupInheritancePatterns();
    EXPECT_DOUBLE_EQ(r.patternTransition(1, 0b00, 0b01), 0.7 * 0.3);
    EXPECT_DOUBLE_EQ(r.patternTransition(1, 0b10, 0b01), 0.3 * 0.3);
    EXPECT_DOUBLE_EQ(r.patternTransition(1, 0b11, 0b11), 0.7 * 0.7);
    r.meioses = 0;
    r.setupInheritancePatterns();
    ASSERT_EQ(r.patternCount(), 1);
    EXPECT_EQ(r.patternTransition(1, 0, 0), 1.0);
}

TEST(Recursion, addCellAndFindCell) {
    PatternCells cells;
    CRelationship::addCell(cells, 2, 0, 0.5);
    CRelationship::addCell(cells, 2, 3, 0.25);
    CRelationship::addCell(cells, 5, 1, 1.0);
    ASSERT_EQ(cells.setups, (std::vector<int>{2, 5}));
    EXPECT_EQ(cells.cells[0].previousSetups, (std::vector<int>{0, 3}));
    EXPECT_EQ(CRelationship::findCell(cells, 5, 1), 1);
    EXPECT_EQ(CRelationship::findCell(cells, 5, 7), 1);
    EXPECT_EQ(CRelationship::findCell(cells, 3, 0), -1);
    MarkerCells marker{{cells, cells}};
    EXPECT_DOUBLE_EQ(CRelationship::markerTotal(marker), 3.5);
}

TEST(Recursion, chromosomesAddAndUnlinkedMarkersMultiply) {
    Core core = syntheticCore(4, 2, {FamilyMember::Uncle, FamilyMember::ChildA});
    // The last marker 10000 cM after the third: a recombination fraction of 0.5.
    core.clusterDatabase.clusters[3].chromosome = 1;
    core.clusterDatabase.clusters[3].systems[0].position =
        core.clusterDatabase.clusters[2].systems[0].position + 10000.0;
    auto lnL = [&core](std::vector<bool> skip) {
        core.mainHypothesis = 12;
        core.alternativeHypotheses.clear();
        ScriptedUserInterface ui;
        testing::computeCatalogueLikelihoods(core, skip, false, ui);
        return (*core.exactResults.at(0));
    };
    const double all = lnL({false, false, false, false});
    const double firstChromosome = lnL({false, false, true, true});
    const double third = lnL({true, true, false, true});
    const double fourth = lnL({true, true, true, false});
    EXPECT_NEAR(all, firstChromosome + third + fourth, 1e-10);
    // The markers on the first chromosome are linked: not the product.
    const double first = lnL({false, true, true, true});
    const double second = lnL({true, false, true, true});
    EXPECT_GT(std::fabs(firstChromosome - first - second), 1e-6);
}

// A duo, father 12 and child 11, model 1 with rate 0.5 over three alleles: the
// father passes the child's 1 with 0.5 (his own 1) or 0.25 (his 2, mutated),
// in each of his two orders. Without pruning P = p1 * 2 p1 p2 * (0.5 + 0.25) / 2.
TEST(Recursion, aSetupAtTheThresholdGetsNoCell) {
    const double founders = 0.25 * 2 * 0.25 * 0.25;
    struct Expected {
        double threshold;
        size_t cells;
        double likelihood;
    };
    const Expected cases[] = {
        {0.25, 2, founders * 0.25},  // the mutated transmissions are at the threshold
        {0.2499, 4, founders * 0.375},
        // Nothing above the threshold: the marker is computed without it, not
        // taken for an exclusion.
        {0.5, 4, founders * 0.375},
    };
    for (const Expected& e : cases) {
        SCOPED_TRACE(e.threshold);
        EngineCase c({1, 1});
        c.addMarker(1, 0.0, {0.25, 0.25, 0.5}, {}, {1, 0.5});
        c.genotype(1, 0, "1", "2");
        c.genotype(2, 0, "1", "1");
        c.core.markerSkipped = {false};
        c.core.pedigreeSettings.threshold[23] = e.threshold;
        CMaternity duo(1, 2);
        duo.storeAllCells = true;
        prepareRelationship(c.core, c.core.markerSkipped, 23, duo);
        const double lnL = duo.computeLikelihood();
        size_t cells = 0;
        for (const auto& pattern : duo.markerCells[0].patterns) cells += pattern.cells.size();
        EXPECT_EQ(cells, e.cells);
        EXPECT_NEAR(std::exp(lnL), e.likelihood, 1e-15);
    }
}

TEST(Recursion, aSkippedClusterShowsMinusOneAndKeepsTheChain) {
    Core core = syntheticCore(3, 3, {FamilyMember::ChildA, FamilyMember::ChildB});
    core.mainHypothesis = 2;
    ScriptedUserInterface ui;
    testing::computeCatalogueLikelihoods(core, {false, true, false}, false, ui);
    const double withSkip = (*core.exactResults.at(0));
    const std::vector<double> perMarker = core.exactMarkerResults.at(0);
    ASSERT_EQ(perMarker.size(), 3u);
    EXPECT_EQ(perMarker[1], -1.0);
    EXPECT_DOUBLE_EQ(perMarker[2], withSkip);
    EXPECT_EQ(core.markerSkipped, (std::vector<bool>{false, true, false}));

    // The same as the two markers alone: the distance runs from the first to the third.
    Core without = core;
    without.clusterDatabase.clusters.erase(without.clusterDatabase.clusters.begin() + 1);
    without.genotypeTable.alleleTexts.erase(without.genotypeTable.alleleTexts.begin() + 1);
    without.genotypeTable.systemsPerCluster.pop_back();
    testing::computeCatalogueLikelihoods(without, {false, false}, false, ui);
    EXPECT_NEAR((*without.exactResults.at(0)), withSkip, 1e-12);
    EXPECT_NEAR(without.exactMarkerResults.at(0)[0], perMarker[0], 1e-12);
}

// The cells that the next marker does not read are evaluated without being
// stored; both ways must give the same values.
TEST(Recursion, storedAndStreamedCellsAgree) {
    Core core = syntheticCore(6, 3, {FamilyMember::Uncle, FamilyMember::ChildA});
    for (auto& cluster : core.clusterDatabase.clusters)
        for (auto& system : cluster.systems) system.mutation[1] = {1, 0.01, 0.0, 0.0};
    double lnL[2];
    std::vector<double> perMarker[2];
    for (int stored = 0; stored < 2; ++stored) {
        CAunt uncle(1, 2);
        uncle.storeAllCells = stored == 1;
        prepareRelationship(core, core.markerSkipped, 12, uncle);
        lnL[stored] = uncle.computeLikelihood();
        perMarker[stored] = uncle.markerResults;
    }
    EXPECT_NEAR(lnL[0], lnL[1], 1e-12);
    for (size_t m = 0; m < perMarker[0].size(); ++m)
        EXPECT_NEAR(perMarker[0][m], perMarker[1][m], 1e-12);
}

// The bulk data probabilities of the classes with many setups equal the
// probabilities of single setups and patterns.
template <class Relationship>
void expectBulkEqualsSingle(Core& core, int catalogueIndex) {
    Relationship r(1, 2);
    prepareRelationship(core, core.markerSkipped, catalogueIndex, r);
    const int patterns = r.patternCount();
    for (int i = 0; i < r.keptMarkerCount(); ++i) {
        const int setups = r.founderSetups[static_cast<size_t>(i)].size();
        const int first = setups / 3;  // a block starting inside the enumeration
        const int count = setups - first;
        std::vector<double> bulk(static_cast<size_t>(count) * patterns);
        r.dataProbabilities(i, first, count, bulk.data());
        for (int n = 0; n < count; ++n)
            for (int j = 0; j < patterns; ++j)
                ASSERT_EQ(bulk[static_cast<size_t>(n) * patterns + j],
                          r.dataProbability(i, j, first + n))
                    << "marker " << i << " setup " << first + n << " pattern " << j;
    }
}

TEST(Recursion, bulkDataProbabilitiesEqualSingleOnes) {
    Core core = syntheticCore(3, 3, {FamilyMember::Uncle, FamilyMember::ChildA});
    for (auto& cluster : core.clusterDatabase.clusters)
        for (auto& system : cluster.systems) {
            system.mutation[0] = {1, 0.02, 0.0, 0.0};
            system.mutation[1] = {2, 0.01, 0.5, 2.0};
        }
    expectBulkEqualsSingle<CAunt>(core, 12);
    expectBulkEqualsSingle<CFullSiblings>(core, 2);
}

// Systems of one cluster without observed haplotypes are in equilibrium, so a
// cluster of three systems gives what three one-system clusters at the same
// positions give.
TEST(Recursion, aClusterInEquilibriumEqualsSeparateClusters) {
    EngineCase separate({1, 1});
    // Two alleles per system: the recursion inside a cluster keeps every pair of
    // setups at neighbouring systems, which grows fast with the allele count.
    const std::vector<std::vector<double>> frequencies = {{0.2, 0.8}, {0.6, 0.4}, {0.35, 0.65}};
    const std::vector<std::vector<std::string>> genotypes = {
        {"1", "2", "1", "1"}, {"2", "2", "1", "2"}, {"2", "1", "2", "2"}};
    for (int m = 0; m < 3; ++m) {
        separate.addMarker(1, 8.0 * m, frequencies[m], {1, 0.01}, {1, 0.02});
        separate.genotype(1, m, genotypes[m][0], genotypes[m][1]);
        separate.genotype(2, m, genotypes[m][2], genotypes[m][3]);
    }
    EngineCase joined({1, 1});
    joined.addMarker(1, 0.0, frequencies[0], {1, 0.01}, {1, 0.02});
    for (int m = 1; m < 3; ++m) {
        joined.addSystemToLastCluster(8.0 * m, frequencies[m]);
        joined.core.clusterDatabase.clusters[0].systems[m].mutation[0] = {1, 0.01, 0, 0};
        joined.core.clusterDatabase.clusters[0].systems[m].mutation[1] = {1, 0.02, 0, 0};
    }
    for (int m = 0; m < 3; ++m) {
        joined.genotype(1, 0, genotypes[m][0], genotypes[m][1], m);
        joined.genotype(2, 0, genotypes[m][2], genotypes[m][3], m);
    }
    for (int code : {3, 5, 24}) {
        SCOPED_TRACE(code);
        const double expected = separate.likelihood(code);
        EXPECT_NEAR(joined.likelihood(code), expected, 1e-12);
        for (size_t m = 0; m < 3; ++m)
            EXPECT_NEAR(joined.core.exactMarkerResults.at(0)[m],
                        separate.core.exactMarkerResults.at(0)[m], 1e-12);
    }
}

TEST(Recursion, observedHaplotypesLinkAPersonsAlleles) {
    EngineCase c({1});
    c.addMarker(1, 0.0, {0.4, 0.6});
    c.addSystemToLastCluster(1.0, {0.3, 0.7});
    c.core.clusterDatabase.clusters[0].haplotypes = {{"a", 3.0, {1, 1}}, {"b", 1.0, {2, 2}}};
    c.genotype(1, 0, "1", "2", 0);
    c.genotype(1, 0, "1", "1", 1);
    // Haplotype frequencies (lambda P + n) / (lambda + N), lambda 1, N 4.
    const double h11 = (0.4 * 0.3 + 3) / 5, h12 = (0.4 * 0.7) / 5;
    const double h21 = (0.6 * 0.3) / 5, h22 = (0.6 * 0.7 + 1) / 5;
    // Heterozygous at the first system, 11 at the second: in either phase the
    // first system's alleles come from its frequencies and allele 1 at the second
    // system follows each of them with P(1 | b) = h(b,1) / (h(b,1) + h(b,2)):
    // 2 * 0.4 * 0.6 * h11 / (h11 + h12) * h21 / (h21 + h22).
    CSingleUnrelated person(1);
    c.core.markerSkipped = {false};
    prepareRelationship(c.core, c.core.markerSkipped, 4, person);
    EXPECT_NEAR(std::exp(person.computeLikelihood()),
                2 * 0.4 * 0.6 * h11 / (h11 + h12) * h21 / (h21 + h22), 1e-15);
}

TEST(Recursion, fiveHundredLinkedMarkersDoNotUnderflow) {
    // Far apart, the markers are independent: the same as every marker on a
    // chromosome of its own, where the chain restarts at each marker.
    Core core = syntheticCore(500, 500, {FamilyMember::ChildA, FamilyMember::ChildB}, 5000.0);
    core.mainHypothesis = 2;
    ScriptedUserInterface ui;
    testing::computeCatalogueLikelihoods(core, std::vector<bool>(500, false), false, ui);
    const double all = (*core.exactResults.at(0));
    for (size_t m = 0; m < 500; ++m)
        core.clusterDatabase.clusters[m].chromosome = static_cast<int>(m);
    testing::computeCatalogueLikelihoods(core, std::vector<bool>(500, false), false, ui);
    const double sum = (*core.exactResults.at(0));
    ASSERT_TRUE(std::isfinite(all));
    EXPECT_LT(all, -500.0);  // far below what a double can hold as a probability
    EXPECT_NEAR(all, sum, 1e-9 * std::fabs(sum));

    // Tightly linked (1.5 cM apart on average): finite, and the last cumulative value is the
    // result.
    Core linked = syntheticCore(500, 500, {FamilyMember::ChildA, FamilyMember::ChildB}, 1.5);
    linked.mainHypothesis = 2;
    testing::computeCatalogueLikelihoods(linked, std::vector<bool>(500, false), false, ui);
    ASSERT_TRUE(std::isfinite((*linked.exactResults.at(0))));
    EXPECT_DOUBLE_EQ(linked.exactMarkerResults.at(0).back(), (*linked.exactResults.at(0)));
}

}  // namespace
}  // namespace relatix::testing
