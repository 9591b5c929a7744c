#include "linkage/linkage_ped_file.h"

#include <gtest/gtest.h>

#include "linkage/linkage_pedigree_rows.h"
#include "linkage_case.h"

namespace relatix {
namespace {

using testing::LinkageCase;

// Two typed men at two markers: paternity duo with the alternatives "Unrelated"
// and "Full Siblings".
struct DuoCase : LinkageCase {
    DuoCase() : LinkageCase({1, 1}) {
        a = addMarker("A", 1, 10, {"12", "13", "14"}, {0.2, 0.3, 0.5});
        b = addMarker("B", 2, 10, {"8", "9.3"}, {0.4, 0.6});
        genotype(1, a, "12", "14");
        genotype(2, a, "13", "17");  // 17 is not an allele of A
        genotype(1, b, "9.3", "9.3");
        genotype(2, b, std::string(1, '\xff'), "8");  // the unknown allele
        hypotheses(24, {5, 3});
    }
    int a = 0;
    int b = 0;
};

TEST(LinkagePedFile, writesOneFamilyPerCatalogueHypothesisWithAlleleNumbers) {
    DuoCase c;
    EXPECT_TRUE(writeLinkagePedFile(c.core, {}));
    EXPECT_EQ(c.read("temp.ped"),
              "1 1 0 0 1 1 3 2 2 \n"
              "1 2 0 0 2 0 0 0 0 \n"
              "1 3 1 2 1 2 x 0 1 \n"
              "2 1 0 0 1 1 3 2 2 \n"
              "2 2 0 0 1 2 x 0 1 \n"
              "3 1 0 0 1 0 0 0 0 \n"
              "3 2 0 0 2 0 0 0 0 \n"
              "3 3 1 2 1 1 3 2 2 \n"
              "3 4 1 2 1 2 x 0 1 \n");
}

TEST(LinkagePedFile, leavesSkippedClustersOutOfEveryRow) {
    DuoCase c;
    c.hypotheses(24, {});
    EXPECT_TRUE(writeLinkagePedFile(c.core, {true}));
    EXPECT_EQ(c.read("temp.ped"),
              "1 1 0 0 1 2 2 \n"
              "1 2 0 0 2 0 0 \n"
              "1 3 1 2 1 0 1 \n");
}

TEST(LinkagePedFile, rowsOfAFemaleFirstPersonFollowHerSex) {
    DuoCase c;
    c.core.genotypeTable.sexCodes = {2, 1};
    const std::vector<std::string> rows = linkagePedigreeRows(24, c.core, {false, true});
    EXPECT_EQ(rows, (std::vector<std::string>{"1 0 0 2 1 3 ", "2 0 0 1 0 0 ", "3 2 1 1 2 x "}));
    // Without sex codes the rows still come out, with sex 0 (unknown).
    c.core.genotypeTable.sexCodes.clear();
    EXPECT_EQ(linkagePedigreeRows(24, c.core, {false, true}).front(), "1 0 0 0 1 3 ");
    EXPECT_TRUE(linkagePedigreeRows(27, c.core, {}).empty());
}

TEST(LinkagePedFile, simulationLayoutAppendsFamiliesNumberedPerDataSet) {
    DuoCase c;
    c.hypotheses(24, {5});
    ASSERT_TRUE(writeLinkagePedFile(c.core, {false, true}, PedFileLayout::simulationRun(0, 0, 2)));
    const std::string firstDataSet = c.read("temp.ped");
    ASSERT_TRUE(writeLinkagePedFile(c.core, {false, true}, PedFileLayout::simulationRun(0, 1, 2)));
    ASSERT_TRUE(writeLinkagePedFile(c.core, {false, true}, PedFileLayout::simulationRun(3, 1, 2)));
    const std::string text = c.read("temp.ped");
    std::vector<std::string> families;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find('\n', start);
        const std::string line = text.substr(start, end - start);
        families.push_back(line.substr(0, line.find(' ')));
        start = end + 1;
    }
    // (r*k + s)*k + i + 1: 1, 2; 3, 4; 15, 16; three lines per duo family, two per unrelated.
    EXPECT_EQ(families, (std::vector<std::string>{"1", "1", "1", "2", "2", "3", "3", "3", "4", "4",
                                                  "15", "15", "15", "16", "16"}));
    // The normal layout replaces the file.
    ASSERT_TRUE(writeLinkagePedFile(c.core, {false, true}));
    EXPECT_EQ(c.read("temp.ped"), firstDataSet);
}

TEST(LinkagePedFile, createdPedigreesUseTabsAndParentsBySex) {
    LinkageCase c({1, 2, 1});
    const int a = c.addMarker("A", 1, 10, {"12", "13"}, {0.5, 0.5});
    c.genotype(1, a, "12", "13");
    c.genotype(3, a, "13", "13");
    c.core.genotypeTable.pedigreePersons = {Person("F", true), Person("M", false),
                                            Person("C", true)};
    Pedigree trio;
    trio.relations = {{2, 3}, {1, 3}};  // mother first: still father 1, mother 2
    Pedigree unrelated;
    c.core.createdPedigrees = {trio, unrelated};
    c.core.mainHypothesis = kCreatedPedigrees;
    EXPECT_TRUE(writeLinkagePedFile(c.core, {}));
    EXPECT_EQ(c.read("temp.ped"),
              "1\t1\t0\t0\t1\t1\t2\t\n"
              "1\t2\t0\t0\t2\t0\t0\t\n"
              "1\t3\t1\t2\t1\t2\t2\t\n"
              "2\t1\t0\t0\t1\t1\t2\t\n"
              "2\t2\t0\t0\t2\t0\t0\t\n"
              "2\t3\t0\t0\t1\t2\t2\t\n");
}

TEST(LinkagePedFile, twoParentsOfOneSexAreBothKept) {
    LinkageCase c({1, 1, 1});
    c.core.genotypeTable.pedigreePersons = {Person("A", true), Person("B", true),
                                            Person("C", true)};
    Pedigree pedigree;
    pedigree.relations = {{1, 3}, {2, 3}};
    EXPECT_EQ(createdPedigreeRows(pedigree, c.core, {})[2], "3\t1\t2\t1\t");
}

TEST(LinkagePedFile, failsWithoutWritingWhenHypothesesOrTheFileAreUnusable) {
    DuoCase c;
    ASSERT_TRUE(writeLinkagePedFile(c.core, {}));
    c.core.alternativeHypotheses = {99};
    EXPECT_FALSE(writeLinkagePedFile(c.core, {}));
    EXPECT_EQ(c.read("temp.ped"), "");  // no earlier families left behind
    c.core.mainHypothesis = kNoHypothesis;
    EXPECT_FALSE(writeLinkagePedFile(c.core, {}));

    DuoCase d;
    d.core.programDirectory = d.folder.write("plain file", "x");
    EXPECT_FALSE(writeLinkagePedFile(d.core, {}));
}

}  // namespace
}  // namespace relatix
