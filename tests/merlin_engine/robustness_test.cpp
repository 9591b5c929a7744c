// Bad input never crashes and never hangs: broken, huge and hostile files, and a
// fuzz-style run over random corruptions of a valid file set.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "engine_test_support.h"

namespace merlin::testing {
namespace {

const char* kDat = "M a\nA affection\nM b\nS2\nM c\n";
const char* kMap = "CHROMOSOME\tMARKER\tPOSITION\n1\ta\t10.5\n1\tb\t22\n2\tc\t3\n";
const char* kFreq = "M a\nA 1 0.25\nA 2 0.25\nA 3 0.5\nM b\nF 0.5 0.5\nM c\nA 10 0.4\nA 11 0.6\n";
const char* kPed =
    "1 1 0 0 1 1 2 1 1/2 s s 10 11\n"
    "1 2 0 0 2 2 3 2 2/2 s s 10 10\n"
    "1 3 1 2 1 1 3 1 1 2 s s 10/11\n"
    "1 4 1 2 2 2 2 0 0 0 s s 0 0\n"
    "2 1 0 0 1 3 3 1 1 1 s s 11 11\n"
    "2 2 1 0 2 3 1 1 1/1 s s 11/10\n";

void writeValid(const Scratch& scratch) {
    scratch.write("t.dat", kDat);
    scratch.write("t.map", kMap);
    scratch.write("t.freq", kFreq);
    scratch.write("t.ped", kPed);
}

// Every "Family" line is followed by an lnLikelihood line before the next family.
void expectWellFormed(const RunResult& run) {
    EXPECT_EQ(run.out.find("ERROR"), std::string::npos);
    std::istringstream lines(run.out);
    std::string line;
    bool open = false;
    while (std::getline(lines, line)) {
        if (line.rfind("Family", 0) == 0) {
            EXPECT_FALSE(open) << run.out;
            open = true;
        } else if (line.rfind("lnLikelihood = ", 0) == 0) {
            open = false;
            EXPECT_TRUE(std::isfinite(std::stod(line.substr(15)))) << line;
        }
    }
    EXPECT_FALSE(open) << run.out;
}

TEST(MerlinRobustness, TheValidSetAndItsMarkedFamilies) {
    Scratch scratch;
    writeValid(scratch);
    const RunResult run = runFiles(scratch);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(lnLikelihoods(run.out).size(), 4u) << run.out;
    EXPECT_NE(run.err.find("one parent only"), std::string::npos) << run.err;
    expectWellFormed(run);
}

TEST(MerlinRobustness, LineEndsAndRepeatedFamilyWords) {
    Scratch scratch;
    writeValid(scratch);
    const std::string expected = runFiles(scratch).out;
    auto crlf = [](std::string text) {
        for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2))
            text.replace(at, 1, "\r\n");
        return text;
    };
    scratch.write("t.dat", crlf(kDat));
    scratch.write("t.map", crlf(kMap));
    scratch.write("t.freq", crlf(kFreq));
    scratch.write("t.ped", crlf(kPed));
    EXPECT_EQ(runFiles(scratch).out, expected);
    // A family word that comes back after another family continues its family: the
    // family is all lines with its word, and families come in order of first line.
    scratch.write("t.ped",
                  "7 1 0 0 1 1 2 1 1 1 s s 10 10\n8 1 0 0 1 1 1 1 1 1 s s 10 10\n"
                  "7 2 1 0 2 1 2 1 1 1 s s 10 11\n");
    const RunResult scattered = runFiles(scratch);
    scratch.write("t.ped",
                  "7 1 0 0 1 1 2 1 1 1 s s 10 10\n7 2 1 0 2 1 2 1 1 1 s s 10 11\n"
                  "8 1 0 0 1 1 1 1 1 1 s s 10 10\n");
    const RunResult together = runFiles(scratch);
    EXPECT_EQ(lnLikelihoods(scattered.out).size(), 4u) << scattered.out;
    EXPECT_EQ(scattered.out, together.out);
}

