#include "tools/merlin_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "core/core.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempFolder;

TEST(MerlinFiles, frequenciesAreRenumberedInFileOrder) {
    TempFolder folder;
    const std::string path = folder.write(
        "user.freq", "M D1S1656\r\nA 12 0.1\r\nA 13 0.9\r\nM empty\nM TH01\nF 0.25 0.75\n");
    std::vector<FrequencyMarker> markers;
    ASSERT_TRUE(writeModifiedFrequencies(path, markers));
    EXPECT_EQ(readFile(folder.file("user_modified.freq")),
              "M D1S1656\r\nA 1 0.1\r\nA 2 0.9\r\nM TH01\r\nA 1 0.25\r\nA 2 0.75\r\n");
    ASSERT_EQ(markers.size(), 2u);  // the marker without alleles is left out
    EXPECT_EQ(markers[0].position("13"), 2);
    EXPECT_EQ(markers[0].position("14"), 0);
    EXPECT_EQ(markers[1].alleles, (std::vector<std::string>{"1", "2"}));
}

// Two families, persons matched by sex and toy genotypes: the first matching
// line in file order, and none for a person typed differently.
const char* kPedigree =
    "duo 1 0 0 1 12 12\n"
    "duo 2 0 0 2 0 0\n"
    "duo 3 1 2 1 12/13\n"
    "\n"
    "pair A 0 0 1 12 12\n"
    "pair B 0 0 1 12 12\n"
    "pair C 0 0 2 13 13\n";

TEST(MerlinFiles, pedigreeFamiliesMatchAndCopies) {
    TempFolder folder;
    const std::string freq = folder.write("f.freq", "M D1\nA 12 0.5\nA 13 0.5\n");
    const std::string ped = folder.write("fam.ped", kPedigree);
    std::vector<FrequencyMarker> markers;
    ASSERT_TRUE(readFrequencyMarkers(freq, markers));
    MerlinPedigree pedigree;
    ASSERT_TRUE(writeSimulationPedigrees(ped, pedigree, markers, 10));
    EXPECT_EQ(pedigree.familyCount, 2);
    ASSERT_EQ(pedigree.lines.size(), 6u);
    // duo 1 matches pair A (the first of A and B); pair B matches duo 1 too.
    EXPECT_EQ(pedigree.match[0][1], 3);
    EXPECT_EQ(pedigree.match[4][0], 0);
    EXPECT_EQ(pedigree.match[2][1], -1);  // the child has no match among the pair
    EXPECT_EQ(pedigree.match[5][0], -1);
    EXPECT_EQ(pedigree.match[2][0], 2);  // every line matches itself

    const std::string text = readFile(folder.file("fam_to_simulate.ped"));
    EXPECT_EQ(text.substr(0, text.find('\n') + 1), "1 1 0 0 1 1 1 \r\n");
    EXPECT_NE(text.find("1 3 1 2 1 1 2 \r\n"), std::string::npos);  // "12/13" read as two words
    EXPECT_NE(text.find("2 C 0 0 2 2 2 \r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n20 C 0 0 2 2 2 \r\n"), std::string::npos);
    EXPECT_EQ(text.find("\r\n21 "), std::string::npos);
    EXPECT_NE(text.find("1 2 0 0 2 0 0 \r\n"), std::string::npos);  // an unknown allele is 0

    // One family copied n times still gives a family per copy.
    const std::string single = folder.write("one.ped", "f 1 0 0 1 12 12\nf 2 0 0 2 13 13\n");
    ASSERT_TRUE(writeSimulationPedigrees(single, pedigree, markers, 10));
    EXPECT_NE(readFile(folder.file("one_to_simulate.ped")).find("\r\n10 2 0 0 2 2 2 \r\n"),
              std::string::npos);
}

