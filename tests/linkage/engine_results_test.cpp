#include "linkage/engine_results.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

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

std::string repeatedLines(int n) {
    std::string text;
    for (int i = 0; i < n; ++i) text += "note " + std::to_string(i) + "\n";
    return text;
}

TEST(EngineResultsReading, readsEachFamilyAndZeroesSkippedOnes) {
    std::vector<double> values{7, 7, 7, 7};
    ASSERT_TRUE(readFamilyLikelihoods(kThreeFamilies, 3, values));
    EXPECT_EQ(values, (std::vector<double>{-20.5, 0, -22.5}));

    // CR LF line ends, any separator word, "Cluster" as a mark.
    const std::string crlf =
        "banner\r\nFamily 1\r\nlnLikelihood : -1.25\r\nFamily 2\r\nCluster split\r\n"
        "lnLikelihood = -3\r\n";
    ASSERT_TRUE(readFamilyLikelihoods(crlf, 2, values));
    EXPECT_EQ(values, (std::vector<double>{-1.25, 0}));
}

TEST(EngineResultsReading, wordsMustMatchExactly) {
    std::vector<double> values;
    // "lnLikelihood:" is not the word; the read goes on to the real one.
    ASSERT_TRUE(readFamilyLikelihoods(
        "Family 1\nlnLikelihood: -5\nSkipping2 x\nlnLikelihood = -6\n", 1, values));
    EXPECT_EQ(values, (std::vector<double>{-6}));
    EXPECT_FALSE(readFamilyLikelihoods("Family 1\nlnLikelihood: -5\n", 1, values));
    EXPECT_FALSE(readFamilyLikelihoods(" Family 1\nlnLikelihood = -5\n", 1, values));
    EXPECT_EQ(values, (std::vector<double>{0}));
}

TEST(EngineResultsReading, allowsAThousandSkippedLinesPerFamily) {
    std::vector<double> values;
    // The family's first line and 999 more: 1000 lines before its value.
    const std::string head = "Family 1\nFamily 1 [2 persons]\n";
    EXPECT_TRUE(
        readFamilyLikelihoods(head + repeatedLines(999) + "lnLikelihood = -4\n", 1, values));
    EXPECT_EQ(values, (std::vector<double>{-4}));
    EXPECT_FALSE(
        readFamilyLikelihoods(head + repeatedLines(1000) + "lnLikelihood = -4\n", 1, values));
    // Blank lines count as lines too.
    EXPECT_FALSE(
        readFamilyLikelihoods(head + std::string(1000, '\n') + "lnLikelihood = -4\n", 1, values));
}

TEST(EngineResultsReading, keepsWhatWasReadWhenTheTextEndsEarly) {
    std::vector<double> values;
    EXPECT_FALSE(readFamilyLikelihoods("Family 1\nlnLikelihood = -2\nFamily 2\n", 3, values));
    EXPECT_EQ(values, (std::vector<double>{-2, 0, 0}));
    EXPECT_FALSE(readFamilyLikelihoods("Family 1\nlnLikelihood =", 1, values));
    EXPECT_FALSE(readFamilyLikelihoods("no results\n", 1, values));
    EXPECT_EQ(values, (std::vector<double>{0}));
}

TEST(EngineResultsReading, valuesThatAreNoFiniteNumbersMeanNoValue) {
    std::vector<double> values;
    ASSERT_TRUE(readFamilyLikelihoods(
        "Family\nlnLikelihood = nan\nlnLikelihood = -inf\nlnLikelihood = abc\n"
        "lnLikelihood = 1e999\nlnLikelihood = -7.5e1\n",
        5, values));
    EXPECT_EQ(values, (std::vector<double>{0, 0, 0, 0, -75}));
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
    EXPECT_EQ(c.core.unlinkedResults, (std::vector<double>{-20.5, 0, -22.5}));
    EXPECT_EQ(c.core.merlinResults, (std::vector<double>{-1, -2, -3}));
}

TEST(EngineResults, missingOrFailingFilesChangeOnlyWhatWasRead) {
    ResultsCase c;
    c.core.unlinkedResults = {1, 1, 1};
    c.core.merlinResults = {2, 2, 2};
    c.folder.write("program/temp/tempResults.txt", kThreeFamilies);
    EXPECT_FALSE(readEngineResults(c.core));  // no second file
    EXPECT_EQ(c.core.unlinkedResults, (std::vector<double>{1, 1, 1}));

    c.results("Family 1\nlnLikelihood = -8\n", kThreeFamilies);
    EXPECT_FALSE(readEngineResults(c.core));
    EXPECT_EQ(c.core.unlinkedResults, (std::vector<double>{-8, 0, 0}));
    EXPECT_EQ(c.core.merlinResults, (std::vector<double>{2, 2, 2}));

    c.results(kThreeFamilies, "");
    EXPECT_FALSE(readEngineResults(c.core));
    EXPECT_EQ(c.core.unlinkedResults, (std::vector<double>{-20.5, 0, -22.5}));
    EXPECT_EQ(c.core.merlinResults, (std::vector<double>{0, 0, 0}));
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

TEST(LikelihoodRatios, scaleAgainstTheReferenceAndTreatZeroAsNoValue) {
    const std::vector<double> r = likelihoodRatios({-20.5, -22.5}, 2);
    EXPECT_DOUBLE_EQ(r[0], std::exp(2.0));
    EXPECT_EQ(r[1], 1.0);
    EXPECT_EQ(likelihoodRatios({-20.5, 0, -22.5}, 1), (std::vector<double>{1, 0, std::exp(-2.0)}));
    // A reference without a value gives no ratios at all.
    EXPECT_EQ(likelihoodRatios({-20.5, 0, -22.5}, 2), (std::vector<double>{0, 0, 0}));
    EXPECT_EQ(likelihoodRatios({-1, -2}, 3), (std::vector<double>{0, 0}));
    EXPECT_EQ(likelihoodRatios({-1, -2}, 0), (std::vector<double>{0, 0}));
}

TEST(PosteriorProbabilities, weighRatiosWithPriors) {
    const std::vector<double> w = posteriorProbabilities({3, 1}, {0.5, 0.5});
    EXPECT_DOUBLE_EQ(w[0], 0.75);
    EXPECT_DOUBLE_EQ(w[1], 0.25);
    const std::vector<double> v = posteriorProbabilities({1, 1, 2}, {0.5, 0.25, 0.25});
    EXPECT_DOUBLE_EQ(v[0], 0.4);
    EXPECT_DOUBLE_EQ(v[1], 0.2);
    EXPECT_DOUBLE_EQ(v[2], 0.4);
    EXPECT_EQ(posteriorProbabilities({0, 0}, {0.5, 0.5}), (std::vector<double>{0, 0}));
    EXPECT_EQ(posteriorProbabilities({1, 2}, {0, 0}), (std::vector<double>{0, 0}));
    EXPECT_EQ(posteriorProbabilities({1, 2}, {1}), (std::vector<double>{1, 0}));
    // Ratios beyond the range of a double still give probabilities.
    const double huge = std::exp(800.0);
    EXPECT_EQ(posteriorProbabilities({huge, 1, huge}, {0.5, 0.25, 0.25}),
              (std::vector<double>{0.5, 0, 0.5}));
}

}  // namespace
}  // namespace relatix
