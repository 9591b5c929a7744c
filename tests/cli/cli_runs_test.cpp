#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli_run.h"
#include "commands.h"
#include "platform/process_runner.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

using CliRun = testing::CliResult;
using testing::runCli;

// Command, expected exit status, expected start of stdout, expected start of stderr.
struct Golden {
    std::vector<std::string> args;
    int status;
    std::string outStart;
    std::string errStart;
};

TEST(CliGoldenRuns, giveTheExpectedStatusAndOutput) {
    const std::vector<Golden> table = {
        {{"--version"}, 0, "Relatix2 2.1\n", ""},
        {{"--help"}, 0, "Usage: relatix2-cli COMMAND", ""},
        {{}, 2, "", "relatix2-cli: no command given"},
        {{"frobnicate"}, 2, "", "relatix2-cli: unknown command 'frobnicate'"},
        {{"--frobnicate"}, 2, "", "relatix2-cli: unknown option '--frobnicate'"},
        {{"catalogue", "extra"}, 2, "", "relatix2-cli: catalogue takes no arguments"},
        {{"catalogue"},
         0,
         "1\tFull Siblings (data mother)\t3\t2,1,1\t2,8,9,10,11,12,14,16,20,21,23,25,26\n",
         ""},
    };
    for (const Golden& g : table) {
        const CliRun run = runCli(g.args);
        std::string command;
        for (const std::string& a : g.args) command += " " + a;
        EXPECT_EQ(run.status, g.status) << command;
        EXPECT_EQ(run.out.substr(0, g.outStart.size()), g.outStart) << command;
        EXPECT_EQ(run.err.substr(0, g.errStart.size()), g.errStart) << command;
        if (g.status == 2) {
            EXPECT_TRUE(run.out.empty()) << command;
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << command;
        }
    }
}

TEST(CliCatalogue, listsTheTwentySixRelationships) {
    const CliRun run = runCli({"catalogue"});
    std::istringstream lines(run.out);
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        ++count;
        EXPECT_EQ(line.rfind(std::to_string(count) + "\t", 0), 0u) << line;
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 4) << line;
    }
    EXPECT_EQ(count, 26);
    EXPECT_NE(run.out.find("19\tDuo  Two unrelated\t4\t1,2,2,1\t18\n"), std::string::npos);
    EXPECT_NE(run.out.find("7\tHalf Siblings different mothers\t2\t1,1\t3,4,5,13,17,24\n"),
              std::string::npos);
}

TEST(CliExecutable, runsFromTheProgramFolder) {
    testing::TempFolder folder;
    ProcessRequest request;
    request.executable = RELATIX_CLI_PATH;
    request.arguments = {"--version"};
    request.stdoutPath = folder.file("version.txt");
    EXPECT_EQ(runProcess(request), 0);
    EXPECT_EQ(testing::readFile(request.stdoutPath), "Relatix2 2.1\n");
}

}  // namespace
}  // namespace relatix

namespace relatix {
namespace {

TEST(CliInfo, summarisesTheBundledExample) {
    const std::string example =
        std::string(RELATIX_SOURCE_DIR) + "/examples/half_siblings_linked.sav";
    const char* args[] = {"relatix2-cli", "info", example.c_str(), nullptr};
    std::ostringstream out, err;
    EXPECT_EQ(cli::run(3, const_cast<char**>(args), out, err), 0);
    const std::string text = out.str();
    EXPECT_EQ(text.rfind("Project: half_siblings_linked\nMarkers: 31\n", 0), 0u);
    EXPECT_NE(text.find("  D8S639\tchromosome 8\t16 cM\n"), std::string::npos);
    EXPECT_NE(text.find("Active population: 1 (Example population)\n"), std::string::npos);
    EXPECT_NE(text.find("  Sibling 2\tMale\t31 typed markers\n"), std::string::npos);
    EXPECT_NE(text.find("Hypotheses: 4\n  1\tHalf Siblings\t(main)\n  2\tUncle\n  3\tGrandparent\n"
                        "  4\tUnrelated\n"),
              std::string::npos);
    EXPECT_EQ(err.str().rfind("Import was successful", 0), 0u);
}

TEST(CliInfo, unreadableCasesFailWithAReason) {
    testing::TempFolder folder;
    const std::string bad = folder.write("bad.sav", "not a case\r\n");
    const std::string missing = folder.file("missing.sav");
    for (const std::string& path : {bad, missing}) {
        const char* args[] = {"relatix2-cli", "info", path.c_str(), nullptr};
        std::ostringstream out, err;
        EXPECT_EQ(cli::run(3, const_cast<char**>(args), out, err), 1) << path;
        EXPECT_TRUE(out.str().empty());
        EXPECT_NE(err.str().find("cannot read the case file '" + path + "'"), std::string::npos);
    }
    const char* none[] = {"relatix2-cli", "info", nullptr};
    std::ostringstream out, err;
    EXPECT_EQ(cli::run(2, const_cast<char**>(none), out, err), 2);
}

}  // namespace
}  // namespace relatix