TEST(MerlinRobustness, PedigreeFaultsSkipOnlyTheirFamily) {
    Scratch scratch;
    scratch.write("t.dat", "M a\n");
    scratch.write("t.map", "1 a 0\n");
    scratch.write("t.freq", "M a\nF 0.5 0.5\n");
    scratch.write(
        "t.ped",
        "loop 1 2 3 1 1 1\nloop 2 1 3 1 1 2\nloop 3 0 0 2 1 1\n"  // 1 and 2 parents of each other
        "self 1 0 0 1 1 1\nself 2 1 1 2 1 1\n"                    // same father and mother
        "twice 1 0 0 1 1 1\ntwice 1 0 0 2 1 2\n"
        "fine 1 0 0 1 1 2\nfine 2 1 9 2 2 2\n");  // mother 9 not listed: added
    const RunResult run = runFiles(scratch);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Skipping family loop: person"), std::string::npos) << run.out;
    // The loop is named, each person a parent of the next.
    EXPECT_TRUE(run.out.find("is his own ancestor (each a parent of the next: 1 -> 2 -> 1)") !=
                    std::string::npos ||
                run.out.find("is his own ancestor (each a parent of the next: 2 -> 1 -> 2)") !=
                    std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Skipping family self: person 2 has the same father and mother"),
              std::string::npos);
    EXPECT_NE(run.out.find("Skipping family twice: person 1 is listed twice"), std::string::npos);
    const auto values = lnLikelihoods(run.out);
    ASSERT_EQ(values.size(), 4u);
    EXPECT_NEAR(values[3], std::log(0.5 * 0.5 * 2 * 0.5 * 0.5), 1e-12);  // 2 p1 p2 * 1/2 p2
}

TEST(MerlinRobustness, TooManyMeiosesIsSkipped) {
    Scratch scratch;
    scratch.write("t.dat", "M a\n");
    scratch.write("t.map", "1 a 0\n");
    scratch.write("t.freq", "M a\nF 0.5 0.5\n");
    std::string ped = "1 1 0 0 1 0 0\n1 2 0 0 2 0 0\n";
    for (int c = 3; c <= 12; ++c) ped += "1 " + std::to_string(c) + " 1 2 1 1 2\n";
    scratch.write("t.ped", ped);
    const RunResult run = runFiles(scratch, {"--perFamily", "--bits", "10"});
    EXPECT_NE(run.out.find("Family 1 [12 persons, 18 meioses]\n  family not analysed\n"
                           "Skipping family 1: too many meioses (18 > 10)\nlnLikelihood = 0\n"),
              std::string::npos)
        << run.out;
    EXPECT_TRUE(
        std::isnan(lnLikelihoods(runFiles(scratch, {"--perFamily", "--bits", "17"}).out)[0]));
    EXPECT_FALSE(
        std::isnan(lnLikelihoods(runFiles(scratch, {"--perFamily", "--bits", "18"}).out)[0]));
}

// More meioses than a 64-bit inheritance vector holds are refused by the bit
// limit before any vector of the family is built; a parent of many children
// recorded with the other sex is named once.
TEST(MerlinRobustness, CoupleWithThirtyFourChildren) {
    Scratch scratch;
    scratch.write("t.dat", "M a\n");
    scratch.write("t.map", "1 a 0\n");
    scratch.write("t.freq", "M a\nF 0.5 0.5\n");
    std::string ped = "1 1 0 0 2 1 2\n1 2 0 0 2 1 1\n";
    for (int c = 3; c <= 36; ++c) ped += "1 " + std::to_string(c) + " 1 2 1 1 2\n";
    scratch.write("t.ped", ped);
    const RunResult run = runFiles(scratch);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Skipping family 1: too many meioses (66 > 24)\n"), std::string::npos)
        << run.out;
    size_t warnings = 0;
    for (size_t at = run.err.find("recorded as female"); at != std::string::npos;
         at = run.err.find("recorded as female", at + 1))
        ++warnings;
    EXPECT_EQ(warnings, 1u) << run.err;
    EXPECT_EQ(run.err.find("further warnings"), std::string::npos) << run.err;
}

