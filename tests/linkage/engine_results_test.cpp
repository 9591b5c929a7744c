#include "linkage/engine_results.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <sstream>

#include "linkage/likelihood_ratios.h"
#include "linkage_case.h"
#include "platform/trace_file.h"

namespace relatix {
namespace {

using testing::LinkageCase;
using testing::readFile;
using testing::ScopedCurrentDirectory;

const char* const kThreeFamilies =
    "Chromosome 1 (3 markers)\n"
    "Family 1 [3 persons, 2 meioses]\n"
    "lnLikelihood = -20.5\n"
    "Family 2 [9 persons, 30 meioses]\n"
    "Skipping family 2: too many meioses (30 > 24)\n"
    "lnLikelihood = -99\n"
    "Family 3 [2 persons, 0 meioses]\n"
    "lnLikelihood = -22.5\n";

// The values as texts, "NA" for a missing one, to compare whole lists at once.
std::vector<std::string> shown(const LogLikelihoods& values) {
    std::vector<std::string> texts;
    for (const LogLikelihood& v : values) {
        if (!v) {
            texts.push_back("NA");
        } else {
            std::ostringstream text;
            text << *v;
            texts.push_back(text.str());
        }
    }
    return texts;
}

using Texts = std::vector<std::string>;

std::string repeatedLines(int n) {
    std::string text;
    for (int i = 0; i < n; ++i) text += "note " + std::to_string(i) + "\n";
    return text;
}

TEST(EngineResultsReading, readsEachFamilyAndKeepsTheReasonOfSkippedOnes) {
    LogLikelihoods values;
    ASSERT_TRUE(readFamilyLikelihoods(kThreeFamilies, 3, values));
    EXPECT_EQ(shown(values), (Texts{"-20.5", "NA", "-22.5"}));
    EXPECT_EQ(values[1].reason(), "skipped by the linkage program: too many meioses (30 > 24)");

    // CR LF line ends, any separator word, "Cluster" as a mark.
    const std::string crlf =
        "banner\r\nFamily 1\r\nlnLikelihood : -1.25\r\nFamily 2\r\nCluster split\r\n"
        "lnLikelihood = -3\r\n";
    ASSERT_TRUE(readFamilyLikelihoods(crlf, 2, values));
    EXPECT_EQ(shown(values), (Texts{"-1.25", "NA"}));
}

TEST(EngineResultsReading, anInconsistentFamilyHasLikelihoodZeroAndLnZeroIsAValue) {
    LogLikelihoods values;
    ASSERT_TRUE(readFamilyLikelihoods(
        "Family 1\nSkipping family 1: inconsistent with the pedigree at marker M2\n"
        "lnLikelihood = 0\nFamily 2\nlnLikelihood = 0\n",
        2, values));
    EXPECT_EQ(values[0], -std::numeric_limits<double>::infinity());
    EXPECT_EQ(values[1], 0.0);
}

TEST(EngineResultsReading, wordsMustMatchExactly) {
    LogLikelihoods values;
    // "lnLikelihood:" is not the word; the read goes on to the real one.
    ASSERT_TRUE(readFamilyLikelihoods(
        "Family 1\nlnLikelihood: -5\nSkipping2 x\nlnLikelihood = -6\n", 1, values));
    EXPECT_EQ(shown(values), (Texts{"-6"}));
    EXPECT_FALSE(readFamilyLikelihoods("Family 1\nlnLikelihood: -5\n", 1, values));
    EXPECT_FALSE(readFamilyLikelihoods(" Family 1\nlnLikelihood = -5\n", 1, values));
    EXPECT_EQ(shown(values), (Texts{"NA"}));
}

TEST(EngineResultsReading, allowsAThousandSkippedLinesPerFamily) {
    LogLikelihoods values;
    // The family's first line and 999 more: 1000 lines before its value.
    const std::string head = "Family 1\nFamily 1 [2 persons]\n";
    EXPECT_TRUE(
        readFamilyLikelihoods(head + repeatedLines(999) + "lnLikelihood = -4\n", 1, values));
    EXPECT_EQ(shown(values), (Texts{"-4"}));
    EXPECT_FALSE(
        readFamilyLikelihoods(head + repeatedLines(1000) + "lnLikelihood = -4\n", 1, values));
    // Blank lines count as lines too.
    EXPECT_FALSE(
        readFamilyLikelihoods(head + std::string(1000, '\n') + "lnLikelihood = -4\n", 1, values));
}

TEST(EngineResultsReading, incompleteOutputGivesNoValueAtAll) {
    LogLikelihoods values;
    const Status early =
        readFamilyLikelihoods("Family 1\nlnLikelihood = -2\nFamily 2\n", 3, values);
    EXPECT_FALSE(early);
    EXPECT_EQ(early.message(), "the linkage program's output ends before family 2 of 3");
    EXPECT_EQ(shown(values), (Texts{"NA", "NA", "NA"}));
    EXPECT_EQ(values[0].reason(), early.message());
    EXPECT_FALSE(readFamilyLikelihoods("Family 1\nlnLikelihood =", 1, values));
    EXPECT_FALSE(readFamilyLikelihoods("no results\n", 1, values));
    // Cut inside the last number: "-24" may have been "-241.5".
    EXPECT_FALSE(readFamilyLikelihoods("Family 1\nlnLikelihood = -24", 1, values));
    EXPECT_EQ(shown(values), (Texts{"NA"}));
}

TEST(EngineResultsReading, valuesThatAreNoLogProbabilitiesAreMissing) {
    LogLikelihoods values;
    ASSERT_TRUE(readFamilyLikelihoods(
        "Family\nlnLikelihood = nan\nlnLikelihood = -inf\nlnLikelihood = abc\n"
        "lnLikelihood = 1e999\nlnLikelihood = -7.5e1\nlnLikelihood = 1118\n",
        6, values));
    EXPECT_EQ(shown(values), (Texts{"NA", "-inf", "NA", "NA", "-75", "NA"}));
    EXPECT_EQ(values[5].reason(), "the linkage program printed a positive log-likelihood (1118)");
}

struct ResultsCase : LinkageCase {
    ResultsCase() : LinkageCase({1, 1}) {
        hypotheses(24, {5, 3});
        std::filesystem::create_directories(temp(""));
    }
    void results(const std::string& first, const std::string& second) {
        folder.write("program/temp/tempResults.txt", first);
        folder.write("program/temp/tempResults2.txt", second);
    }
};

TEST(EngineResults, fillsUnlinkedFromTheFirstFileAndMerlinFromTheSecond) {
    ResultsCase c;
    c.results(kThreeFamilies,
              "Family 1\nlnLikelihood = -1\nFamily 2\nlnLikelihood = -2\nFamily 3\n"
              "lnLikelihood = -3\n");
    ASSERT_TRUE(readEngineResults(c.core));
    EXPECT_EQ(shown(c.core.unlinkedResults), (Texts{"-20.5", "NA", "-22.5"}));
    EXPECT_EQ(shown(c.core.merlinResults), (Texts{"-1", "-2", "-3"}));
}

TEST(EngineResults, aMissingOrIncompleteFileLeavesNoValueOfAnEarlierRun) {
    ResultsCase c;
    c.core.unlinkedResults = {1, 1, 1};
    c.core.merlinResults = {2, 2, 2};
    c.folder.write("program/temp/tempResults.txt", kThreeFamilies);
    const Status noSecond = readEngineResults(c.core);
    EXPECT_EQ(noSecond.message(), "the linkage program wrote no results file");
    EXPECT_EQ(shown(c.core.unlinkedResults), (Texts{"NA", "NA", "NA"}));

    c.results("Family 1\nlnLikelihood = -8\n", kThreeFamilies);
    EXPECT_FALSE(readEngineResults(c.core));
    EXPECT_EQ(shown(c.core.unlinkedResults), (Texts{"NA", "NA", "NA"}));
    EXPECT_EQ(shown(c.core.merlinResults), (Texts{"NA", "NA", "NA"}));
}

TEST(EngineResults, tracesTheNumbersOnlyWhenADebugFolderExists) {
    ResultsCase c;
    c.results(kThreeFamilies,
              "Family 1\nlnLikelihood = -1\nlnLikelihood = -2\nlnLikelihood = -3\n");
    testing::TempFolder work("trace");
    ScopedCurrentDirectory inWork(work.path());
    ASSERT_TRUE(readEngineResults(c.core));
    EXPECT_FALSE(std::filesystem::exists(tracePath("extractMerlinInfo")));
    std::filesystem::create_directory("Debug");
    ASSERT_TRUE(readEngineResults(c.core));
    EXPECT_EQ(readFile(tracePath("extractMerlinInfo")),
              "-20.5\n-99\n-22.5\nSecond likelihood: -1\nSecond likelihood: -2\n"
              "Second likelihood: -3\n");
}

TEST(LikelihoodRatios, scaleAgainstTheReferenceInLogSpace) {
    const double inf = std::numeric_limits<double>::infinity();
    const auto r = likelihoodRatios({-20.5, -22.5}, 2);
    EXPECT_DOUBLE_EQ(*r[0], std::exp(2.0));
    EXPECT_EQ(r[1], 1.0);
    const LogLikelihood na = LogLikelihood::missing("skipped");
    using Ratios = std::vector<std::optional<double>>;
    EXPECT_EQ(likelihoodRatios({-20.5, na, -22.5, -inf, 0.0}, 1),
              (Ratios{1.0, std::nullopt, std::exp(-2.0), 0.0, std::exp(20.5)}));
    // A reference without a value gives no ratios at all.
    EXPECT_EQ(likelihoodRatios({-20.5, na}, 2), (Ratios{std::nullopt, std::nullopt}));
    EXPECT_EQ(likelihoodRatios({-1.0, -2.0}, 3), (Ratios{std::nullopt, std::nullopt}));
    // An excluded reference: every possible hypothesis is infinitely more likely.
    EXPECT_EQ(likelihoodRatios({-3.0, -inf, -inf}, 2), (Ratios{inf, std::nullopt, std::nullopt}));
}

TEST(PosteriorProbabilities, weighLikelihoodsWithPriors) {
    const auto w = posteriorProbabilities({std::log(3.0), 0.0}, {0.5, 0.5});
    EXPECT_DOUBLE_EQ(*w[0], 0.75);
    EXPECT_DOUBLE_EQ(*w[1], 0.25);
    const auto v = posteriorProbabilities({0.0, 0.0, std::log(2.0)}, {0.5, 0.25, 0.25});
    EXPECT_DOUBLE_EQ(*v[0], 0.4);
    EXPECT_DOUBLE_EQ(*v[1], 0.2);
    EXPECT_DOUBLE_EQ(*v[2], 0.4);
    // A hypothesis the data exclude gets 0; the others share by their likelihoods
    // (the duo whose reference is excluded: 0.632 / 0 / 0.368).
    const double inf = std::numeric_limits<double>::infinity();
    const auto duo = posteriorProbabilities({-10.0, -inf, -10.0 - std::log(0.632 / 0.368)},
                                            {1.0 / 3, 1.0 / 3, 1.0 / 3});
    EXPECT_NEAR(*duo[0], 0.632, 1e-12);
    EXPECT_EQ(duo[1], 0.0);
    EXPECT_NEAR(*duo[2], 0.368, 1e-12);
    // Likelihoods far below the range of a double still give probabilities.
    const auto tiny = posteriorProbabilities({-2000.0, -2000.0 - std::log(3.0)}, {0.5, 0.5});
    EXPECT_NEAR(*tiny[0], 0.75, 1e-12);
    // No usable hypothesis: no posteriors.
    using Ratios = std::vector<std::optional<double>>;
    EXPECT_EQ(posteriorProbabilities({-1.0, -2.0}, {0, 0}), (Ratios{std::nullopt, std::nullopt}));
    EXPECT_EQ(posteriorProbabilities({-inf, -inf}, {0.5, 0.5}),
              (Ratios{std::nullopt, std::nullopt}));
    const auto partial = posteriorProbabilities({-1.0, LogLikelihood::missing("x")}, {0.5, 0.5});
    EXPECT_EQ(partial, (Ratios{1.0, std::nullopt}));
}

}  // namespace
}  // namespace relatix