namespace relatix {
namespace {

struct CliProcess {
    int status;
    std::string out;
    std::string err;
};

CliProcess runExecutable(const std::vector<std::string>& args) {
    testing::TempFolder folder;
    ProcessRequest request;
    request.executable = RELATIX_CLI_PATH;
    request.arguments = args;
    request.stdoutPath = folder.file("out.txt");
    request.stderrPath = folder.file("err.txt");
    const int status = runProcess(request);
    return {status, testing::readFile(request.stdoutPath), testing::readFile(request.stderrPath)};
}

TEST(CliCalculate, bundledExampleAsJsonFollowsTheSchema) {
    const CliProcess run = runExecutable({"calculate", "--json", "--reference", "4"});
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json doc = nlohmann::json::parse(run.out);
    EXPECT_TRUE(doc["case"].is_string());
    EXPECT_EQ(doc["reference"], 4);
    EXPECT_EQ(doc["markersUsed"].size(), 31u);
    EXPECT_TRUE(doc["markersSkipped"].empty());
    ASSERT_EQ(doc["hypotheses"].size(), 4u);
    const std::vector<std::string> names = {"Half Siblings", "Uncle", "Grandparent", "Unrelated"};
    for (size_t i = 0; i < 4; ++i) {
        const auto& h = doc["hypotheses"][i];
        EXPECT_EQ(h["number"], i + 1);
        EXPECT_EQ(h["name"], names[i]);
        for (const char* key :
             {"lnExact", "lnUnlinked", "lnLinked", "lrExact", "lrUnlinked", "lrLinked",
              "posteriorExact", "posteriorUnlinked", "posteriorLinked"})
            EXPECT_TRUE(h.contains(key) && (h[key].is_number() || h[key].is_null())) << key;
        EXPECT_TRUE(h["lnLinked"].is_number());
    }
    EXPECT_DOUBLE_EQ(doc["hypotheses"][3]["lrLinked"].get<double>(), 1.0);
    EXPECT_NE(run.err.find("Question: Save project? [No]"), std::string::npos);
}

TEST(CliCalculate, textTableAndArgumentErrors) {
    const CliProcess table = runExecutable({"calculate"});
    ASSERT_EQ(table.status, 0) << table.err;
    EXPECT_EQ(
        table.out.rfind("#\tHypothesis\tlnL exact\tlnL unlinked\tlnL linked\tLR exact\t"
                        "LR unlinked\tLR linked\tW exact\tW unlinked\tW linked\n1\tHalf Siblings\t",
                        0),
        0u);
    EXPECT_EQ(std::count(table.out.begin(), table.out.end(), '\n'), 5);
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"calculate", "--reference"},
          {"calculate", "--reference", "x"},
          {"calculate", "--theta", "1.5"},
          {"calculate", "--frob"},
          {"calculate", "a.sav", "b.sav"},
          {"calculate", "--reference", "9"}}) {
        const CliProcess run = runExecutable(bad);
        EXPECT_EQ(run.status, 2) << bad.back();
        EXPECT_TRUE(run.out.empty());
    }
    const CliProcess missing = runExecutable({"calculate", "/no/such/case.sav"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("cannot read the case file"), std::string::npos);
}

TEST(CliCalculate, thetaChangesTheResults) {
    const CliProcess plain = runExecutable({"calculate", "--json"});
    const CliProcess theta = runExecutable({"calculate", "--json", "--theta", "0.02"});
    ASSERT_EQ(plain.status, 0);
    ASSERT_EQ(theta.status, 0);
    const auto a = nlohmann::json::parse(plain.out)["hypotheses"][3]["lnExact"];
    const auto b = nlohmann::json::parse(theta.out)["hypotheses"][3]["lnExact"];
    ASSERT_TRUE(a.is_number() && b.is_number());
    EXPECT_GT(std::fabs(a.get<double>() - b.get<double>()), 1e-3);
    EXPECT_EQ(nlohmann::json::parse(plain.out).at("importWarnings"), nlohmann::json::array());
}

