#include <gtest/gtest.h>
#include <sys/stat.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli_run.h"
#include "interrupted_run.h"
#include "platform/process_runner.h"
#include "support/kovarian_case_writer.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

// The installed command, so that the linkage engine of its program folder runs.
testing::CliResult quick(const testing::TempFolder& folder, std::vector<std::string> args) {
    ProcessRequest request;
    request.executable = RELATIX_CLI_PATH;
    request.arguments = {"quick"};
    request.arguments.insert(request.arguments.end(), args.begin(), args.end());
    request.workingDirectory = folder.path().string();
    request.stdoutPath = folder.file("out.txt");
    request.stderrPath = folder.file("err.txt");
    const int status = runProcess(request);
    return {status, testing::readFile(request.stdoutPath), testing::readFile(request.stderrPath)};
}

TEST(CliQuick, badArgumentsAndRefusedFilesGiveTheirExitStatus) {
    EXPECT_EQ(testing::runCli({"quick"}).status, 2);
    EXPECT_EQ(testing::runCli({"quick", "a.kov", "--frobnicate"}).status, 2);
    EXPECT_EQ(testing::runCli({"quick", "a.kov", "--map"}).status, 2);
    EXPECT_NE(testing::runCli({"--help"}).out.find("  quick FILE.kov..."), std::string::npos);

    testing::TempFolder folder;
    testing::KovCase one = testing::duoCase();
    one.pedigrees.pop_back();
    const std::string bad = folder.write("one.kov", testing::kovarianCaseText(one));
    const std::string good = folder.write("duo.kov", testing::kovarianCaseText(testing::duoCase()));
    const testing::CliResult run = quick(folder, {bad, good, "--json", "--no-report"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("one.kov: Error, Relatix needs at least two defined pedigrees"),
              std::string::npos)
        << run.err;
    const nlohmann::json document = nlohmann::json::parse(run.out);
    ASSERT_EQ(document.size(), 2u);
    EXPECT_EQ(document[0]["file"], bad);
    EXPECT_TRUE(document[0].contains("error"));
    EXPECT_EQ(document[1].at("importWarnings"), nlohmann::json::array());
    EXPECT_EQ(document[1]["pedigrees"], nlohmann::json({"Paternity", "Unrelated"}));
    EXPECT_NEAR(document[1]["lr"][0][1].get<double>(), 12.5, 1e-6);
    EXPECT_EQ(document[1]["lnLikelihood"].size(), 2u);
    EXPECT_NEAR(document[1]["posterior"][0].get<double>(), 12.5 / 13.5, 1e-9);
    EXPECT_FALSE(std::filesystem::exists(folder.file("duo_RelatixReport.rtf")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("one_Relatixed.txt")));

    // A family the engine skips (a chain of 31 meioses) is null, never a number.
    testing::KovCase big = testing::duoCase();
    big.pedigrees[1].extraMales = 30;
    for (int i = 0; i < 29; ++i) big.pedigrees[1].relations.push_back({i + 2, i + 3});
    big.pedigrees[1].relations.push_back({31, 1});
    const std::string skipped = folder.write("big.kov", testing::kovarianCaseText(big));
    const testing::CliResult skip = quick(folder, {skipped, "--json"});
    EXPECT_EQ(skip.status, 0) << skip.err;
    const nlohmann::json withSkip = nlohmann::json::parse(skip.out);
    EXPECT_TRUE(withSkip[0]["lr"][0][1].is_null()) << skip.out;
    EXPECT_TRUE(withSkip[0]["posterior"][0].is_null());
    EXPECT_NE(
        testing::readFile(folder.file("big_RelatixReport.rtf")).find("skipped by the linkage"),
        std::string::npos);
}

// A record pointing at an allele the system does not have refuses the file,
// named with its line, and the run exits 1; the other files are analysed.
TEST(CliQuick, anAlleleIndexOutsideItsSystemExitsOne) {
    testing::TempFolder folder;
    testing::KovCase kov = testing::duoCase();
    kov.persons[1].records[0] = {0, 999, 0};
    const std::string bad = folder.write("bad.kov", testing::kovarianCaseText(kov));
    const std::string good = folder.write("duo.kov", testing::kovarianCaseText(testing::duoCase()));
    const testing::CliResult run = quick(folder, {bad, good, "--no-report"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(bad + ", line 24: the DNA record of Child for system index 0 (allele "
                                 "indexes 0 and 999) names an allele outside the 3 alleles of "
                                 "D1S1656"),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(std::filesystem::exists(folder.file("bad_Relatixed.txt")));
    EXPECT_TRUE(std::filesystem::exists(folder.file("duo_Relatixed.txt")));
}

// A map the user names must be read and place a marker: otherwise every LR would
// be 1, or the default map would be used without a word.
TEST(CliQuick, aNamedMapThatIsMissingOrPlacesNoMarkerExitsOne) {
    testing::TempFolder folder;
    const std::string duo = folder.write("duo.kov", testing::kovarianCaseText(testing::duoCase()));
    const std::string empty = folder.write("empty.map", "");
    const std::string header = folder.write("header.map", "MARKER\tCHROMOSOME\tPOSITION\n");
    for (const std::string& map : {empty, header, folder.file("missing.map")}) {
        const testing::CliResult run = quick(folder, {duo, "--map", map, "--no-report"});
        EXPECT_EQ(run.status, 1) << map;
        EXPECT_NE(run.err.find(map), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(folder.file("duo_Relatixed.txt")));
    }
    const std::string good = folder.write(
        "good.map", "MARKER\tCHROMOSOME\tPOSITION\nD1S1656\t1\t244.2\nD3S1358\t3\t16.2\n");
    EXPECT_EQ(quick(folder, {duo, "--map", good, "--no-report"}).status, 0);
}

TEST(CliQuick, parallelRunsGiveTheMatricesOfSequentialRuns) {
    testing::TempFolder folder;
    std::vector<std::string> files;
    for (int i = 0; i < 4; ++i) {
        testing::KovCase kov = testing::duoCase();
        kov.systems[0].alleles[0].second = 0.05 * (i + 1);
        kov.systems[0].alleles[2].second = 0.8 - 0.05 * (i + 1);
        files.push_back(
            folder.write("case" + std::to_string(i) + ".kov", testing::kovarianCaseText(kov)));
    }
    const testing::CliResult parallel = quick(folder, files);
    ASSERT_EQ(parallel.status, 0) << parallel.err;
    std::vector<std::string> matrices;
    for (int i = 0; i < 4; ++i)
        matrices.push_back(
            testing::readFile(folder.file("case" + std::to_string(i) + "_Relatixed.txt")));
    // Printed in the order given.
    EXPECT_LT(parallel.out.find("case0.kov"), parallel.out.find("case3.kov"));
    EXPECT_NE(parallel.out.find("Ped 1\t1\t25\t\n"), std::string::npos) << parallel.out;
    for (int i = 0; i < 4; ++i) {
        std::filesystem::remove(folder.file("case" + std::to_string(i) + "_Relatixed.txt"));
        ASSERT_EQ(quick(folder, {files[i]}).status, 0);
        EXPECT_EQ(testing::readFile(folder.file("case" + std::to_string(i) + "_Relatixed.txt")),
                  matrices[i]);
    }
    EXPECT_NE(matrices[0], matrices[1]);
}

// Ctrl+C during a run over many files: the files not analysed keep their earlier
// matrix and report, and those analysed got the same ones again, so every
// earlier output is there byte for byte.
TEST(CliQuick, anInterruptedRunKeepsEveryEarlierOutput) {
    testing::TempFolder folder;
    std::vector<std::string> files, outputs;
    for (int i = 0; i < 60; ++i) {
        const std::string name = "case" + std::to_string(i);
        files.push_back(folder.write(name + ".kov", testing::kovarianCaseText(testing::duoCase())));
        outputs.push_back(folder.file(name + "_Relatixed.txt"));
        outputs.push_back(folder.file(name + "_RelatixReport.rtf"));
    }
    ASSERT_EQ(quick(folder, files).status, 0);
    std::vector<std::string> earlier;
    for (const std::string& output : outputs) earlier.push_back(testing::readFile(output));
    auto inode = [](const std::string& path) {
        struct stat status {};
        return ::stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
    };
    const ino_t first = inode(outputs[0]);

    std::vector<std::string> args = {"quick"};
    args.insert(args.end(), files.begin(), files.end());
    // Interrupted once the first file has its outputs anew.
    const testing::InterruptedRun run = testing::runAndInterrupt(
        args, folder, [&] { return inode(outputs[0]) != first; }, std::chrono::seconds(5));
    ASSERT_TRUE(run.interrupted);
    EXPECT_EQ(run.status, 130) << run.err;
    EXPECT_NE(run.err.find("interrupted"), std::string::npos) << run.err;
    for (size_t i = 0; i < outputs.size(); ++i)
        EXPECT_EQ(testing::readFile(outputs[i]), earlier[i]) << outputs[i];
}

}  // namespace
}  // namespace relatix
