#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>

#include "simulation/simulated_engine_results.h"
#include "simulation/simulation_statistics.h"

namespace relatix {
namespace {

// Data sets of two hypotheses in which true pedigree 0 has the given ratios of
// hypothesis 2 over hypothesis 1 (scale 0); true pedigree 1 gets copies.
SimulatedDataSets withRatios(const std::vector<double>& ratios) {
    SimulatedDataSets sets;
    for (double r : ratios) {
        const LogLikelihoods set = {-10.0, -10.0 + std::log(r)};
        sets.push_back(set);
        sets.push_back(set);
    }
    return sets;
}

std::vector<double> oneTo(int n) {
    std::vector<double> values;
    for (int i = 1; i <= n; ++i) values.push_back(i);
    return values;
}

TEST(SimulationStatistics, medianMeanQuantilesAndFractions) {
    const SimulationStatistics nine = simulationStatistics(withRatios(oneTo(9)), 0, 0);
    EXPECT_EQ(nine.median, -1.0);
    EXPECT_EQ(nine.mean, -1.0);
    EXPECT_EQ(nine.above1000, -1.0);
    EXPECT_NEAR(nine.maximum, 9.0, 1e-9);

    const SimulationStatistics ten = simulationStatistics(withRatios(oneTo(10)), 0, 0);
    EXPECT_NEAR(ten.median, 5.5, 1e-9);  // the mean of the 5th and 6th smallest
    EXPECT_NEAR(ten.mean, 5.5, 1e-9);
    EXPECT_NEAR(ten.minimum, 1.0, 1e-9);
    EXPECT_NEAR(simulationStatistics(withRatios(oneTo(11)), 0, 0).median, 6.0, 1e-9);

    EXPECT_EQ(simulationStatistics(withRatios(oneTo(20)), 0, 0).quantile5, 0.0);
    EXPECT_NEAR(simulationStatistics(withRatios(oneTo(21)), 0, 0).quantile5, 1.0, 1e-9);
    EXPECT_NEAR(simulationStatistics(withRatios(oneTo(40)), 0, 0).quantile5, 2.0, 1e-9);
    EXPECT_EQ(simulationStatistics(withRatios(oneTo(100)), 0, 0).quantile1, 0.0);
    EXPECT_NEAR(simulationStatistics(withRatios(oneTo(101)), 0, 0).quantile1, 1.0, 1e-9);

    std::vector<double> ratios(10, 1000.0);  // exactly 1000 does not count
    ratios[0] = 1000.5;
    ratios[1] = 20000.0;
    ratios[2] = 200000.0;
    const SimulationStatistics f = simulationStatistics(withRatios(ratios), 0, 0);
    EXPECT_NEAR(f.above1000, 0.3, 1e-12);
    EXPECT_NEAR(f.above10000, 0.2, 1e-12);
    EXPECT_NEAR(f.above100000, 0.1, 1e-12);
}

TEST(SimulationStatistics, scaleChoiceAndValuesThatAreNotAvailable) {
    // Scale 1 turns the ratio around.
    const auto sets = withRatios({2, 2, 2, 2, 2, 2, 2, 2, 2, 2});
    EXPECT_NEAR(simulationStatistics(sets, 1, 0).median, 2.0, 1e-9);
    EXPECT_NEAR(simulationStatistics(sets, 1, 1).median, 0.5, 1e-9);

    // Three hypotheses, true pedigree 2, scale 0: a missing value is not available,
    // never exp(0 - scale); an impossible numerator or true value is LR 0; ln L = 0
    // is a value.
    SimulatedDataSets three;
    auto add = [&three](LogLikelihoods w) {
        three.push_back({-1.0, -1.0, -1.0});
        three.push_back({-1.0, -1.0, -1.0});
        three.push_back(std::move(w));
    };
    const LogLikelihood na = LogLikelihood::missing("skipped");
    const double impossible = -std::numeric_limits<double>::infinity();
    add({na, -5.0, -5.0});
    add({-5.0, na, -5.0});
    add({-5.0, -6.0, na});
    add({-5.0, impossible, -5.0});
    add({-5.0, -6.0, impossible});
    add({-5.0, -6.0, -5.0});
    add({0.0, -1.0, -5.0});
    const SimulationStatistics s = simulationStatistics(three, 2, 0);
    EXPECT_EQ(s.notAvailableCount, 3);
    EXPECT_EQ(s.zeroCount, 2);
    EXPECT_EQ(s.ratioCount, 2);
    EXPECT_NEAR(s.maximum, std::exp(-1.0), 1e-12);

    // Nothing at all, or a scale that is not a hypothesis: nothing is counted.
    EXPECT_EQ(simulationStatistics({}, 0, 0).ratioCount, 0);
    EXPECT_EQ(simulationStatistics(sets, 0, 5).ratioCount, 0);
}

// The data sets as texts, "NA" for a missing value.
std::vector<std::vector<std::string>> shown(const SimulatedDataSets& sets) {
    std::vector<std::vector<std::string>> texts;
    for (const LogLikelihoods& set : sets) {
        texts.emplace_back();
        for (const LogLikelihood& v : set) {
            std::ostringstream text;
            if (v)
                text << *v;
            else
                text << "NA";
            texts.back().push_back(text.str());
        }
    }
    return texts;
}
using Texts = std::vector<std::vector<std::string>>;

// One block of engine output per data set, k families each.
std::string block(int first, const std::vector<std::string>& values) {
    std::string text;
    for (size_t i = 0; i < values.size(); ++i) {
        text += "Family " + std::to_string(first + i) + " [2 persons, 1 meioses]\n";
        if (values[i] == "skip")
            text +=
                "  family not analysed\nSkipping family: inconsistent with the pedigree\n"
                "lnLikelihood = 0\n";
        else
            text += "lnLikelihood = " + values[i] + "\n";
    }
    return text;
}

TEST(SimulatedEngineResults, skippedFamiliesHaveTheirReasonAndTheReadingGoesOn) {
    std::string text = "Chromosome 1 (2 markers)\n";
    text += block(1, {"-3.5", "-4.5"});
    text += block(3, {"skip", "-6.5"});
    // A "Skipping" word right after a block's Family line marks the first family too.
    text += "Family 5 [2 persons]\nSkipping family 5\nlnLikelihood = 0\n";
    text += "Family 6 [2 persons]\nlnLikelihood = -7.25\n";
    text += block(7, {"-1", "-2"});
    SimulatedDataSets sets;
    ASSERT_TRUE(readSimulatedBlocks(text, 2, 2, sets));
    // An inconsistent family is impossible (-inf); one skipped for another reason is missing.
    EXPECT_EQ(shown(sets),
              (Texts{{"-3.5", "-4.5"}, {"-inf", "-6.5"}, {"NA", "-7.25"}, {"-1", "-2"}}));

    // "Cluster" marks too; a value read as Skipping/Cluster family elsewhere stays 0.
    const std::string cluster =
        "Family 1\nCluster 1 is split\nlnLikelihood = -2\n"
        "Family 2\nlnLikelihood = -3\n";
    ASSERT_TRUE(readSimulatedBlocks(cluster, 1, 1, sets));
    EXPECT_EQ(shown(sets), (Texts{{"NA"}}));
    ASSERT_TRUE(readSimulatedBlocks(cluster, 2, 1, sets));
    EXPECT_EQ(shown(sets), (Texts{{"NA"}, {"-3"}}));
}

// One simulation of two hypotheses: two blocks of two families.
TEST(SimulatedEngineResults, errorsTheEndOfTheFileAndLineLimitsStopTheReading) {
    SimulatedDataSets sets;
    const std::string good = block(1, {"-1", "-2"});
    EXPECT_FALSE(
        readSimulatedBlocks(good + "an ERROR occurred\n" + block(3, {"-3", "-4"}), 1, 2, sets));
    EXPECT_EQ(shown(sets), (Texts{{"-1", "-2"}, {"NA", "NA"}}));

    EXPECT_FALSE(readSimulatedBlocks(good + "Family 3\nlnLikelihood = -3\n", 1, 2, sets));
    EXPECT_EQ(sets[1][0], -3.0);  // read up to the end of the file
    EXPECT_FALSE(sets[1][1]);
    // A number cut at the end of the output is no value.
    EXPECT_FALSE(readSimulatedBlocks(
        good + "Family 3\nlnLikelihood = -3\nFamily 4\nlnLikelihood = -4", 1, 2, sets));

    std::string filler;
    for (int i = 0; i < 1000; ++i) filler += "note\n";
    EXPECT_FALSE(readSimulatedBlocks(good + filler + block(3, {"-3", "-4"}), 1, 2, sets));
    EXPECT_TRUE(readSimulatedBlocks(good + filler.substr(5) + block(3, {"-3", "-4"}), 1, 2, sets));
    EXPECT_EQ(sets[1], (LogLikelihoods{-3.0, -4.0}));

    std::string longFamily = "Family 1\n";
    for (int i = 0; i < 1001; ++i) longFamily += "note\n";  // 1001 lines skipped: still read
    EXPECT_TRUE(readSimulatedBlocks(longFamily + "lnLikelihood = -1\n", 1, 1, sets));
    EXPECT_FALSE(readSimulatedBlocks(longFamily + "note\nlnLikelihood = -1\n", 1, 1, sets));
}

}  // namespace
}  // namespace relatix
