#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "engine/haplotype_frequencies.h"
#include "engine/mutation_models.h"
#include "engine/single_unrelated.h"
#include "engine_case.h"
#include "support/temp_folder.h"

namespace relatix::testing {
namespace {

TEST(MarkerTables, distancesOffsetsAndSkippedClusters) {
    EngineCase c({1});
    c.addMarker(1, 0.0, {0.5, 0.5});
    c.addMarker(1, 5.0, {0.5, 0.5});  // skipped
    c.addMarker(1, 10.0, {0.5, 0.5});
    c.addMarker(2, 5.0, {0.5, 0.5});
    c.core.clusterDatabase.clusters[0].systems.push_back(
        c.core.clusterDatabase.clusters[0].systems[0]);
    c.core.clusterDatabase.clusters[0].systems[1].position = 2.0;

    CSingleUnrelated t(1);
    t.core = &c.core;
    t.clusterSkipped = {false, true, false, false};
    t.buildMarkerTables();
    EXPECT_EQ(t.systemSkipped, (std::vector<bool>{false, false, true, false, false}));
    EXPECT_EQ(t.endsLinkageBlock, (std::vector<bool>{false, true, true, true}));
    EXPECT_EQ(t.chromosomeNumbers, (std::vector<int>{1, 1, 1, 2}));
    ASSERT_EQ(t.recombinationFractions.size(), 4u);
    EXPECT_EQ(t.recombinationFractions[0], 0.0);
    EXPECT_NEAR(t.recombinationFractions[1], haldane(2.0), 1e-15);  // within the cluster
    // The skipped cluster at 5 cM does not count: 8 cM from the last kept system at 2.
    EXPECT_NEAR(t.recombinationFractions[2], haldane(8.0), 1e-15);
    // A new chromosome lies 1000 cM further on: 5 + 1000 - 10.
    EXPECT_NEAR(t.recombinationFractions[3], haldane(995.0), 1e-15);
}

TEST(MarkerTables, markersOfAFirstChromosomeOtherThanOneStayLinked) {
    EngineCase c({1});
    c.addMarker(5, 20.0, {0.5, 0.5});
    c.addMarker(5, 30.0, {0.5, 0.5});
    CSingleUnrelated t(1);
    t.core = &c.core;
    t.clusterSkipped = {false, false};
    t.buildMarkerTables();
    EXPECT_NEAR(t.recombinationFractions[1], 0.0906346234, 1e-9);
}

TEST(MutationMatrices, simpleModelAndUnknownModel) {
    const std::vector<std::string> names = {"9", "10", "11"};
    const MutationMatrix m = buildMutationMatrix({1, 0.02, 0.0, 0.0}, names);
    EXPECT_DOUBLE_EQ(m.at(0, 0), 0.98);
    EXPECT_DOUBLE_EQ(m.at(0, 2), 0.01);
    const MutationMatrix zero = buildMutationMatrix({4, 0.02, 0.5, 0.1}, names);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_EQ(zero.at(i, j), 0.0);
}

TEST(MutationMatrices, nStepModelReachesOnlyNeighboursWithinNSteps) {
    const double r = 0.004;
    const MutationMatrix m = buildMutationMatrix({2, r, 0.5, 1.0}, {"9", "10", "11", "12", "X"});
    // Row "10": neighbours 9 and 11, weight 0.5 each.
    EXPECT_DOUBLE_EQ(m.at(1, 0), r / 2);
    EXPECT_DOUBLE_EQ(m.at(1, 2), r / 2);
    EXPECT_EQ(m.at(1, 3), 0.0);
    EXPECT_DOUBLE_EQ(m.at(1, 1), 1 - r);
    EXPECT_DOUBLE_EQ(m.at(0, 1), r);  // row "9" has only 10
    // "X" receives nothing and, without neighbours, keeps its allele.
    for (int i = 0; i < 4; ++i) EXPECT_EQ(m.at(i, 4), 0.0);
    EXPECT_EQ(m.at(4, 4), 1.0);
}

TEST(MutationMatrices, extendedModelSplitsStepsAndOtherMutations) {
    const double rate = 0.003, rate2 = 0.001;
    const MutationMatrix m = buildMutationMatrix({3, rate, 0.5, rate2}, {"9", "9.3", "10", "X"});
    // Row "9": step neighbour 10; 9.3 and X are other mutations.
    EXPECT_DOUBLE_EQ(m.at(0, 0), 1 - rate - rate2);
    EXPECT_DOUBLE_EQ(m.at(0, 2), rate);
    EXPECT_DOUBLE_EQ(m.at(0, 1), rate2 / 2);
    EXPECT_DOUBLE_EQ(m.at(0, 3), rate2 / 2);
    // Row "X": no step neighbour, so no step-wise rate.
    EXPECT_DOUBLE_EQ(m.at(3, 3), 1 - rate2);
    EXPECT_DOUBLE_EQ(m.at(3, 0), rate2 / 3);
}

// Every matrix a model gives is a transmission: entries are probabilities and
// each row sums to 1, whatever the rates, ranges and alleles; so is a matrix of
// two transmissions in a row.
TEST(MutationMatrices, everyRowIsAProbabilityDistribution) {
    const std::vector<std::vector<std::string>> alleleSets = {
        {"7"},
        {"9", "10"},
        {"6", "7", "8"},
        {"9", "9.3", "10", "10.3", "11", "X"},
        {"7.2", "8.2", "9", "12", "30"},
        {"0", "15", "16.1", "17"},
    };
    const double rates[] = {0.0, 0.002, 0.5, 0.995, 1.0, 1.5};
    const double ranges[] = {0.0, 0.3, 1.0, 2.0};
    std::vector<MutationModel> models;
    for (double rate : rates)
        for (double range : ranges) {
            models.push_back({1, rate, 0.0, 0.0});
            for (double steps : {0.0, 1.0, 2.0, 50.0}) models.push_back({2, rate, range, steps});
            for (double rate2 : {0.0, 0.01, 0.6}) models.push_back({3, rate, range, rate2});
        }
    auto expectStochastic = [](const MutationMatrix& m) {
        for (int i = 0; i < m.size(); ++i) {
            double sum = 0;
            for (int j = 0; j < m.size(); ++j) {
                EXPECT_GE(m.at(i, j), 0.0);
                EXPECT_LE(m.at(i, j), 1.0);
                sum += m.at(i, j);
            }
            EXPECT_NEAR(sum, 1.0, 1e-14) << "row " << i;
        }
    };
    for (const auto& names : alleleSets)
        for (const MutationModel& model : models) {
            SCOPED_TRACE(std::to_string(names.size()) + " alleles, model " +
                         std::to_string(model.model) + ", rate " + std::to_string(model.rate) +
                         ", range " + std::to_string(model.range) + ", rate2 " +
                         std::to_string(model.rate2));
            const MutationMatrix m = buildMutationMatrix(model, names);
            expectStochastic(m);
            expectStochastic(chainedTransmissions(m, buildMutationMatrix({1, 0.1}, names)));
        }
}

// Where the models as first stated would lose probability: a single allele
// under model 1, model 3 with range 0, and rates of model 3 summing to more
// than 1. And decimal designations one repeat apart are step neighbours even
// where their difference is not exactly 1 in binary (8.2 - 7.2).
TEST(MutationMatrices, edgesKeepTheirProbability) {
    EXPECT_EQ(buildMutationMatrix({1, 0.01}, {"12"}).at(0, 0), 1.0);

    const MutationMatrix noRange = buildMutationMatrix({3, 0.01, 0.0, 0.002}, {"9", "10", "9.3"});
    EXPECT_DOUBLE_EQ(noRange.at(0, 0), 1 - 0.002);  // no step has weight: no step-wise mutation
    EXPECT_EQ(noRange.at(0, 1), 0.0);
    EXPECT_DOUBLE_EQ(noRange.at(0, 2), 0.002);

    const MutationMatrix both = buildMutationMatrix({3, 0.9, 0.5, 0.3}, {"9", "10", "9.3"});
    EXPECT_DOUBLE_EQ(both.at(0, 1), 0.75);
    EXPECT_DOUBLE_EQ(both.at(0, 2), 0.25);

    const MutationMatrix microvariants = buildMutationMatrix({2, 0.01, 0.5, 1.0}, {"7.2", "8.2"});
    EXPECT_DOUBLE_EQ(microvariants.at(0, 1), 0.01);
    EXPECT_DOUBLE_EQ(microvariants.at(1, 0), 0.01);
}

TEST(HaplotypeFrequencies, equilibriumObservedCountsAndZeroConditions) {
    Cluster cluster;
    ClusterSystem a, b;
    a.alleleNames = {"1", "2", "3"};
    a.frequencies = {0.25, 0.75, 0.0};
    b.alleleNames = {"1", "2"};
    b.frequencies = {0.4, 0.6};
    cluster.systems = {a, b};

    const auto plain = estimateHaplotypeFrequencies(cluster, 7.0);
    ASSERT_EQ(plain.haplotypes.size(), 6u);
    EXPECT_EQ(plain.haplotypes[1], (std::vector<int>{1, 2}));  // last system fastest
    EXPECT_EQ(plain.haplotypes[2], (std::vector<int>{2, 1}));
    EXPECT_DOUBLE_EQ(plain.frequencies[3], 0.75 * 0.6);
    EXPECT_DOUBLE_EQ(conditionalAlleleProbability(plain, 1, 1, 1), 0.6);
    // Allele 3 of the first system has frequency 0: conditioning on it gives 0.
    EXPECT_EQ(conditionalAlleleProbability(plain, 1, 0, 2), 0.0);

    // Counts 2 and 0.7 give N = 2 (truncated); lambda 1.
    cluster.haplotypes = {{"h1", 2.0, {1, 1}}, {"h2", 0.7, {2, 2}}};
    const auto observed = estimateHaplotypeFrequencies(cluster, 1.0);
    EXPECT_DOUBLE_EQ(observed.frequencies[0], (0.25 * 0.4 + 2.0) / 3.0);
    EXPECT_DOUBLE_EQ(observed.frequencies[3], (0.75 * 0.6 + 0.7) / 3.0);
    EXPECT_DOUBLE_EQ(observed.frequencies[1], (0.25 * 0.6) / 3.0);
    // P(allele 1 at the second system | allele 1 at the first).
    EXPECT_DOUBLE_EQ(conditionalAlleleProbability(observed, 1, 0, 0),
                     observed.frequencies[0] / (observed.frequencies[0] + observed.frequencies[1]));
}

TEST(FounderProbability, thetaCorrectsTheFounderAllelesOfEveryCluster) {
    EngineCase c({1});
    c.addMarker(1, 0.0, {0.2, 0.8});
    c.addMarker(2, 0.0, {0.2, 0.8});
    c.genotype(1, 0, "1", "1");
    c.genotype(1, 1, "1", "1");
    c.core.clusterDatabase.theta = 0.1;
    c.core.markerSkipped = {false, false};
    CSingleUnrelated t(1);
    prepareRelationship(c.core, c.core.markerSkipped, 4, t);
    // p1 = 0.2, p2 = (0.1 + 0.9 * 0.2) / 1 = 0.28.
    EXPECT_NEAR(t.founderProbability(0, 0, 0, -1), 0.056, 1e-15);
    EXPECT_NEAR(t.founderProbability(1, 0, 0, -1), 0.056, 1e-15);
}

TEST(PrintSetups, writesOnlyWhenTheDebugFolderExists) {
    EngineCase c({1});
    c.addMarker(1, 0.0, {0.2, 0.8});
    c.genotype(1, 0, "1", "2");
    c.core.markerSkipped = {false};
    TempFolder folder("engine_trace");
    ScopedCurrentDirectory here(folder.path());
    {
        CSingleUnrelated t(1);
        prepareRelationship(c.core, c.core.markerSkipped, 4, t);
    }
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "Debug"));
    std::filesystem::create_directory(folder.path() / "Debug");
    CSingleUnrelated t(1);
    prepareRelationship(c.core, c.core.markerSkipped, 4, t);
    const std::string text = readFile(folder.file("Debug/0Debug_printSetups.txt"));
    for (const char* heading : {"First print allele probabilities", "Printing male mutation matrix",
                                "Printing recombination map", "Printing founder alleles",
                                "Printing genotypes", "Printing genders"})
        EXPECT_NE(text.find(heading), std::string::npos) << heading;
    EXPECT_NE(text.find("0\t1\n1\t0\n"), std::string::npos);  // both orders of the genotype
}

}  // namespace
}  // namespace relatix::testing
