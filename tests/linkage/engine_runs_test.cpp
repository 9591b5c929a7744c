#include "linkage/engine_runs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <regex>

#include "linkage/engine_results.h"
#include "linkage/linkage_data_files.h"
#include "linkage/linkage_ped_file.h"
#include "linkage_case.h"

namespace relatix {
namespace {

namespace fs = std::filesystem;
using testing::LinkageCase;
using testing::readFile;

// A program folder whose name holds a blank, a quote and a "$".
const char* const kAwkwardFolder = "my prog's $HOME dir";

// A stand-in engine that prints where it runs and the arguments it was given.
void installEchoEngine(const std::string& programDirectory) {
    const fs::path engine = fs::path(programDirectory) / kEngineName;
    std::ofstream(engine) << "#!/bin/sh\npwd -P\nfor a in \"$@\"; do echo \"[$a]\"; done\n";
    fs::permissions(engine, fs::perms::owner_all);
}

std::string expectedEcho(const std::string& directory, const std::vector<std::string>& args) {
    std::string text = fs::canonical(directory).string() + "\n";
    for (const std::string& a : args) text += "[" + a + "]\n";
    return text;
}

TEST(EngineRuns, passTheCommandLinesAsArgumentsFromTheProgramFolder) {
    LinkageCase c({1}, kAwkwardFolder);
    installEchoEngine(c.core.programDirectory);
    runCalculationEngines(c.core.programDirectory);
    EXPECT_EQ(
        c.read("tempResults.txt"),
        expectedEcho(c.core.programDirectory,
                     {"-d", "./temp/temp.dat", "-m", "./temp/temp2.map", "-f", "./temp/temp.freq",
                      "-p", "./temp/temp.ped", "--perFamily", "--quiet", "--likelihood"}));
    EXPECT_EQ(
        c.read("tempResults2.txt"),
        expectedEcho(c.core.programDirectory,
                     {"-d", "./temp/temp.dat", "-m", "./temp/temp.map", "-f", "./temp/temp.freq",
                      "-p", "./temp/temp.ped", "--perFamily", "--quiet", "--likelihood"}));
    runSimulationEngines(c.core.programDirectory);
    EXPECT_NE(c.read("tempResults.txt").find("[./temp/temp.map]"), std::string::npos);
    EXPECT_NE(c.read("tempResults2.txt").find("[./temp/temp2.map]"), std::string::npos);

    // User file names travel unchanged, whatever they hold.
    const std::string odd = "it's \"my\" $file; rm -rf x.dat";
    runEngine(c.core.programDirectory,
              userFileLikelihoodRun(odd, "a.map", "b.freq", "./temp/linkedOutput.txt"));
    EXPECT_NE(c.read("linkedOutput.txt").find("[" + odd + "]"), std::string::npos);
}

TEST(EngineRuns, workWithARelativeProgramFolder) {
    LinkageCase c({1}, kAwkwardFolder);
    installEchoEngine(c.core.programDirectory);
    testing::ScopedCurrentDirectory inRoot(c.folder.path());
    runEngine(kAwkwardFolder, quickAnalysisRun());
    EXPECT_EQ(c.read("tempResults.txt").substr(0, c.read("tempResults.txt").find('\n') + 1),
              fs::canonical(c.core.programDirectory).string() + "\n");
}

TEST(EngineRuns, aMissingEngineLeavesAnEmptyResultsFileAndCreatesTemp) {
    LinkageCase c({1});
    EXPECT_EQ(runEngine(c.core.programDirectory, calculationUnlinkedRun()), -1);
    EXPECT_EQ(c.read("tempResults.txt"), "");
    // An earlier run's results are not read as this run's.
    c.folder.write("program/temp/tempResults2.txt", "Family 1\nlnLikelihood = -3\n");
    runCalculationEngines(c.core.programDirectory);
    EXPECT_EQ(c.read("tempResults2.txt"), "");
    c.hypotheses(24, {});
    EXPECT_FALSE(readEngineResults(c.core));
}

TEST(EngineRuns, removeTempFilesButNotFolders) {
    LinkageCase c({1});
    c.folder.write("program/temp/temp.ped", "x");
    c.folder.write("program/temp/temp2.ped", "x");
    c.folder.write("program/temp/keep/inner.txt", "x");
    removeTempFile(c.core.programDirectory, "temp2.ped");
    removeTempFile(c.core.programDirectory, "absent.ped");
    EXPECT_TRUE(fs::exists(c.temp("temp.ped")));
    EXPECT_FALSE(fs::exists(c.temp("temp2.ped")));
    removeTempFiles(c.core.programDirectory);
    EXPECT_FALSE(fs::exists(c.temp("temp.ped")));
    EXPECT_TRUE(fs::exists(c.temp("keep/inner.txt")));
}

// --- With the real engine ---------------------------------------------------

bool realEngineBuilt() {
    return fs::exists(fs::path(RELATIX_PROGRAM_FOLDER) / kEngineName);
}

// The values the engine printed, in order.
std::vector<double> printedValues(const std::string& text) {
    std::vector<double> values;
    const std::regex line("lnLikelihood = (\\S+)");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), line);
         it != std::sregex_iterator(); ++it)
        values.push_back(std::stod((*it)[1]));
    return values;
}