// What the project reader finds wrong in a case reaches the JSON output with its
// line, beside stderr; a theta of the file from 1 up is not used, and one given
// above 0.1 is used with a warning.
TEST(CliCalculate, importWarningsOfTheCaseAndTheCheckedTheta) {
    testing::TempFolder folder;
    std::string text = testing::readFile(testing::duoCaseFile(folder));
    auto lineAt = [&](size_t at) { return 1 + std::count(text.begin(), text.begin() + at, '\n'); };
    const size_t markers = text.find("<MARKERS>\r\n");
    ASSERT_NE(markers, std::string::npos);
    text.insert(markers + 11,
                "\t\t<MARKER>\r\n\t\t\t<MARKERNAME>Lost</MARKERNAME>\r\n"
                "\t\t\t<MARKERCHROMOSOME>3</MARKERCHROMOSOME>\r\n\t\t</MARKER>\r\n");
    const long markerEnd = lineAt(markers) + 4;
    const std::string zero = "<POPULATIONTHETA>0</POPULATIONTHETA>";
    const size_t theta = text.find(zero);
    ASSERT_NE(theta, std::string::npos);
    text.replace(theta, zero.size(), "<POPULATIONTHETA>5</POPULATIONTHETA>");
    const std::string path = folder.write("warned.sav", text);

    const CliProcess run = runExecutable({"calculate", "--json", path});
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json document = nlohmann::json::parse(run.out);
    const nlohmann::json expected = {
        {{"line", markerEnd},
         {"text", "the marker Lost has no valid position and was not imported"}},
        {{"line", lineAt(theta)},
         {"text",
          "<POPULATIONTHETA>5</POPULATIONTHETA> - Theta (Fst) must be a number from 0 to below 1; "
          "not used, the population's theta stays 0"}}};
    EXPECT_EQ(document.at("importWarnings"), expected);
    EXPECT_NE(run.err.find("the marker Lost has no valid position"), std::string::npos);
    for (const nlohmann::json& hypothesis : document.at("hypotheses"))
        EXPECT_TRUE(hypothesis.at("lnExact").is_number()) << hypothesis;

    const CliProcess large = runExecutable({"calculate", path, "--theta", "0.5"});
    EXPECT_EQ(large.status, 0) << large.err;
    EXPECT_NE(large.err.find("relatix2-cli: Theta (Fst) 0.5 is unusually large (above 0.1); it is "
                             "used as given\n"),
              std::string::npos)
        << large.err;
    EXPECT_EQ(runExecutable({"calculate", path, "--theta", "1"}).status, 2);

    // Every --json output has the array, also when no file is read.
    const CliRun convert = runCli({"convert", "--haldane", "--cm", "10", "--json"});
    EXPECT_EQ(nlohmann::json::parse(convert.out).at("importWarnings"), nlohmann::json::array());
    EXPECT_NE(runCli({"--help"}).out.find("\"importWarnings\""), std::string::npos);
}

}  // namespace
}  // namespace relatix

