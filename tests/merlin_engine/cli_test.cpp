// The real executable, run with arguments as the system runs it: its exact
// output on a small case, its help, and one line on stderr with status 1 for
// every fault of the command line.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine_test_support.h"

namespace merlin::testing {
namespace {

// A duo and an unrelated pair at one marker (p1 0.1, p2 0.2, p3 0.3, p4 0.4):
// 2 p1 p2 * 1/2 p3 = 0.006 and 2 p1 p2 * 2 p1 p3 = 0.0024; a third family is impossible.
void writeGoldenCase(const Scratch& scratch) {
    std::filesystem::create_directories(scratch.root() / "temp");
    scratch.write("temp/temp.dat", "M D1S1656\n");
    scratch.write("temp/temp.map", "CHROMOSOME\tMARKER\tPOSITION\n1\tD1S1656\t10\n");
    scratch.write("temp/temp.freq", "M D1S1656\nA 1 0.1\nA 2 0.2\nA 3 0.3\nA 4 0.4\n");
    scratch.write("temp/temp.ped",
                  "1 1 0 0 1 1 2 \n1 2 1 3 2 1 3 \n1 3 0 0 2 0 0 \n"
                  "2 1 0 0 1 1 2 \n2 2 0 0 2 1 3 \n"
                  "3 1 0 0 1 1 1 \n3 2 1 3 2 2 2 \n3 3 0 0 2 4 4 \n");
}

const char* kGolden =
    "Chromosome 1 (1 markers)\n"
    "Family 1 [3 persons, 0 meioses]\n"
    "lnLikelihood = -5.11599580975\n"
    "Family 2 [2 persons, 0 meioses]\n"
    "lnLikelihood = -6.03228654163\n"
    "Family 3 [3 persons, 0 meioses]\n"
    "  family not analysed\n"
    "Skipping family 3: inconsistent with the pedigree at marker D1S1656\n"
    "lnLikelihood = 0\n";

TEST(MerlinCommandLine, GoldenOutputOfTheSystemsCommandLine) {
    Scratch scratch;
    writeGoldenCase(scratch);
    const RunResult run = runExecutable(
        "-d ./temp/temp.dat -m ./temp/temp.map -f ./temp/temp.freq -p ./temp/temp.ped "
        "--perFamily --quiet --likelihood",
        scratch.root().string());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, kGolden);
    EXPECT_EQ(run.err, "");
    // Options in another order, and paths written with backslashes.
    const RunResult windows = runExecutable(
        "--likelihood --quiet -f '.\\temp\\temp.freq' -p '.\\temp\\temp.ped' --perFamily "
        "-d '.\\temp\\temp.dat' -m '.\\temp\\temp.map'",
        scratch.root().string());
    EXPECT_EQ(windows.status, 0) << windows.err;
    EXPECT_EQ(windows.out, kGolden);
}

TEST(MerlinCommandLine, BannerAndWarningsWithoutQuiet) {
    Scratch scratch;
    writeGoldenCase(scratch);
    const RunResult run = runExecutable(
        "-d temp/temp.dat -m temp/temp.map -f temp/temp.freq -p temp/temp.ped --perFamily",
        scratch.root().string());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(
        run.out,
        std::string("merlinEngine 1.0 - multipoint likelihoods of linked markers\n") + kGolden);
    EXPECT_EQ(run.err, "");
    // The duo's mother not listed: added as an untyped founder, with a warning.
    scratch.write("temp/temp.ped", "1 1 0 0 1 1 2\n1 2 1 3 2 1 3\n");
    const RunResult added = runExecutable(
        "-d temp/temp.dat -m temp/temp.map -f temp/temp.freq -p temp/temp.ped --perFamily",
        scratch.root().string());
    EXPECT_EQ(added.err,
              "Warning: family 1: parent 3 of 2 on pedigree file line 2 is not listed in the "
              "family and is added as an untyped founder\n");
    EXPECT_NE(added.out.find("Family 1 [3 persons, 0 meioses]\nlnLikelihood = -5.11599580975\n"),
              std::string::npos);
}

TEST(MerlinCommandLine, HelpListsEveryOption) {
    Scratch scratch;
    const RunResult run = runExecutable("--help", scratch.root().string());
    EXPECT_EQ(run.status, 0);
    for (const char* option :
         {"-d DATFILE", "-p PEDFILE", "-m MAPFILE", "-f FREQFILE", "--likelihood", "--perFamily",
          "--quiet", "--simulate", "--save", "-r SEED", "--prefix P", "--bits N", "--help"})
        EXPECT_NE(run.out.find(option), std::string::npos) << option;
}

TEST(MerlinCommandLine, FaultsGiveOneLineAndStatusOne) {
    Scratch scratch;
    writeGoldenCase(scratch);
    const std::string files =
        "-d temp/temp.dat -m temp/temp.map -f temp/temp.freq -p temp/temp.ped";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "missing required option -d DATFILE"},
        {files + " --frobnicate", "unknown option '--frobnicate'"},
        {files + " -r", "option -r needs a value"},
        {files + " -r seven", "option -r needs a whole number"},
        {files + " --bits 99", "option --bits needs a whole number from 0 to 28"},
        {"-d temp/temp.dat -m temp/temp.map -f temp/temp.freq",
         "missing required option -p PEDFILE"},
        {"-d temp/nothing.dat -m temp/temp.map -f temp/temp.freq -p temp/temp.ped",
         "cannot open 'temp/nothing.dat'"},
        {"-d temp -m temp/temp.map -f temp/temp.freq -p temp/temp.ped", "cannot open 'temp'"},
        {files + " --simulate --save --prefix no/such/folder/x",
         "cannot write 'no/such/folder/x-replicate.ped'"},
    };
    for (const auto& [arguments, message] : cases) {
        const RunResult run = runExecutable(arguments, scratch.root().string());
        EXPECT_EQ(run.status, 1) << arguments;
        EXPECT_EQ(run.out, "") << arguments;
        EXPECT_NE(run.err.find(message), std::string::npos) << arguments << "\n" << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
}

TEST(MerlinCommandLine, SimulationWritesTheReplicateBesideThePrefix) {
    Scratch scratch;
    writeGoldenCase(scratch);
    const RunResult run = runExecutable(
        "-d temp/temp.dat -m temp/temp.map -f temp/temp.freq -p temp/temp.ped "
        "--likelihood --perFamily --simulate --quiet --save -r 17 --prefix temp/merlin",
        scratch.root().string());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::filesystem::exists(scratch.root() / "temp" / "merlin-replicate.ped"));
    EXPECT_EQ(lnLikelihoods(run.out).size(), 3u);
}

}  // namespace
}  // namespace merlin::testing