// Two untyped parents, thirteen typed children and a grandchild through an untyped
// spouse: 26 meioses less the three founders' fixed ones is 23 + 2 = 25 bits, and the
// exchange of the untyped couple fixes one more, so the family fits 24. Only parents
// 1/2 and 3/4 (in either order) give the children, a quarter each, and the child 1/3
// passes the 1 to the grandchild 1/4 (a half) beside the spouse's 4.
TEST(MerlinRobustness, UntypedCoupleWithThirteenChildrenAndAGrandchildFitsTheLimit) {
    Scratch scratch;
    scratch.write("t.dat", "M a\n");
    scratch.write("t.map", "1 a 0\n");
    scratch.write("t.freq", "M a\nF 0.1 0.2 0.3 0.4\n");
    const char* children[] = {"1 3", "1 4", "2 3", "2 4"};
    std::string ped = "1 1 0 0 1 0 0\n1 2 0 0 2 0 0\n";
    for (int c = 3; c <= 15; ++c)
        ped += "1 " + std::to_string(c) + " 1 2 1 " + children[(c - 3) % 4] + "\n";
    ped += "1 16 0 0 2 0 0\n1 17 3 16 1 1 4\n";
    scratch.write("t.ped", ped);
    const RunResult run = runFiles(scratch);
    EXPECT_NE(run.out.find("Family 1 [17 persons, 24 meioses]\nlnLikelihood = "), std::string::npos)
        << run.out;
    const auto values = lnLikelihoods(run.out);
    ASSERT_EQ(values.size(), 1u);
    const double couple = 2 * (2 * 0.1 * 0.2) * (2 * 0.3 * 0.4) * std::pow(0.25, 13);
    EXPECT_NEAR(values[0], std::log(couple * 0.5 * 0.4), 1e-10);
}

TEST(MerlinRobustness, UnknownAllelesLeaveTheMarkerOut) {
    Scratch scratch;
    scratch.write("t.dat", "M a\nM b\n");
    scratch.write("t.map", "1 a 0\n1 b 5\n");
    scratch.write("t.freq", "M a\nF 0.5 0.5\nM b\nF 0.5 0.5\n");
    scratch.write("t.ped", "1 1 0 0 1 1 2 1 7\n1 2 0 0 2 1 1 1 1\n");
    const RunResult run = runFiles(scratch);
    EXPECT_NE(run.err.find("marker b is left out: allele 7 on pedigree file line 1"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.out.find("Chromosome 1 (1 markers)"), std::string::npos) << run.out;
    EXPECT_NEAR(lnLikelihoods(run.out).at(0), std::log(2 * 0.25 * 0.25), 1e-12);
    // Without frequencies a marker's frequencies are counted from the genotypes.
    scratch.write("t.freq", "M a\nF 0.5 0.5\n");
    const RunResult counted = runFiles(scratch);
    EXPECT_NE(counted.err.find("counted from the pedigree file"), std::string::npos);
    // b: alleles 1 (3 times) and 7 (once): 3/4 and 1/4.
    EXPECT_NEAR(lnLikelihoods(counted.out).at(0),
                std::log(2 * 0.25 * 0.25) + std::log(2 * 0.75 * 0.25 * 0.75 * 0.75), 1e-10);
}

TEST(MerlinRobustness, HugeAndHostileFiles) {
    Scratch scratch;
    struct Case {
        const char* name;
        std::string dat, map, freq, ped;
        bool anyMarker = true;  // false: no marker is left to analyse, a fault of the run
    };
    std::string bigLine = "1 1 0 0 1 " + std::string(1 << 20, '7') + " 1\n";
    std::string manyAlleles = "M a\n";
    for (int a = 1; a <= 100000; ++a) manyAlleles += "A " + std::to_string(a) + " 0.00001\n";
    const std::string longLabel(1000, 'q');
    std::string garbage;
    std::mt19937 random(3);
    for (int i = 0; i < 5000; ++i) garbage += static_cast<char>(random() % 256);
    const std::vector<Case> cases = {
        {"empty", "", "", "", "", false},
        {"garbage", garbage, garbage, garbage, garbage, false},
        {"garbage ped", "M a\n", "1 a 0\n", "M a\nF 1\n", garbage, false},
        {"missing columns", "M a\nM b\n", "1 a 0\n1 b 1\n", "M a\nF 0.5 0.5\nM b\nF 1\n",
         "1 1 0 0 1 1\n1 2 0 0\n1 3 1 2 1 1 2 1\n"},
        {"megabyte line", "M a\n", "1 a 0\n", "M a\nF 0.5 0.5\n", bigLine + "1 2 0 0 1 1 2\n",
         false},
        {"absurd positions", "M a\nM b\nM c\n", "1 a -1e300\n1 b 1e300\n1 c nan\n1 a inf\n",
         "M a\nF 0.5 0.5\nM b\nF 0.5 0.5\nM c\nF 1\n",
         "1 1 0 0 1 1 2 1 2 1 1\n1 2 1 0 1 1 1 2 2 1 1\n"},
        {"long label", "M a\n", "1 a 0\n", "M a\nA " + longLabel + " 0.5\nA 2 0.5\n",
         "1 1 0 0 1 " + longLabel + " 2\n1 2 1 0 1 " + longLabel + "/" + longLabel + "\n"},
        {"100000 alleles", "M a\n", "1 a 0\n", manyAlleles,
         "1 1 0 0 1 99999 100000\n1 2 1 0 2 1 99999\n"},
        {"negative frequencies", "M a\n", "1 a 0\n", "M a\nA 1 -0.5\nA 2 abc\nA 3 0\n",
         "1 1 0 0 1 3 3\n"},
        {"odd data items", "Q x\nS\nS -4\nS 99999999999\nM\nE\nM a\n", "1 a 0\n", "M a\nF 1\n",
         "1 1 0 0 1 1 1\n", false},
    };
    for (const Case& c : cases) {
        scratch.write("t.dat", c.dat);
        scratch.write("t.map", c.map);
        scratch.write("t.freq", c.freq);
        scratch.write("t.ped", c.ped);
        const auto start = std::chrono::steady_clock::now();
        const RunResult run = runFiles(scratch);
        EXPECT_EQ(run.status, c.anyMarker ? 0 : 1) << c.name << "\n" << run.err;
        if (!c.anyMarker) {
            EXPECT_EQ(run.out, "") << c.name;
            EXPECT_NE(run.err.find("merlinEngine: no marker can be analysed"), std::string::npos)
                << c.name << "\n"
                << run.err;
        }
        expectWellFormed(run);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20)) << c.name;
    }
    // The 100000-allele marker: 2 p p for the founder, the child 1/99999 given it.
    scratch.write("t.dat", "M a\n");
    scratch.write("t.map", "1 a 0\n");
    scratch.write("t.freq", manyAlleles);
    scratch.write("t.ped", "1 1 0 0 1 99999 100000\n1 2 1 0 2 1 99999\n");
    EXPECT_NEAR(lnLikelihoods(runFiles(scratch).out).at(0), std::log(2e-10 * 0.5 * 1e-5), 1e-9);
}

