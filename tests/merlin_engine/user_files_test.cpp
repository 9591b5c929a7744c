// Linkage files as users write them by hand: "." for a missing parent, genotypes
// with a slash and blanks around it, F lines of frequencies, data-file items of
// every kind, map headers, chromosome numbers beyond 22 and X, words as family and
// person ids, the lines of a family apart, and no frequency file at all. Each
// form of the same data gives the values of the plain form.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

#include "engine_test_support.h"

namespace merlin::testing {
namespace {

// Four markers on two chromosomes; a trio, a sibship with untyped parents and a
// half sibling, a duo with an untyped mother, and a father-son pair that is
// impossible at the first marker.
const char* const kPlainDat = "M m1\nM m2\nM m3\nM m4\n";
const char* const kPlainMap = "1 m1 10\n1 m2 25.5\n2 m3 5\n2 m4 12\n";
const char* const kPlainFreq =
    "M m1\nA 1 0.1\nA 2 0.2\nA 3 0.3\nA 4 0.4\n"
    "M m2\nA 1 0.1\nA 2 0.15\nA 3 0.2\nA 4 0.25\nA 5 0.3\n"
    "M m3\nA 1 0.5\nA 2 0.3\nA 3 0.2\n"
    "M m4\nA 1 0.6\nA 2 0.4\n";
const char* const kPlainPed =
    "1 1 0 0 1 1 2 3 4 1 1 1 2\n"
    "1 2 0 0 2 3 4 5 1 2 3 2 2\n"
    "1 3 1 2 1 1 3 4 5 1 2 1 2\n"
    "2 1 0 0 1 0 0 0 0 0 0 0 0\n"
    "2 2 0 0 2 0 0 0 0 0 0 0 0\n"
    "2 3 1 2 1 1 2 2 3 1 3 1 1\n"
    "2 4 1 2 2 2 4 2 2 1 1 1 2\n"
    "2 5 0 0 2 0 0 0 0 0 0 0 0\n"
    "2 6 1 5 1 1 3 3 5 3 2 2 2\n"
    "3 1 0 0 1 2 2 1 4 3 3 1 2\n"
    "3 2 1 3 2 2 3 4 4 3 1 0 0\n"
    "3 3 0 0 2 0 0 0 0 0 0 0 0\n"
    "4 1 0 0 1 1 1 1 2 1 2 1 1\n"
    "4 2 1 0 1 2 2 1 2 1 2 1 1\n";

struct FileSet {
    std::string dat = kPlainDat, map = kPlainMap, freq = kPlainFreq, ped = kPlainPed;
};

void writeSet(const Scratch& scratch, const FileSet& set) {
    scratch.write("t.dat", set.dat);
    scratch.write("t.map", set.map);
    scratch.write("t.freq", set.freq);
    scratch.write("t.ped", set.ped);
}

RunResult runSet(const FileSet& set, bool withFrequencies = true,
                 const std::vector<std::string>& extra = {"--perFamily"}) {
    Scratch scratch;
    writeSet(scratch, set);
    std::vector<std::string> args = {"-d", scratch.path("t.dat"), "-m", scratch.path("t.map"),
                                     "-p", scratch.path("t.ped")};
    if (withFrequencies) args.insert(args.end(), {"-f", scratch.path("t.freq")});
    args.insert(args.end(), extra.begin(), extra.end());
    return runEngineArgs(args);
}

// Missing parents written ".", genotypes as a/b, "a/ b", "a /b", "a / b" and
// "a b" in one file, with tabs and runs of blanks.
FileSet slashedSet() {
    FileSet set;
    set.ped =
        "1 1 . . 1 1/2 3/ 4 1 /1 1 / 2\n"
        "1 2 . . 2 3/4   5/  1 2/3 2/2\n"
        "1 3 1 2 1 1 3\t4/5 1/ 2 1/2\n"
        "2 1 . . 1 0/0 0/ 0 0 0 ./.\n"
        "2 2 . . 2 0/0 0/0 0/0 0/0\n"
        "2 3 1 2 1 1/2 2/ 3 1 3 1/1\n"
        "2 4 1 2 2 2 /4 2/2 1/1 1 / 2\n"
        "2 5 . . 2 0 0 0/ 0 0/0 0/0\n"
        "2 6 1 5 1 1/ 3 3/5 3/2 2/ 2\n"
        "3 1 . . 1 2/2 1/4 3/3 1/2\n"
        "3 2 1 3 2 2/3 4/4 3/ 1 0/0\n"
        "3 3 . . 2 0/0 0/0 0/0 0/0\n"
        "4 1 0 . 1 1/1 1/2 1/2 1/1\n"
        "4 2 1 . 1 2/2 1/2 1/2 1/1\n";
    return set;
}

// Frequencies as F lines, one marker's spread over several lines.
FileSet frequencyLineSet() {
    FileSet set;
    set.freq =
        "M m1\nF 0.1 0.2 0.3 0.4\n"
        "M m2\nF 0.1 0.15\nF 0.2\nF 0.25 0.3\n"
        "m m3\nf 0.5 0.3 0.2\n"
        "M m4\nF 0.6 0.4\n";
    return set;
}

// Every kind of data-file item in both cases, with its columns in the pedigree
// file, and a map with a header.
FileSet itemSet() {
    FileSet set;
    set.dat =
        "A disease\nM m1\nt height\nM m2\nC age\nS2\nz twin\nm m3\ns skipped\nM m4\nE\nM m5\n";
    set.map = "CHROMOSOME MARKER LOCATION\n1 m1 10\n1 m2 25.5\n2 m3 5\n2 m4 12\n";
    set.ped =
        "1 1 0 0 1 2 1 2 1.85 3 4 41 x y 1 1 1 - 1 2\n"
        "1 2 0 0 2 1 3 4 1.62 5 1 39 x y 1 2 3 - 2 2\n"
        "1 3 1 2 1 2 1 3 1.23 4 5 12 x y 2 1 2 - 1 2\n"
        "2 1 0 0 1 0 0 0 0 0 0 0 x y 0 0 0 - 0 0\n"
        "2 2 0 0 2 0 0 0 0 0 0 0 x y 0 0 0 - 0 0\n"
        "2 3 1 2 1 1 1 2 1.7 2 3 20 x y 1 1 3 - 1 1\n"
        "2 4 1 2 2 2 2 4 1.6 2 2 22 x y 1 1 1 - 1 2\n"
        "2 5 0 0 2 0 0 0 0 0 0 0 x y 0 0 0 - 0 0\n"
        "2 6 1 5 1 1 1 3 1.8 3 5 9 x y 0 3 2 - 2 2\n"
        "3 1 0 0 1 1 2 2 1.9 1 4 60 x y 0 3 3 - 1 2\n"
        "3 2 1 3 2 1 2 3 1.5 4 4 31 x y 0 3 1 - 0 0\n"
        "3 3 0 0 2 0 0 0 0 0 0 0 x y 0 0 0 - 0 0\n"
        "4 1 0 0 1 1 1 1 1.7 1 2 50 x y 0 1 2 - 1 1\n"
        "4 2 1 0 1 1 2 2 1.7 1 2 25 x y 0 1 2 - 1 1\n";
    return set;
}

// Words as family and person ids, families not in number order and their lines
// apart: the families come in the order of their first line (duo, trio, sibs, bad).
FileSet wordSet() {
    FileSet set;
    set.ped =
        "duo dad 0 0 1 2 2 1 4 3 3 1 2\n"
        "trio father 0 0 1 1 2 3 4 1 1 1 2\n"
        "sibs s1 f m 1 1 2 2 3 1 3 1 1\n"
        "trio mother 0 0 2 3 4 5 1 2 3 2 2\n"
        "duo kid dad mum 2 2 3 4 4 3 1 0 0\n"
        "sibs f 0 0 1 0 0 0 0 0 0 0 0\n"
        "trio child father mother 1 1 3 4 5 1 2 1 2\n"
        "sibs m 0 0 2 0 0 0 0 0 0 0 0\n"
        "sibs s2 f m 2 2 4 2 2 1 1 1 2\n"
        "duo mum 0 0 2 0 0 0 0 0 0 0 0\n"
        "sibs w 0 0 2 0 0 0 0 0 0 0 0\n"
        "sibs hs f w 1 1 3 3 5 3 2 2 2\n"
        "bad p1 0 0 1 1 1 1 2 1 2 1 1\n"
        "bad p2 p1 0 1 2 2 1 2 1 2 1 1\n";
    return set;
}

// The per-family values of a run, with the family order of the plain file
// rearranged by `order` (family k of the result is family order[k] of the file).
std::vector<double> valuesInPlainOrder(const RunResult& run, const std::vector<int>& order) {
    const std::vector<double> values = lnLikelihoods(run.out);
    std::vector<double> plain(values.size());
    const size_t families = order.size();
    for (size_t k = 0; k < values.size(); ++k)
        plain[k / families * families + order[k % families]] = values[k];
    return plain;
}

void expectSameValues(const std::vector<double>& got, const std::vector<double>& expected,
                      const std::string& what) {
    ASSERT_EQ(got.size(), expected.size()) << what;
    for (size_t k = 0; k < got.size(); ++k) {
        if (std::isnan(expected[k]))
            EXPECT_TRUE(std::isnan(got[k])) << what << " value " << k;
        else
            EXPECT_NEAR(got[k], expected[k], 1e-10 * std::fabs(expected[k])) << what << " " << k;
    }
}

TEST(MerlinUserFiles, EachFormGivesThePlainValues) {
    const RunResult plain = runSet(FileSet());
    ASSERT_EQ(plain.status, 0) << plain.err;
    const std::vector<double> expected = lnLikelihoods(plain.out);
    ASSERT_EQ(expected.size(), 8u) << plain.out;        // four families on two chromosomes
    EXPECT_TRUE(std::isnan(expected[3])) << plain.out;  // the father-son pair, at m1
    EXPECT_EQ(std::count_if(expected.begin(), expected.end(), [](double v) { return v < 0; }), 7);

    // Same persons in the same order: the output is the same to the last digit.
    for (const auto& [name, set] :
         {std::pair{"slashed", slashedSet()}, std::pair{"F lines", frequencyLineSet()},
          std::pair{"items", itemSet()}}) {
        const RunResult run = runSet(set);
        EXPECT_EQ(run.status, 0) << name << "\n" << run.err;
        EXPECT_EQ(run.out, plain.out) << name;
        EXPECT_EQ(run.err.find("fields"), std::string::npos) << name << "\n" << run.err;
    }
    const RunResult words = runSet(wordSet());
    EXPECT_EQ(words.status, 0) << words.err;
    EXPECT_NE(words.out.find("Family duo [3 persons, 0 meioses]\nlnLikelihood = "),
              std::string::npos)
        << words.out;
    EXPECT_NE(words.out.find("Skipping family bad: inconsistent with the pedigree at marker m1"),
              std::string::npos)
        << words.out;
    expectSameValues(valuesInPlainOrder(words, {2, 0, 1, 3}), expected, "words");

    // Chromosome 24 in place of 2, under a header of the short kind.
    FileSet numbered;
    numbered.map = "CHR MARKER POS\n1 m1 10\n1 m2 25.5\n24 m3 5\n24 m4 12\n";
    const RunResult on24 = runSet(numbered);
    EXPECT_EQ(on24.status, 0) << on24.err;
    std::string renamed = plain.out;
    renamed.replace(renamed.find("Chromosome 2 "), 13, "Chromosome 24 ");
    EXPECT_EQ(on24.out, renamed);
}

// Without -f the frequencies are counted over every typed person of the file, each
// allele copy once; half-typed and untyped persons add nothing. A frequency file
// that lacks a marker has that marker's frequencies counted the same way.
TEST(MerlinUserFiles, FrequenciesCountedWithoutAFrequencyFile) {
    FileSet counted;
    counted.dat = "M a\nM b\n";
    counted.map = "1 a 0\n1 b 10\n";
    counted.ped =
        "1 1 0 0 1 1 2 3 3\n"
        "1 2 0 0 2 2 2 1 0\n"
        "1 3 1 2 1 1/2 0/0\n"
        "2 1 0 0 1 5 1 3 1\n";
    // a: 1 three times, 2 four times, 5 once; b: 3 three times, 1 once.
    FileSet given = counted;
    given.freq = "M a\nA 1 0.375\nA 2 0.5\nA 5 0.125\nM b\nA 3 0.75\nA 1 0.25\n";
    const RunResult expected = runSet(given);
    ASSERT_EQ(expected.status, 0) << expected.err;
    const RunResult run = runSet(counted, false);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, expected.out);
    EXPECT_EQ(run.err, "");  // counting is what a run without -f means: no warning

