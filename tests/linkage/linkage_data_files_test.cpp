#include "linkage/linkage_data_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>

#include "linkage/linkage_frequencies.h"
#include "linkage_case.h"

namespace relatix {
namespace {

using testing::LinkageCase;

const std::vector<std::string> kAB = {"A", "B"};
const std::vector<double> kHalves = {0.5, 0.5};

TEST(LinkageMapFiles, shiftChromosomesOntoOneAndSpreadTheUnlinkedMap) {
    LinkageCase c({1, 1});
    c.addMarker("D1", 1, 10, kAB, kHalves);
    c.addMarker("D2", 2, 5, kAB, kHalves);
    const LinkageDataTexts t = linkageDataTexts(c.core, {});
    EXPECT_EQ(t.map, "CHROMOSOME\tMARKER\tPOSITION\n1\tD1\t10\n1\tD2\t1005\n");
    EXPECT_EQ(t.unlinkedMap, "CHROMOSOME\tMARKER\tPOSITION\n1\tD1\t1\n1\tD2\t1001\n");
    EXPECT_EQ(t.data, "M D1\nM D2\n");
}

TEST(LinkageMapFiles, offsetNeverResetsAndSkippedClustersStillRaiseIt) {
    LinkageCase c({1, 1});
    c.addMarker("A", 1, 1.5, kAB, kHalves);
    c.addMarker("B", 2, 2.5, kAB, kHalves);
    c.addMarker("C", 1, 3.5, kAB, kHalves);
    EXPECT_EQ(linkageDataTexts(c.core, {}).map,
              "CHROMOSOME\tMARKER\tPOSITION\n1\tA\t1.5\n1\tB\t1002.5\n1\tC\t2003.5\n");

    // B skipped: C still lies two chromosome shifts away; unlinked positions
    // count only the markers written.
    const LinkageDataTexts t = linkageDataTexts(c.core, {false, true, false});
    EXPECT_EQ(t.map, "CHROMOSOME\tMARKER\tPOSITION\n1\tA\t1.5\n1\tC\t2003.5\n");
    EXPECT_EQ(t.unlinkedMap, "CHROMOSOME\tMARKER\tPOSITION\n1\tA\t1\n1\tC\t1001\n");
    EXPECT_EQ(t.data, "M A\nM C\n");
    EXPECT_EQ(t.frequencies, "M A\nA 1 0.5\nA 2 0.5\nM C\nA 1 0.5\nA 2 0.5\n");
    EXPECT_EQ(t.clusters,
              "CLUSTER 1 \nHAPLO\t0.5\t1\t\nHAPLO\t0.5\t2\t\n\n\n"
              "CLUSTER 2 \nHAPLO\t0.5\t1\t\nHAPLO\t0.5\t2\t\n\n\n");
}

TEST(LinkageMapFiles, xChromosomeMarkersUseTheirRunningNumberAndStayOffTheUnlinkedMap) {
    LinkageCase c({1, 1});
    c.addMarker("A", 3, 10, kAB, kHalves);
    c.addMarker("DXS1", 24, 20.25, kAB, kHalves);
    c.addMarker("DXS2", 24, 30, kAB, kHalves);
    c.addMarker("B", 5, 7, kAB, kHalves);
    const LinkageDataTexts t = linkageDataTexts(c.core, {});
    EXPECT_EQ(t.map, "CHROMOSOME\tMARKER\tPOSITION\n1\tA\t10\nX\t2\t20.25\nX\t3\t30\n1\tB\t2007\n");
    // The unlinked position moved on past the two X markers.
    EXPECT_EQ(t.unlinkedMap, "CHROMOSOME\tMARKER\tPOSITION\n1\tA\t1\n1\tB\t3001\n");
}

TEST(LinkageMapFiles, markerNamesWithWhiteSpaceStayOneWord) {
    LinkageCase c({1});
    c.addMarker("Penta E", 1, 10, kAB, kHalves);
    c.addMarker("", 1, 12, kAB, kHalves);
    const LinkageDataTexts t = linkageDataTexts(c.core, {});
    EXPECT_EQ(t.data, "M Penta_E\nM _\n");
    EXPECT_EQ(t.map, "CHROMOSOME\tMARKER\tPOSITION\n1\tPenta_E\t10\n1\t_\t12\n");
    EXPECT_EQ(t.unlinkedMap.substr(t.unlinkedMap.find('\n') + 1), "1\tPenta_E\t1\n1\t_\t1001\n");
    EXPECT_EQ(t.frequencies.substr(0, 10), "M Penta_E\n");

    // Names that become equal stay two markers for the engine.
    LinkageCase twins({1});
    twins.addMarker("M 1", 1, 10, kAB, kHalves);
    twins.addMarker("M_1", 1, 12, kAB, kHalves);
    const LinkageDataTexts u = linkageDataTexts(twins.core, {});
    EXPECT_EQ(u.data, "M M_1\nM M_1_2\n");
    EXPECT_EQ(u.map, "CHROMOSOME\tMARKER\tPOSITION\n1\tM_1\t10\n1\tM_1_2\t12\n");
}

// Positions and frequencies read back as exactly the case's values: rounding in
// the files would move the linked likelihoods away from the exact ones.
TEST(LinkageMapFiles, numbersReadBackAsExactlyTheCaseValues) {
    LinkageCase c({1});
    c.addMarker("A", 1, 12.3456789, {"1", "2"}, {0.123456789, 0.876543211});
    c.addMarker("B", 2, 1.23456, {"1", "2", "3"}, {0.00001, 0.5, 0.49999});
    const LinkageDataTexts t = linkageDataTexts(c.core, {});
    EXPECT_EQ(t.map, "CHROMOSOME\tMARKER\tPOSITION\n1\tA\t12.3456789\n1\tB\t1001.23456\n");
    EXPECT_EQ(t.frequencies,
              "M A\nA 1 0.123456789\nA 2 0.876543211\nM B\nA 1 1e-05\nA 2 0.5\nA 3 0.49999\n");
}

TEST(LinkageFrequencyFile, adjustsFrequenciesWithTheCaseModel) {
    LinkageCase c({1});
    c.addMarker("A", 1, 1, {"1", "2"}, {0.25, 0.5});  // sums to 0.75
    c.core.clusterDatabase.newAlleleModel = 2;
    EXPECT_EQ(linkageDataTexts(c.core, {}).frequencies, "M A\nA 1 0.25\nA 2 0.5\nA 3 0.25\n");
    c.core.clusterDatabase.newAlleleModel = 1;
    EXPECT_EQ(linkageDataTexts(c.core, {}).frequencies,
              "M A\nA 1 0.3333333333333333\nA 2 0.6666666666666666\n");
}

std::vector<std::string> numberedNames(int n) {
    std::vector<std::string> names;
    for (int i = 1; i <= n; ++i) names.push_back(std::to_string(i));
    return names;
}

// n alleles: n - 1 of 1/128 and the rest on the last, so the sum is exactly 1.
std::vector<double> exactFrequencies(int n) {
    std::vector<double> f(static_cast<size_t>(n), 1.0 / 128);
    f.back() = 1.0 - (n - 1) / 128.0;
    return f;
}

TEST(LinkageFrequencyLumping, mergesOnlyTheAllelesAfterTheLargestCarriedOne) {
    const std::vector<double> f = exactFrequencies(70);
    const std::vector<std::string> names = numberedNames(70);
    const std::vector<double> lumped =
        lumpFrequencies(f, names, {{"1", "5"}, {"5", "-1"}, {"99", "1"}});
    // Every carried allele keeps its own frequency; the rest is one allele after them.
    ASSERT_EQ(lumped.size(), 6u);
    for (size_t a = 0; a < 5; ++a) EXPECT_EQ(lumped[a], f[a]) << a;
    EXPECT_DOUBLE_EQ(lumped[5], std::accumulate(f.begin() + 5, f.end(), 0.0));

    EXPECT_EQ(lumpFrequencies(f, names, {{"1", "1"}}).size(), 2u);
    // Nobody carries the last allele but one: a single allele after it stays as it is.
    EXPECT_EQ(lumpFrequencies(f, names, {{"69", "1"}}), f);
    // 63 entries are never lumped, 64 are.
    EXPECT_EQ(lumpFrequencies(exactFrequencies(63), numberedNames(63), {{"1", "5"}}).size(), 63u);
    EXPECT_EQ(lumpFrequencies(exactFrequencies(64), numberedNames(64), {{"1", "5"}}).size(), 6u);
}

TEST(LinkageFrequencyLumping, appliesToTheWrittenFrequencyFile) {
    LinkageCase c({1, 2});
    const int m = c.addMarker("SE33", 6, 1, numberedNames(70), exactFrequencies(70));
    c.genotype(1, m, "1", "5");
    c.genotype(2, m, "5", "5");
    const std::string text = linkageDataTexts(c.core, {}).frequencies;
    EXPECT_EQ(text,
              "M SE33\nA 1 0.0078125\nA 2 0.0078125\nA 3 0.0078125\nA 4 0.0078125\n"
              "A 5 0.0078125\nA 6 0.9609375\n");
}

TEST(LinkageClusterFile, enumeratesHaplotypesLikeAnOdometer) {
    LinkageCase c({1});
    c.addMarker("A", 1, 1, {"1", "2"}, {0.25, 0.75});
    ClusterSystem second;
    second.name = "B";
    second.alleleNames = {"1", "2", "3"};
    second.frequencies = {0.5, 0.25, 0.25};
    c.core.clusterDatabase.clusters[0].systems.push_back(second);
    c.core.genotypeTable.addSystem(1);
    c.core.clusterDatabase.clusters[0].haplotypes = {
        {"h", 1, {2, 3}}, {"h", 1, {2, 3}}, {"h", 1, {1, 1}}};
    c.addMarker("C", 2, 1, kAB, kHalves);
    c.core.clusterDatabase.haplotypeWeight = 1.0;
    // (n + P) / (1 + 3): e.g. (1 + 0.125) / 4 and (2 + 0.1875) / 4.
    EXPECT_EQ(linkageDataTexts(c.core, {}).clusters,
              "CLUSTER 1 2 \n"
              "HAPLO\t0.28125\t1\t1\t\n"
              "HAPLO\t0.015625\t1\t2\t\n"
              "HAPLO\t0.015625\t1\t3\t\n"
              "HAPLO\t0.09375\t2\t1\t\n"
              "HAPLO\t0.046875\t2\t2\t\n"
              "HAPLO\t0.546875\t2\t3\t\n"
              "\n\n"
              "CLUSTER 3 \n"
              "HAPLO\t0.5\t1\t\n"
              "HAPLO\t0.5\t2\t\n"
              "\n\n");
}

TEST(LinkageDataFiles, writesAllFiveFilesWithLineFeedsIntoANewTempFolder) {
    LinkageCase c({1});
    c.addMarker("A", 1, 1, kAB, kHalves);
    ASSERT_FALSE(std::filesystem::exists(c.temp("")));
    EXPECT_TRUE(writeLinkageDataFiles(c.core, {}));
    const LinkageDataTexts t = linkageDataTexts(c.core, {});
    EXPECT_EQ(c.read("temp.dat"), t.data);
    EXPECT_EQ(c.read("temp.map"), t.map);
    EXPECT_EQ(c.read("temp2.map"), t.unlinkedMap);
    EXPECT_EQ(c.read("temp.freq"), t.frequencies);
    EXPECT_EQ(c.read("temp.clusters"), t.clusters);
    EXPECT_EQ(c.read("temp.map").find('\r'), std::string::npos);
}

TEST(LinkageDataFiles, reportsFilesThatCannotBeWritten) {
    LinkageCase c({1});
    c.addMarker("A", 1, 1, kAB, kHalves);
    // The program folder is a file: no temp folder can exist below it.
    c.core.programDirectory = c.folder.write("not a folder", "x");
    EXPECT_FALSE(writeLinkageDataFiles(c.core, {}));
}

}  // namespace
}  // namespace relatix