// Families that would be skipped or compared on different data are named with
// the persons concerned; untyped persons need no match.
TEST(MerlinFiles, pedigreeProblemsNameFamilyAndPersons) {
    TempFolder folder;
    auto problem = [&](const std::string& text) {
        MerlinPedigree pedigree;
        EXPECT_TRUE(readMerlinPedigree(folder.write("p.ped", text), pedigree));
        return merlinPedigreeProblem(pedigree);
    };
    EXPECT_EQ(problem("duo 1 0 0 1 12 12\nduo 2 0 0 2 0 0\nduo 3 1 2 1 12/13\n"
                      "pair 1 0 0 1 12 12\npair 3 0 0 1 12 13\n"),
              "");
    EXPECT_EQ(problem(kPedigree),
              "Every typed person must be in every family, with the same sex and toy genotypes: "
              "person 3 of family duo (pedigree 1) has no person of the same sex and toy genotypes "
              "in family pair (pedigree 2); person C of family pair (pedigree 2) has no person of "
              "the same sex and toy genotypes in family duo (pedigree 1)");
    // A loop through three generations, named from a person down to him again.
    EXPECT_EQ(problem("f 1 0 0 1 0 0\nf 2 0 0 2 0 0\nf 3 1 2 1 0 0\nf 4 3 5 1 0 0\n"
                      "f 5 4 2 2 0 0\n"),
              "In family f (pedigree 1) person 4 is his own ancestor (each a parent of the next: "
              "4 -> 5 -> 4)");
    EXPECT_EQ(problem("a 1 0 0 1 0 0\nb 1 1 0 1 0 0\n"),
              "In family b (pedigree 2) person 1 is his own ancestor (each a parent of the next: "
              "1 -> 1)");
    EXPECT_EQ(problem("a 1 0 0 1 0 0\na 1 0 0 2 0 0\n"),
              "In family a (pedigree 1) person 1 is listed twice");
    EXPECT_EQ(problem("a 1 0 0 1 0 0\na 2 1 1 2 0 0\n"),
              "In family a (pedigree 1) person 2 has the same father and mother");
}

// Toy genotypes cannot stand in for frequencies: a typed marker of the map without
// them is refused; a toy allele the frequency file lacks is a warning.
TEST(MerlinFiles, toyGenotypesNeedTheFrequenciesOfTheirMarkers) {
    TempFolder folder;
    const std::string map = folder.write("m.map", "CHR MARKER POS\n1 D1 0\n1 D2 10\n");
    const std::string dat = folder.write("d.dat", "M D1\nM D2\nM D3\n");
    const std::string ped =
        folder.write("p.ped", "a 1 0 0 1 12 12 7 7 5 5\nb 1 0 0 1 12 12 7 7 5 5\n");
    auto check = [&](const std::string& frequencies, std::vector<std::string>& warnings) {
        std::vector<FrequencyMarker> markers;
        EXPECT_TRUE(readFrequencyMarkers(folder.write("f.freq", frequencies), markers));
        MerlinPedigree pedigree;
        EXPECT_TRUE(readDataColumns(dat, markers, pedigree.layout));
        EXPECT_TRUE(readMerlinPedigree(ped, pedigree));
        return merlinFrequencyProblem(pedigree, markers, map,
                                      [&](const std::string& text) { warnings.push_back(text); });
    };
    std::vector<std::string> warnings;
    // D3 is not on the map: it needs none.
    EXPECT_EQ(check("M D1\nA 12 1\nM D2\nA 7 0.5\nA 8 0.5\n", warnings), "");
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(check("", warnings),
              "The frequency file has no frequencies for markers D1, D2, at which the pedigree "
              "file types persons: toy genotypes only say who is typed, so the frequencies cannot "
              "be counted from them");
    EXPECT_NE(check("M D1\nA 12 0\nM D2\nA 8 1\n", warnings).find("for marker D1, at"),
              std::string::npos);
    ASSERT_EQ(warnings.size(), 1u);  // once for the marker, not once per person
    EXPECT_EQ(warnings[0],
              "the frequency file has no allele 7 at marker D2 (person 1 of family a (pedigree "
              "1)): a person typed with it counts as untyped there");
}

// Genotypes with blanks around their slash are one genotype, as in the plain form.
TEST(MerlinFiles, slashedGenotypesWithBlanksReadAsThePlainForm) {
    TempFolder folder;
    const std::string freq = folder.write("f.freq", "M D1\nA 12 0.5\nA 13 0.5\nM D2\nF 0.5 0.5\n");
    std::vector<FrequencyMarker> markers;
    ASSERT_TRUE(readFrequencyMarkers(freq, markers));
    MerlinPedigree plain, slashed;
    ASSERT_TRUE(writeSimulationPedigrees(
        folder.write("plain.ped",
                     "1 1 . . 1 12 13 2 1\n1 2 . . 2 13 13 1 1\n1 3 1 2 1 12 13 2 2\n"),
        plain, markers, 10));
    ASSERT_TRUE(writeSimulationPedigrees(
        folder.write("slashed.ped",
                     "1 1 . . 1 12/ 13 2 /1\n1 2 . . 2 13 / 13   1/1\n1 3 1 2 1 12/13 2 / 2\n"),
        slashed, markers, 10));
    EXPECT_EQ(slashed.lines, plain.lines);
    EXPECT_EQ(readFile(folder.file("slashed_to_simulate.ped")),
              readFile(folder.file("plain_to_simulate.ped")));
}