namespace relatix {
namespace {

// Runs from one program folder at the same time share no file: each prints
// exactly what it prints alone.
TEST(CliCalculate, concurrentRunsPrintWhatEachPrintsAlone) {
    const std::vector<std::vector<std::string>> cases = {
        {"calculate", "--json"},
        {"calculate", "--json", "--theta", "0.02"},
        {"calculate", "--json", "--theta", "0.05", "--reference", "2"},
        {"calculate", "--json", "--no-mutation"}};
    std::vector<std::string> alone;
    for (const auto& args : cases) {
        const CliProcess run = runExecutable(args);
        ASSERT_EQ(run.status, 0) << run.err;
        alone.push_back(run.out);
    }
    for (size_t i = 1; i < alone.size(); ++i) ASSERT_NE(alone[i], alone[0]) << i;

    constexpr int kRounds = 20;
    constexpr size_t kRunsAtOnce = 8;
    for (int round = 0; round < kRounds; ++round) {
        std::vector<CliProcess> results(kRunsAtOnce);
        std::vector<std::thread> threads;
        for (size_t r = 0; r < kRunsAtOnce; ++r)
            threads.emplace_back([&, r] { results[r] = runExecutable(cases[r % cases.size()]); });
        for (std::thread& t : threads) t.join();
        for (size_t r = 0; r < kRunsAtOnce; ++r) {
            ASSERT_EQ(results[r].status, 0) << results[r].err;
            ASSERT_EQ(results[r].out, alone[r % cases.size()])
                << "round " << round << ", run " << r;
        }
    }
}

// A long simulation and calculations at the same time: the calculations print
// what they print alone and the simulation what it prints alone.
TEST(CliCalculate, calculationsWhileASimulationRunsPrintWhatEachPrintsAlone) {
    testing::TempFolder folder;
    const std::vector<std::string> simulate = {
        "simulate", testing::duoCaseFile(folder), "-n", "200", "--seed", "11", "--json"};
    const std::vector<std::string> calculate = {"calculate", "--json", "--theta", "0.01"};
    const CliProcess calculationAlone = runExecutable(calculate);
    ASSERT_EQ(calculationAlone.status, 0) << calculationAlone.err;
    CliProcess simulation;
    std::atomic<bool> simulating{true};
    std::thread background([&] {
        simulation = runExecutable(simulate);
        simulating = false;
    });
    int calculations = 0;
    while (simulating || calculations < 2) {
        const CliProcess run = runExecutable(calculate);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, calculationAlone.out) << "calculation " << calculations;
        ++calculations;
    }
    background.join();
    ASSERT_EQ(simulation.status, 0) << simulation.err;
    const CliProcess simulationAlone = runExecutable(simulate);
    EXPECT_EQ(simulation.out, simulationAlone.out);
}

}  // namespace
}  // namespace relatix

namespace relatix {
namespace {

// Case files and paths are 8-bit text: JSON output carries them as valid UTF-8.
TEST(CliCalculate, eightBitNamesGiveValidUtf8Json) {
    testing::TempFolder folder;
    const std::filesystem::path odd = folder.path() / "F13\xf6 \xff\xfe";
    std::filesystem::create_directories(odd);
    const std::filesystem::path copy = odd / "case.sav";
    std::filesystem::copy_file(
        std::string(RELATIX_SOURCE_DIR) + "/examples/half_siblings_linked.sav", copy);
    const CliProcess run = runExecutable({"calculate", "--json", copy.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json doc = nlohmann::json::parse(run.out);
    EXPECT_NE(doc["case"].get<std::string>().find("F13\xc3\xb6 \xc3\xbf\xc3\xbe"),
              std::string::npos);
}

}  // namespace
}  // namespace relatix

namespace relatix {
namespace {

// A marker of the map that the active population lacks is named with its reason.
// Without the linkage program its columns are NA, and the commands say so with
// exit 1 while still printing or writing what exists.
TEST(CliEngineFailure, calculateSimulateAndReportExitOneWithoutTheLinkageProgram) {
    testing::TempFolder folder;
    const std::string duo = testing::duoCaseFile(folder);
    const std::filesystem::path program = folder.path() / "prog";
    std::filesystem::create_directories(program);
    std::filesystem::copy_file(RELATIX_CLI_PATH, program / "relatix2-cli");
    auto run = [&](const std::vector<std::string>& args) {
        ProcessRequest request;
        request.executable = (program / "relatix2-cli").string();
        request.arguments = args;
        request.workingDirectory = folder.path().string();
        request.stdoutPath = folder.file("out.txt");
        request.stderrPath = folder.file("err.txt");
        const int status = runProcess(request);
        return CliRun{status, testing::readFile(request.stdoutPath),
                      testing::readFile(request.stderrPath)};
    };
    const CliRun calculated = run({"calculate", duo});
    EXPECT_EQ(calculated.status, 1) << calculated.err;
    EXPECT_NE(calculated.out.find("NA"), std::string::npos) << calculated.out;
    EXPECT_NE(calculated.err.find("the linkage program gave no values"), std::string::npos);
    const CliRun json = run({"calculate", "--json", duo});
    EXPECT_EQ(json.status, 1);
    EXPECT_NE(json.out.find("\"lnExact\""), std::string::npos);
    const CliRun simulated = run({"simulate", duo, "-n", "10", "--seed", "3"});
    EXPECT_EQ(simulated.status, 1) << simulated.err;
    EXPECT_NE(simulated.out.find("exact"), std::string::npos);
    const CliRun reported = run({"report", duo, "-o", "duo.rtf"});
    EXPECT_EQ(reported.status, 1) << reported.err;
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "duo.rtf"));
}

// A case in which a person carries no DNA is refused with that cause: every LR
// would be 1 otherwise.
TEST(CliCalculate, aPersonWithoutDnaIsRefusedWithExitOne) {
    testing::TempFolder folder;
    std::string text = testing::readFile(testing::duoCaseFile(folder));
    const size_t child = text.find("<PERSONNAME>Child</PERSONNAME>");
    ASSERT_NE(child, std::string::npos);
    const size_t start = text.find("<PERSONDNA>", child);
    const size_t stop = text.find("</PERSONDNA>", child);
    text.erase(start, stop - start);
    const std::string path = folder.write("untyped.sav", text);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"calculate", path}, {"calculate", "--json", path}}) {
        const testing::CliResult run = testing::runCli(args);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("Child is typed at no marker of the active population"),
                  std::string::npos)
            << run.err;
        EXPECT_EQ(run.out.find("LR"), std::string::npos) << run.out;
    }
}