// A FIFO without a writer (opening it for reading would wait for ever), a link to
// /dev/zero (which never ends) and a sparse file above the size limit, each in
// place of every input file: refused at once with one line and status 1. The
// executable runs under a time limit, so that a fault cannot hang the tests.
TEST(MerlinRobustness, OnlyRegularFilesOfBoundedSizeAreRead) {
    Scratch scratch;
    writeValid(scratch);
    ASSERT_EQ(::mkfifo(scratch.path("fifo").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", scratch.path("zero"));
    { std::ofstream(scratch.path("huge"), std::ios::binary); }
    std::filesystem::resize_file(scratch.path("huge"), (512ull << 20) + 1);
    const char* options[] = {"-d", "-m", "-f", "-p"};
    const char* files[] = {"t.dat", "t.map", "t.freq", "t.ped"};
    const std::pair<const char*, const char*> hostile[] = {{"fifo", "not a regular file"},
                                                           {"zero", "not a regular file"},
                                                           {"huge", "larger than 512 MB"}};
    for (const auto& [file, reason] : hostile)
        for (int which = 0; which < 4; ++which) {
            if (std::string(file) == "huge" && which == 3) continue;  // streamed: any size
            std::string args;
            for (int k = 0; k < 4; ++k)
                args += std::string(options[k]) + " " + (k == which ? file : files[k]) + " ";
            const RunResult run =
                runExecutable(args + "--perFamily --quiet", scratch.root().string(), 20);
            EXPECT_EQ(run.status, 1) << args << "\n" << run.err;
            EXPECT_EQ(run.out, "") << args;
            EXPECT_NE(run.err.find(std::string("cannot open '") + file + "': " + reason),
                      std::string::npos)
                << args << "\n"
                << run.err;
        }
}

// Random damage to one of the four files of the valid set.
std::string corrupt(std::string text, std::mt19937& random) {
    const std::vector<std::string> junk = {
        "0",  "x",  "/",   "-1",   "1e308", "-1e308", "nan", "S",  "M",
        "A",  "F",  "E",   "\t",   " ",     "\r\n",   "\n",  "\0", "99999999999999999999",
        "1/", "/2", "0.0", "1 1 1"};
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits; ++e) {
        const size_t at = text.empty() ? 0 : random() % (text.size() + 1);
        switch (random() % 7) {
            case 0:  // flip a byte
                if (!text.empty()) text[random() % text.size()] = static_cast<char>(random() % 256);
                break;
            case 1:  // insert junk
                text.insert(at, junk[random() % junk.size()]);
                break;
            case 2: {  // delete a stretch
                const size_t length = random() % 12;
                if (at < text.size()) text.erase(at, length);
                break;
            }
            case 3:  // truncate
                text.resize(at);
                break;
            case 4: {  // repeat a stretch
                const size_t length = random() % 40;
                if (at < text.size()) text.insert(at, text.substr(at, length));
                break;
            }
            case 5:  // a digit becomes another
                for (size_t i = at; i < text.size(); ++i)
                    if (text[i] >= '0' && text[i] <= '9') {
                        text[i] = static_cast<char>('0' + random() % 10);
                        break;
                    }
                break;
            default:  // swap two lines' worth of text
                if (text.size() > 2)
                    std::swap(text[random() % text.size()], text[random() % text.size()]);
        }
    }
    return text;
}

TEST(MerlinRobustness, FuzzedFileSetsNeverCrash) {
    Scratch scratch;
    std::mt19937 random(424242);
    const std::vector<std::pair<const char*, const char*>> files = {
        {"t.dat", kDat}, {"t.map", kMap}, {"t.freq", kFreq}, {"t.ped", kPed}};
    int ran = 0;
    for (int trial = 0; trial < 300; ++trial) {
        for (size_t k = 0; k < files.size(); ++k) {
            std::string text = files[k].second;
            if (random() % 3 == 0) text = corrupt(text, random);
            scratch.write(files[k].first, text);
        }
        std::vector<std::string> extra = {"--perFamily"};
        if (trial % 5 == 0)
            extra = {"--perFamily", "--simulate", "--save", "--prefix", scratch.path("f")};
        if (trial % 7 == 0) extra = {};
        const RunResult run = runFiles(scratch, extra);
        ASSERT_TRUE(run.status == 0 || run.status == 1) << "trial " << trial;
        expectWellFormed(run);
        ran += run.status == 0;
    }
    EXPECT_GT(ran, 250);
}

}  // namespace
}  // namespace merlin::testing