TEST(MerlinFiles, replicatesGoToTheMatchingPersonsOfEveryFamily) {
    TempFolder folder;
    const std::string freq = folder.write("f.freq", "M D1\nA 12 0.5\nA 13 0.5\nM D2\nA 7 1\n");
    const std::string ped =
        folder.write("fam.ped",
                     "duo 1 0 0 1 12 12 7 7\nduo 3 1 0 1 12 13 7 7\npair X 0 0 1 12 12 7 7\n"
                     "pair Y 0 0 2 13 13 7 7\n");
    std::vector<FrequencyMarker> markers;
    ASSERT_TRUE(readFrequencyMarkers(freq, markers));
    MerlinPedigree pedigree;
    ASSERT_TRUE(readMerlinPedigree(ped, pedigree));
    const std::string replicates =
        "1 1 0 0 1 1/2 1/1\n1 3 1 0 1 2/2 1/1\n2 X 0 0 1 1/1 1/1\n2 Y 0 0 2 2/1 1/1\n"
        "3 1 0 0 1 2/1 1/1\n3 3 1 0 1 1/1 1/1\n4 X 0 0 1 2/2 1/1\n4 Y 0 0 2 1/2 1/1\n";
    ConvertedReplicates converted;
    ASSERT_TRUE(convertReplicateText(replicates, "r.ped", pedigree, markers, 2, converted));
    const std::vector<std::string> expected = {
        // replicate 1, the duo true: X carries the father's genotypes, Y has no match
        "1\t1\t0\t0\t1\t1/2 1/1 ", "1\t3\t1\t0\t1\t2/2 1/1 ", "2\tX\t0\t0\t1\t1/2 1/1 ",
        "2\tY\t0\t0\t2\t0 0 0 0 ",
        // replicate 1, the pair true: the father carries X's, the child has no match
        "3\t1\t0\t0\t1\t1/1 1/1 ", "3\t3\t1\t0\t1\t0 0 0 0 ", "4\tX\t0\t0\t1\t1/1 1/1 ",
        "4\tY\t0\t0\t2\t2/1 1/1 "};
    std::string first;
    for (const std::string& line : expected) first += line + "\r\n";
    EXPECT_EQ(converted.engineText.substr(0, first.size()), first);
    EXPECT_NE(converted.namedText.find("2\tX\t0\t0\t1\t12 13 7 7 \r\n"), std::string::npos);
    EXPECT_NE(converted.engineText.find("\r\n8\tY\t0\t0\t2\t1/2 1/1 \r\n"), std::string::npos);

    // Fewer replicate lines than n copies of the pedigree are a failure, not a short file.
    const Status shortFile =
        convertReplicateText(replicates, "r.ped", pedigree, markers, 3, converted);
    EXPECT_FALSE(shortFile);
    EXPECT_NE(shortFile.message().find("r.ped"), std::string::npos);
}

// A data file with other columns and its markers in another order than the
// frequency file: the columns stay where they are, each marker finds its alleles.
TEST(MerlinFiles, theDataFileLaysOutTheColumns) {
    TempFolder folder;
    const std::string freq = folder.write("f.freq", "M a\nA 12 0.5\nA 13 0.5\nM b\nA 7 1\n");
    const std::string dat = folder.write("f.dat", "A disease\nM b\nS2\nZ twin\nM a\nE\nM c\n");
    const std::string ped = folder.write("f.ped", "f 1 0 0 1 2 7 7 x y MZ 13 12\n");
    std::vector<FrequencyMarker> markers;
    ASSERT_TRUE(readFrequencyMarkers(freq, markers));
    MerlinPedigree pedigree;
    ASSERT_TRUE(readDataColumns(dat, markers, pedigree.layout));
    ASSERT_EQ(pedigree.layout.size(), 5u);
    EXPECT_EQ(pedigree.layout[2].columns, 2);
    EXPECT_EQ(pedigree.layout[4].frequencyMarker, 0);
    ASSERT_TRUE(writeSimulationPedigrees(ped, pedigree, markers, 1));
    EXPECT_EQ(readFile(folder.file("f_to_simulate.ped")), "1 1 0 0 1 2 1 1 x y MZ 2 1 \r\n");
    ConvertedReplicates converted;
    ASSERT_TRUE(
        convertReplicateText("1 1 0 0 1 1/1 1/2\n", "r.ped", pedigree, markers, 1, converted));
    EXPECT_EQ(converted.engineText, "1\t1\t0\t0\t1\t2 1/1 x y MZ 1/2 \r\n");
    EXPECT_EQ(converted.namedText, "1\t1\t0\t0\t1\t2 7 7 x y MZ 12 13 \r\n");
}