TEST(CliCalculate, everyUnusedMarkerIsNamedWithItsReason) {
    std::string text =
        testing::readFile(std::string(RELATIX_SOURCE_DIR) + "/examples/half_siblings_linked.sav");
    const size_t name = text.find("<POPULATIONMARKERNAME>D8S639</POPULATIONMARKERNAME>");
    ASSERT_NE(name, std::string::npos);
    const size_t start = text.rfind("<POPULATIONMARKER>", name);
    const std::string end = "</POPULATIONMARKER>";
    const size_t stop = text.find(end, name) + end.size();
    text.erase(start, stop - start);
    testing::TempFolder folder;
    const std::string path = folder.write("case.sav", text);
    const CliProcess run = runExecutable({"calculate", "--json", path});
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json doc = nlohmann::json::parse(run.out);
    EXPECT_EQ(doc["markersUsed"].size(), 30u);
    ASSERT_EQ(doc["markersSkipped"].size(), 1u);
    EXPECT_EQ(doc["markersSkipped"][0]["marker"], "D8S639");
    EXPECT_EQ(doc["markersSkipped"][0]["reason"], "not in the active population");
    EXPECT_NE(run.err.find("marker D8S639 not used: not in the active population"),
              std::string::npos);
}

}  // namespace
}  // namespace relatix

namespace relatix {
namespace {

// The per-marker ratios of the bundled example multiply to the exact ratio of
// each hypothesis, and --lr-file writes that ratio alone.
TEST(CliCalculate, perMarkerRatiosMultiplyToTheExactRatio) {
    const CliProcess run =
        runExecutable({"calculate", "--json", "--per-marker", "--reference", "4"});
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json doc = nlohmann::json::parse(run.out);
    for (const auto& h : doc["hypotheses"]) {
        ASSERT_TRUE(h["markers"].is_array()) << h["name"];
        double product = 1.0;
        for (const auto& m : h["markers"]) {
            EXPECT_TRUE(m["chromosome"].is_number() && m["position"].is_number());
            if (!m["marginal"].is_null()) product *= m["marginal"].get<double>();
        }
        const double exact = h["lrExact"].get<double>();
        EXPECT_NEAR(product, exact, 1e-9 * exact) << h["name"];
        EXPECT_NEAR(h["markers"].back()["accumulated"].get<double>(), exact, 1e-9 * exact);
    }
    testing::TempFolder folder;
    const std::string lrFile = folder.file("lr.txt");
    const CliProcess written =
        runExecutable({"calculate", "--reference", "4", "--lr-file", lrFile, "--hypothesis", "2"});
    ASSERT_EQ(written.status, 0) << written.err;
    const double uncle = doc["hypotheses"][1]["lrExact"].get<double>();
    EXPECT_NEAR(std::stod(testing::readFile(lrFile)), uncle, 1e-5 * uncle);
    EXPECT_EQ(
        runCli({"calculate", "--lr-file", lrFile, "--hypothesis", "4", "--reference", "4"}).status,
        1);
}

}  // namespace
}  // namespace relatix
