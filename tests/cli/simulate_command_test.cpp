#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli_run.h"
#include "commands.h"
#include "core/core.h"
#include "interrupted_run.h"
#include "persistence/open_project.h"
#include "persistence/project_file.h"
#include "platform/process_runner.h"
#include "platform/silent_user_interface.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

int runInProcess(std::vector<std::string> args, std::string& err) {
    args.insert(args.begin(), "relatix2-cli");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    std::ostringstream out, errors;
    const int status = cli::run(static_cast<int>(args.size()), argv.data(), out, errors);
    err = errors.str();
    EXPECT_TRUE(out.str().empty());
    return status;
}

TEST(CliSimulate, refusesWrongArgumentsBeforeSimulating) {
    std::string err;
    EXPECT_EQ(runInProcess({"simulate"}, err), 2);
    EXPECT_NE(err.find("-n N"), std::string::npos);
    EXPECT_EQ(runInProcess({"simulate", "-n", "9"}, err), 2);
    EXPECT_EQ(runInProcess({"simulate", "-n", "100001"}, err), 2);
    EXPECT_EQ(runInProcess({"simulate", "-n", "ten"}, err), 2);
    EXPECT_EQ(runInProcess({"simulate", "-n", "10", "--seed", "0"}, err), 2);
    EXPECT_EQ(runInProcess({"simulate", "-n", "10", "--seed"}, err), 2);
    EXPECT_EQ(runInProcess({"simulate", "-n", "10", "--fast"}, err), 2);
    EXPECT_EQ(runInProcess({"simulate", "-n", "10", "--threads", "0"}, err), 2);
    EXPECT_NE(err.find("--threads takes a number from 1 to 256"), std::string::npos) << err;
    EXPECT_EQ(runInProcess({"simulate", "-n", "10", "--threads", "257"}, err), 2);
    EXPECT_EQ(runInProcess({"simulate", "-n", "10", "--threads"}, err), 2);
    EXPECT_EQ(runInProcess({"simulate", "a.sav", "b.sav", "-n", "10"}, err), 2);
    EXPECT_EQ(runInProcess({"simulate", "/no/such/case.sav", "-n", "10"}, err), 1);
}

// Refusals that name what is wrong, not a setting the user never gave.
TEST(CliRefusals, nameTheirRealReason) {
    testing::TempFolder folder;
    const std::string duo = testing::duoCaseFile(folder);
    std::string err;
    EXPECT_EQ(runInProcess({"simulate", duo, "-n", "10", "--raw", folder.file("no/raw.txt")}, err),
              1);
    EXPECT_NE(err.find("cannot write the raw data file"), std::string::npos) << err;

    Core single;
    SilentUserInterface ui;
    ASSERT_TRUE(openProject(single, duo, ui));
    single.alternativeHypotheses.clear();
    const std::string alone = folder.file("alone.sav");
    ASSERT_TRUE(saveProject(single, alone, ui));
    EXPECT_EQ(runInProcess({"calculate", alone}, err), 1);
    EXPECT_NE(err.find("has no alternative hypothesis"), std::string::npos) << err;
    EXPECT_EQ(err.find("--reference"), std::string::npos) << err;
}

TEST(CliSimulate, simulatesACaseWithAFixedSeedAsJson) {
    testing::TempFolder folder;
    const std::string casePath = testing::duoCaseFile(folder);
    auto run = [&](const std::string& name, std::vector<std::string> extra) {
        ProcessRequest request;
        request.executable = RELATIX_CLI_PATH;
        request.arguments = {"simulate", casePath, "-n", "10", "--seed", "99"};
        request.arguments.insert(request.arguments.end(), extra.begin(), extra.end());
        request.stdoutPath = folder.file(name);
        request.stderrPath = "/dev/null";
        EXPECT_EQ(runProcess(request), 0);
        return testing::readFile(request.stdoutPath);
    };
    const std::string first = run("first.json", {"--json", "--raw", folder.file("raw.txt")});
    const nlohmann::json document = nlohmann::json::parse(first);
    EXPECT_EQ(document["simulations"], 10);
    EXPECT_EQ(document["seed"], 99);
    EXPECT_EQ(document["scale"]["number"], 2);
    for (const char* method : {"exact", "linked", "unlinked"}) {
        const auto& rows = document["methods"][method];
        ASSERT_EQ(rows.size(), 2u) << method;
        EXPECT_EQ(rows[0]["name"], "Paternity (duo)");
        // Drawn under paternity, every data set has a ratio; ten give a median.
        EXPECT_EQ(rows[0]["ratios"], 10) << method;
        EXPECT_TRUE(rows[0]["median"].is_number()) << method;
        EXPECT_TRUE(rows[0]["pAbove1000"].is_number()) << method;
        EXPECT_TRUE(rows[0]["quantile5"].is_null()) << method;  // needs 21 ratios
        EXPECT_EQ(rows[1]["ratios"].get<int>() + rows[1]["zeroCount"].get<int>() +
                      rows[1]["notAvailableCount"].get<int>(),
                  10);
    }
    const double exactMedian = document["methods"]["exact"][0]["median"];
    EXPECT_NEAR(exactMedian, document["methods"]["linked"][0]["median"].get<double>(),
                1e-6 * exactMedian);
    EXPECT_NE(testing::readFile(folder.file("raw.txt")).find("NumberOfSimulations:\t10"),
              std::string::npos);

    // The same seed gives the same statistics, on any number of threads; the
    // text table has a row per method and true hypothesis.
    EXPECT_EQ(run("second.json", {"--json", "--threads", "1"}), first);
    const std::string table = run("table.txt", {});
    EXPECT_EQ(table.rfind("# seed 99, 10 simulations, LR = L(1)/L(2)\n", 0), 0u);
    EXPECT_NE(table.find("\nunlinked\t2\tUnrelated\t"), std::string::npos);
}

// Ctrl+C during a simulation whose raw data go to an existing file: the file
// stays as it was.
TEST(CliSimulate, anInterruptedRunKeepsTheEarlierRawDataFile) {
    testing::TempFolder folder;
    const std::string casePath = testing::duoCaseFile(folder);
    const std::string raw = folder.write("raw.txt", "the raw data of an earlier run\r\n");
    const testing::InterruptedRun run = testing::runAndInterrupt(
        {"simulate", casePath, "-n", "100000", "--seed", "3", "--raw", raw}, folder,
        [] { return false; }, std::chrono::milliseconds(500));
    ASSERT_TRUE(run.interrupted);
    EXPECT_EQ(run.status, 130) << run.err;
    EXPECT_EQ(testing::readFile(raw), "the raw data of an earlier run\r\n");
}

}  // namespace
}  // namespace relatix