// Engine output for n = 1 and two families: one block of 2 per true family, per chromosome.
std::string output(const std::vector<std::string>& values) {
    std::string text;
    size_t i = 0;
    for (int chromosome = 1; i < values.size(); ++chromosome) {
        text += "Chromosome " + std::to_string(chromosome) + " (1 markers)\n";
        for (int family = 1; family <= 4; ++family, ++i) {
            text += "Family " + std::to_string(family) + " [2 persons, 1 meioses]\n";
            if (values[i] == "skip")
                text +=
                    "  family not analysed\nSkipping family: too many meioses\nlnLikelihood = 0\n";
            else
                text += "lnLikelihood = " + values[i] + "\n";
        }
    }
    return text;
}

TEST(MerlinFiles, chromosomesAreSummedAndASkippedFamilyHasNoValue) {
    SimulatedDataSets sets;
    ASSERT_TRUE(readMerlinLikelihoods(
        output({"-1", "-2", "-3", "skip", "-10", "-20", "skip", "-40"}), "out", 2, 1, 2, sets));
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0][0], LogLikelihood(-11.0));
    EXPECT_EQ(sets[0][1], LogLikelihood(-22.0));
    EXPECT_FALSE(sets[1][0]);  // skipped on chromosome 2
    EXPECT_FALSE(sets[1][1]);  // skipped on chromosome 1
    // An output with fewer blocks than the map's chromosomes is reported.
    EXPECT_FALSE(readMerlinLikelihoods(output({"-1", "-2", "-3", "-4"}), "out", 2, 1, 2, sets));
}

TEST(MerlinFiles, ratioTableLayoutAndMissingValues) {
    // n = 1, F = 2: data set 0 has family 1 true, data set 1 family 2 true.
    const SimulatedDataSets linked = {{-1.0, -3.0}, {LogLikelihood::missing("skipped"), -2.0}};
    const SimulatedDataSets unlinked = {{-1.0, -2.0}, {-4.0, LogLikelihood::missing("skipped")}};
    const std::string table = merlinRatioTable(linked, unlinked, 1, 2);
    const std::string header =
        "Likelihoods ratios (LR) L(Data|True hypothesis)/L(Data|Alternative hypothesis)\r\n"
        "NumberOfSimulations:\t1\r\n\r\n"
        "(Accounting for linkage)\t-\t-\t-\t-\t-\t| (Not accounting for linkage)\t-\t-\t-\t-\t-\t-"
        "\t| LR(Not accounting for linkage)/LR(Accounting for linkage)\r\n"
        "Pedigree 1 (TRUE)\tPedigree 2\t\tPedigree 1\tPedigree 2 (TRUE)\t\t|\t"
        "Pedigree 1 (TRUE)\tPedigree 2\t\tPedigree 1\tPedigree 2 (TRUE)\t\t|\t"
        "Pedigree 1 (TRUE)\tPedigree 2\t\tPedigree 1\tPedigree 2 (TRUE)\t\t\r\n";
    ASSERT_EQ(table.substr(0, header.size()), header);
    const std::string row = table.substr(header.size());
    // exp(2) = 7.38906, exp(1) = 2.71828, their quotient exp(-1) = 0.367879.
    EXPECT_EQ(row,
              "-\t7.38906\t\t-*\t-\t\t|\t-\t2.71828\t\t0\t-\t\t|\t-\t0.367879\t\t1\t-\t\t\r\n");
}

TEST(MerlinFiles, inputChecks) {
    MerlinFiles files;
    EXPECT_EQ(merlinInputError(files, "1000", true, ""), kCheckInputFiles);
    files = {"a.ped", "a.dat", "a.freq", "a.map", "", kSelectFile};
    EXPECT_EQ(merlinInputError(files, "1000", true, ""), kCheckInputFiles);
    files.secondMapFile = "b.map";  // the output field is not checked
    EXPECT_EQ(merlinInputError(files, "1000", true, ""), "");
    EXPECT_EQ(merlinInputError(files, "many", true, ""), "Enter valid number of simulations");
    EXPECT_EQ(merlinInputError(files, "9", true, ""),
              "Enter valid number of simulations (10-100000)");
    EXPECT_EQ(merlinInputError(files, "10", false, "0"), "Enter valid seed or choose Random seed");
    EXPECT_EQ(simulationPedigreePath("/x/fam.ped"), "/x/fam_to_simulate.ped");
    EXPECT_EQ(modifiedFrequencyPath("/x/db.freq"), "/x/db_modified.freq");
}

}  // namespace
}  // namespace relatix