    given.freq = "M a\nA 1 0.25\nA 2 0.25\nA 5 0.5\nM b\nA 3 0.75\nA 1 0.25\n";
    const RunResult both = runSet(given);
    FileSet lacking = given;
    lacking.freq = "M a\nA 1 0.25\nA 2 0.25\nA 5 0.5\n";
    const RunResult partly = runSet(lacking);
    EXPECT_EQ(partly.out, both.out);
    EXPECT_NE(partly.err.find("marker b has no frequencies; they are counted"), std::string::npos)
        << partly.err;
    EXPECT_NE(partly.out, expected.out);  // a's frequencies come from the file
    // Frequencies the given file lacks change every value: said under --quiet too,
    // in one line for all the markers, as for an empty frequency file.
    const RunResult quiet = runSet(lacking, true, {"--perFamily", "--quiet"});
    EXPECT_EQ(lnLikelihoods(quiet.out), lnLikelihoods(both.out));
    EXPECT_NE(quiet.err.find("marker b has no frequencies; they are counted"), std::string::npos)
        << quiet.err;
    lacking.freq = "";
    const RunResult empty = runSet(lacking, true, {"--perFamily", "--quiet"});
    EXPECT_EQ(lnLikelihoods(empty.out), lnLikelihoods(run.out));
    EXPECT_EQ(std::count(empty.err.begin(), empty.err.end(), '\n'), 1) << empty.err;
    EXPECT_NE(empty.err.find("markers a, b have no frequencies"), std::string::npos) << empty.err;
}

// The acceptance command of hand-written files: the real executable without -f on
// every form gives the values of the plain files.
TEST(MerlinUserFiles, ExecutableWithoutFrequencyFileOnEveryForm) {
    const std::string command = "-d x.dat -p x.ped -m x.map --likelihood --perFamily --quiet";
    auto runForm = [&](const FileSet& set) {
        Scratch scratch;
        scratch.write("x.dat", set.dat);
        scratch.write("x.map", set.map);
        scratch.write("x.ped", set.ped);
        return runExecutable(command, scratch.root().string());
    };
    const RunResult plain = runForm(FileSet());
    ASSERT_EQ(plain.status, 0) << plain.err;
    const std::vector<double> expected = lnLikelihoods(plain.out);
    ASSERT_EQ(expected.size(), 8u) << plain.out;
    for (const auto& [name, set] :
         {std::pair{"slashed", slashedSet()}, std::pair{"F lines", frequencyLineSet()},
          std::pair{"items", itemSet()}}) {
        const RunResult run = runForm(set);
        EXPECT_EQ(run.status, 0) << name << "\n" << run.err;
        EXPECT_EQ(run.err, "") << name;
        EXPECT_EQ(run.out, plain.out) << name;
    }
    const RunResult words = runForm(wordSet());
    EXPECT_EQ(words.status, 0) << words.err;
    expectSameValues(valuesInPlainOrder(words, {2, 0, 1, 3}), expected, "words");
}

// Chromosomes are analysed in numeric order, whatever their number; markers on X
// (X, x or 23) are named once on stderr, also when quiet, and a run left with no
// marker at all fails with its reason.
TEST(MerlinUserFiles, ChromosomeNumbersAndX) {
    FileSet spread;
    spread.map = "CHROMOSOME MARKER POSITION\n24 m1 10\n3 m2 25.5\n10 m3 5\n10 m4 12\n";
    const RunResult ordered = runSet(spread, true, {"--perFamily", "--quiet"});
    EXPECT_EQ(ordered.status, 0) << ordered.err;
    const size_t three = ordered.out.find("Chromosome 3 (1 markers)\n");
    const size_t ten = ordered.out.find("Chromosome 10 (2 markers)\n");
    const size_t last = ordered.out.find("Chromosome 24 (1 markers)\n");
    ASSERT_NE(last, std::string::npos) << ordered.out;
    EXPECT_TRUE(three < ten && ten < last) << ordered.out;

    FileSet withX;
    withX.map = "1 m1 10\n1 m2 25.5\nX m3 5\n23 m4 12\n";
    const RunResult plain = runSet(FileSet());
    const size_t first = plain.out.find("Chromosome 1");
    const std::string firstBlock = plain.out.substr(first, plain.out.find("Chromosome 2") - first);
    const char* const notice =
        "Warning: markers on the X chromosome are not analysed (2 left out)\n";
    for (const bool quiet : {true, false}) {
        const RunResult run = runSet(withX, true,
                                     quiet ? std::vector<std::string>{"--perFamily", "--quiet"}
                                           : std::vector<std::string>{"--perFamily"});
        EXPECT_EQ(run.status, 0) << run.err;
        if (quiet) {
            EXPECT_EQ(run.err, notice);
        }
        const size_t at = run.err.find(notice);
        EXPECT_TRUE(at != std::string::npos && run.err.find(notice, at + 1) == std::string::npos)
            << run.err;
        EXPECT_NE(run.out.find(firstBlock), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("Chromosome 2"), std::string::npos) << run.out;
    }

    FileSet onlyX;
    onlyX.map = "x m1 10\nX m2 25.5\n23 m3 5\nX m4 12\n";
    for (const bool quiet : {true, false}) {
        const RunResult run = runSet(onlyX, true,
                                     quiet ? std::vector<std::string>{"--perFamily", "--quiet"}
                                           : std::vector<std::string>{"--perFamily"});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err,
                  "merlinEngine: no marker can be analysed (data file: 4 markers; 4 on the X "
                  "chromosome, which is not analysed)\n");
    }
    FileSet unmapped;
    unmapped.map = "CHR MARKER POS\nY m1 10\n1 other 3\n";
    const RunResult none = runSet(unmapped, true, {"--perFamily", "--quiet"});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err,
              "merlinEngine: no marker can be analysed (data file: 4 markers; 3 without a map "
              "position; 1 on a chromosome that is not a whole number from 1)\n");
}