// A father and a son at three markers, two of them linked: paternity duo against
// unrelated, full siblings and half siblings.
struct EngineCase : LinkageCase {
    EngineCase() : LinkageCase({1, 1}, kAwkwardFolder) {
        fs::create_symlink(fs::path(RELATIX_PROGRAM_FOLDER) / kEngineName,
                           fs::path(core.programDirectory) / kEngineName);
        const int a = addMarker("A", 1, 10, {"12", "13", "14"}, {0.1, 0.6, 0.3});
        const int b = addMarker("B", 1, 15, {"8", "9", "10"}, {0.5, 0.25, 0.25});
        // A blank in a marker name must not split the engine's lines.
        const int d = addMarker("Penta E", 2, 40, {"20", "21"}, {0.2, 0.8});
        genotype(1, a, "12", "14");
        genotype(2, a, "13", "13");
        genotype(1, b, "9", "8");
        genotype(2, b, "10", "10");
        genotype(1, d, "21", "21");
        genotype(2, d, "21", "20");
        hypotheses(24, {5, 3, 4});
    }
};

TEST(EngineRunsWithRealEngine, calculationReadsWhatTheEnginePrinted) {
    if (!realEngineBuilt()) FAIL() << "merlinEngine is not built in " << RELATIX_PROGRAM_FOLDER;
    EngineCase c;
    ASSERT_TRUE(writeLinkageDataFiles(c.core, {}));
    ASSERT_TRUE(writeLinkagePedFile(c.core, {}));
    runCalculationEngines(c.core.programDirectory);
    ASSERT_TRUE(readEngineResults(c.core)) << c.read("tempResults.txt");

    const std::vector<double> unlinked = printedValues(c.read("tempResults.txt"));
    const std::vector<double> linked = printedValues(c.read("tempResults2.txt"));
    ASSERT_EQ(unlinked.size(), 4u) << c.read("tempResults.txt");
    ASSERT_EQ(linked.size(), 4u) << c.read("tempResults2.txt");
    // Without mutation the duo's genotypes at A and B exclude paternity: the
    // engine skips the family as inconsistent, which reads as ln L = -inf.
    EXPECT_EQ(c.core.unlinkedResults[0], -std::numeric_limits<double>::infinity());
    EXPECT_EQ(c.core.merlinResults[0], -std::numeric_limits<double>::infinity());
    for (size_t i = 1; i < 4; ++i) {
        EXPECT_EQ(c.core.unlinkedResults[i], unlinked[i]);
        EXPECT_EQ(c.core.merlinResults[i], linked[i]);
    }
    // Unrelated persons: the product of their genotype probabilities, on both maps.
    const double unrelated = std::log(2 * 0.1 * 0.3 * 0.6 * 0.6) +
                             std::log(2 * 0.5 * 0.25 * 0.25 * 0.25) +
                             std::log(0.8 * 0.8 * 2 * 0.2 * 0.8);
    EXPECT_NEAR((*c.core.unlinkedResults[1]), unrelated, 1e-9);
    EXPECT_NEAR((*c.core.merlinResults[1]), unrelated, 1e-9);
    // Linkage of A and B changes what the half siblings' data are worth.
    EXPECT_NE((*c.core.unlinkedResults[3]), (*c.core.merlinResults[3]));
}

TEST(EngineRunsWithRealEngine, skippedClustersAndTheXChromosomeStayOutOfTheRun) {
    if (!realEngineBuilt()) FAIL() << "merlinEngine is not built in " << RELATIX_PROGRAM_FOLDER;
    EngineCase c;
    const int x = c.addMarker("DXS1", 24, 30, {"1", "2"}, {0.5, 0.5});
    c.genotype(1, x, "1", "1");
    c.genotype(2, x, "2", "2");
    // A and B left out: the duo is consistent at D; the X marker never reaches
    // the engine's autosomal analysis.
    const std::vector<bool> skip{true, true, false, false};
    ASSERT_TRUE(writeLinkageDataFiles(c.core, skip));
    ASSERT_TRUE(writeLinkagePedFile(c.core, skip));
    runCalculationEngines(c.core.programDirectory);
    ASSERT_TRUE(readEngineResults(c.core)) << c.read("tempResults.txt");
    // Father 21/21 and son 21/20 at D: P(father) * P(son | father) = 0.64 * 0.2.
    EXPECT_NEAR((*c.core.unlinkedResults[0]), std::log(0.64 * 0.2), 1e-9);
    EXPECT_NEAR((*c.core.merlinResults[0]), std::log(0.64 * 0.2), 1e-9);
}

}  // namespace
}  // namespace relatix