namespace merlin::testing {
namespace {

// Data-file items as users write them: "S2" skips two columns, "S 2" one column
// named 2, Z one column; the genotypes after them land on the right markers.
TEST(MerlinDataItems, SkipCountsZygosityAndNamedWarnings) {
    Scratch plain;
    plain.write("t.dat", "M a\nM b\n");
    plain.write("t.map", "CHR MARKER POS\n1 a 0\n1 b 10\n");
    plain.write("t.freq", "M a\nA 1 0.3\nA 2 0.7\nM b\nA 1 0.6\nA 2 0.4\n");
    plain.write("t.ped", "1 1 0 0 1 1 2 1 1\n1 2 0 0 2 2 2 1 2\n1 3 1 2 1 1 2 1 1\n");
    const RunResult expected = runFiles(plain);
    ASSERT_EQ(expected.status, 0) << expected.err;

    Scratch items;
    items.write("t.dat", "M a\nZ zygosity\nS2\nS 2\nM b\nE\nM c\n");
    items.write("t.map", "CHR MARKER POS\n1 a 0\n1 b 10\n");
    items.write("t.freq", "M a\nA 1 0.3\nA 2 0.7\nM b\nA 1 0.6\nA 2 0.4\n");
    items.write(
        "t.ped",
        "1 1 0 0 1 1 2 z s s t 1 1\n1 2 0 0 2 2 2 z s s t 1 2\n1 3 1 2 1 1 2 z s s t 1 1\n");
    const RunResult run = runFiles(items);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, expected.out);
    EXPECT_EQ(run.err.find("unknown item"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("fields"), std::string::npos) << run.err;

    // A parent not listed in the family is named with its line; a typed allele of
    // frequency 0 with marker and person.
    plain.write("t.freq", "M a\nA 1 0.3\nA 2 0.7\nA 3 0\nM b\nA 1 0.6\nA 2 0.4\n");
    plain.write("t.ped", "1 1 0 0 1 1 2 1 1\n1 2 0 0 2 3 3 1 2\n1 3 1 9 1 1 2 1 1\n");
    const RunResult warned = runFiles(plain);
    ASSERT_EQ(warned.status, 0) << warned.err;
    EXPECT_NE(warned.err.find("parent 9 of 3 on pedigree file line 3 is not listed"),
              std::string::npos)
        << warned.err;
    EXPECT_NE(warned.err.find("marker a: person 2 of family 1 on pedigree file line 2 carries "
                              "allele 3, whose frequency is 0"),
              std::string::npos)
        << warned.err;
}

}  // namespace
}  // namespace merlin::testing