// A file of a megabyte whose families' lines lie far apart, each line longer
// than the first read after a jump: the families are read by their places and give
// the output of the same file with every family's lines together.
TEST(MerlinUserFiles, FamiliesSpreadOverALargeFile) {
    constexpr int kMarkers = 1100, kFamilies = 60;
    std::mt19937 random(8);
    FileSet set;
    set.dat.clear();
    set.map.clear();
    set.freq.clear();
    for (int m = 0; m < kMarkers; ++m) {
        const std::string name = "m" + std::to_string(m);
        set.dat += "M " + name + "\n";
        set.map += "1 " + name + " " + std::to_string(m) + "\n";
        set.freq += "M " + name + "\nF 0.1 0.2 0.3 0.4\n";
    }
    // A father and his child by an untyped mother, who is listed.
    std::string together, spread;
    std::vector<std::array<std::string, 3>> families(kFamilies);
    for (int f = 0; f < kFamilies; ++f) {
        const std::string id = "f" + std::to_string(f);
        std::string father = id + " dad 0 0 1", mother = id + " mum 0 0 2",
                    child = id + " kid dad mum 1";
        for (int m = 0; m < kMarkers; ++m) {
            const int a = 1 + static_cast<int>(random() % 4),
                      b = 1 + static_cast<int>(random() % 4);
            const int c = 1 + static_cast<int>(random() % 4);
            father += " " + std::to_string(a) + "/" + std::to_string(b);
            mother += " 0/0";
            child += " " + std::to_string(random() % 2 ? a : b) + " " + std::to_string(c);
        }
        families[f] = {father + "\n", mother + "\n", child + "\n"};
        together += families[f][0] + families[f][1] + families[f][2];
    }
    for (int p = 0; p < 3; ++p)
        for (int f = 0; f < kFamilies; ++f) spread += families[f][p];
    set.ped = together;
    const RunResult expected = runSet(set, true, {"--perFamily", "--quiet"});
    ASSERT_EQ(expected.status, 0) << expected.err;
    ASSERT_EQ(lnLikelihoods(expected.out).size(), static_cast<size_t>(kFamilies));
    set.ped = spread;
    const RunResult run = runSet(set, true, {"--perFamily", "--quiet"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, expected.out);
}

}  // namespace
}  // namespace merlin::testing
