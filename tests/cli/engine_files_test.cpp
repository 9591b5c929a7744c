// relatix2-cli engine-files: arguments, a failing engine reported, files refused
// that would give meaningless ratios, the engine's warnings passed on, and a
// father-son duo against an unrelated pair simulated through the real engine.
#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli_run.h"
#include "platform/process_runner.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

using testing::readFile;
using testing::runCli;
using testing::TempFolder;

// Two families typed at 20 markers, ten on each of chromosomes 1 and 2: a father
// and son (mother untyped) and two unrelated men typed like them.
void writeDuoFiles(const TempFolder& folder) {
    std::string dat, map = "CHROMOSOME MARKER POSITION\n", map2 = map, freq, toyFather, toySon;
    for (int m = 0; m < 20; ++m) {
        const std::string name = "D" + std::to_string(m + 1);
        dat += "M " + name + "\n";
        map += (m < 10 ? "1 " : "2 ") + name + " " + std::to_string((m % 10) * 10) + "\n";
        map2 += std::to_string(m + 1) + " " + name + " 0\n";
        freq += "M " + name + "\nA 10 0.8\nA 11 0.2\n";
        toyFather += " 10 10";
        toySon += " 10 11";
    }
    std::string untyped;
    for (int m = 0; m < 20; ++m) untyped += " 0 0";
    folder.write("duo.dat", dat);
    folder.write("duo.map", map);
    folder.write("unlinked.map", map2);
    folder.write("duo.freq", freq);
    folder.write("duo.ped", "duo 1 0 0 1" + toyFather + "\nduo 2 0 0 2" + untyped +
                                "\nduo 3 1 2 1" + toySon + "\npair 1 0 0 1" + toyFather +
                                "\npair 3 0 0 1" + toySon + "\n");
}

std::vector<std::string> arguments(const TempFolder& folder, const std::string& out) {
    return {"engine-files",         "--ped",  folder.file("duo.ped"),      "--dat",
            folder.file("duo.dat"), "--freq", folder.file("duo.freq"),     "--map",
            folder.file("duo.map"), "--map2", folder.file("unlinked.map"), "-o",
            folder.file(out)};
}

TEST(CliEngineFiles, argumentsAndFailures) {
    TempFolder folder;
    writeDuoFiles(folder);
    std::vector<std::string> args = arguments(folder, "lr.txt");
    EXPECT_EQ(runCli(args).status, 2);  // no -n
    args.insert(args.end(), {"-n", "9"});
    EXPECT_EQ(runCli(args).status, 2);
    args.back() = "10";
    std::vector<std::string> noMap2 = args;
    noMap2.erase(noMap2.begin() + 9, noMap2.begin() + 11);
    const auto missing = runCli(noMap2);
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("--map2"), std::string::npos);

    // A map file the engine cannot open: the run is reported, no table is written.
    ProcessRequest request;
    request.executable = RELATIX_CLI_PATH;
    request.arguments = args;
    request.arguments[8] = folder.file("no such file.map");
    request.stdoutPath = "/dev/null";
    request.stderrPath = folder.file("failed.err");
    EXPECT_EQ(runProcess(request), 1);
    const std::string err = readFile(request.stderrPath);
    EXPECT_NE(err.find("The linkage program gave no result for the simulation of"),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("no such file.map"), std::string::npos) << err;
    // A data file that cannot be read is named.
    request.arguments = args;
    request.arguments[4] = folder.file("no such file.dat");
    EXPECT_EQ(runProcess(request), 1);
    EXPECT_NE(readFile(request.stderrPath).find("no such file.dat"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder.file("lr.txt")));
}

// Files whose ratios would look like results but mean nothing are refused before
// the linkage program runs, naming what to correct; no table is written.
TEST(CliEngineFiles, filesGivingMeaninglessRatiosAreRefused) {
    TempFolder folder;
    writeDuoFiles(folder);
    const std::string ped = readFile(folder.file("duo.ped"));
    auto refusal = [&](const std::string& pedigree, const std::string& frequencies) {
        folder.write("duo.ped", pedigree);
        folder.write("duo.freq", frequencies);
        std::vector<std::string> args = arguments(folder, "lr.txt");
        args.insert(args.end(), {"-n", "10", "--seed", "1"});
        const auto run = runCli(args);
        EXPECT_EQ(run.status, 1) << run.out;
        EXPECT_EQ(run.out, "");
        EXPECT_FALSE(std::filesystem::exists(folder.file("lr.txt")));
        return run.err;
    };
    const std::string freq = readFile(folder.file("duo.freq"));
    // One toy genotype of the unrelated man changed: neither man has a match.
    std::string unmatched = ped;
    unmatched.replace(unmatched.find("pair 1 0 0 1 10 10"), 18, "pair 1 0 0 1 10 11");
    std::string err = refusal(unmatched, freq);
    EXPECT_NE(err.find("person 1 of family pair (pedigree 2) has no person of the same sex and "
                       "toy genotypes in family duo (pedigree 1)"),
              std::string::npos)
        << err;
    // An empty frequency file: toy genotypes cannot stand in for frequencies.
    err = refusal(ped, "");
    EXPECT_NE(err.find("no frequencies for markers D1, D2, D3, D4, D5 and 15 more"),
              std::string::npos)
        << err;
    // The father made the son's son: a loop of ancestry, named.
    std::string loop = ped;
    loop.replace(loop.find("duo 1 0 0 1"), 11, "duo 1 3 2 1");
    err = refusal(loop, freq);
    EXPECT_NE(err.find("In family duo (pedigree 1) person 1 is his own ancestor (each a parent "
                       "of the next: 1 -> 3 -> 1)"),
              std::string::npos)
        << err;
}

// The linkage program's warnings reach stderr, a map with a marker on X included;
// a likelihood run that fails still leaves the other map's values on stdout, with
// status 1.
TEST(CliEngineFiles, warningsPassAndAFailedRunKeepsTheOtherValues) {
    TempFolder folder;
    writeDuoFiles(folder);
    std::string map = readFile(folder.file("duo.map"));
    map.replace(map.find("2 D20"), 5, "X D20");
    folder.write("duo.map", map);
    auto run = [&](const std::string& program) {
        ProcessRequest request;
        request.executable = program;
        request.arguments = arguments(folder, "lr.txt");
        request.arguments.insert(request.arguments.end(), {"-n", "20", "--seed", "3"});
        request.stdoutPath = folder.file("run.out");
        request.stderrPath = folder.file("run.err");
        const int status = runProcess(request);
        return testing::CliResult{status, readFile(request.stdoutPath),
                                  readFile(request.stderrPath)};
    };
    const auto passed = run(RELATIX_CLI_PATH);
    EXPECT_EQ(passed.status, 0) << passed.err;
    EXPECT_NE(passed.err.find("warning: the linkage program: markers on the X chromosome are "
                              "not analysed (1 left out)"),
              std::string::npos)
        << passed.err;
    EXPECT_NE(passed.out.find("linked\t1\tPedigree 1\t"), std::string::npos) << passed.out;

    // A program folder whose linkage program fails on the second map.
    const std::filesystem::path program = folder.path() / "prog";
    std::filesystem::create_directories(program);
    std::filesystem::copy_file(RELATIX_CLI_PATH, program / "relatix2-cli");
    const std::string engine =
        (std::filesystem::path(RELATIX_CLI_PATH).parent_path() / "merlinEngine").string();
    folder.write("prog/merlinEngine",
                 "#!/bin/sh\ncase \"$*\" in *unlinked.map*) echo 'merlinEngine: out of order' "
                 ">&2; exit 1;; esac\nexec '" +
                     engine + "' \"$@\"\n");
    std::filesystem::permissions(program / "merlinEngine", std::filesystem::perms::owner_all);
    const auto failed = run((program / "relatix2-cli").string());
    std::filesystem::remove_all(program);
    EXPECT_EQ(failed.status, 1) << failed.err;
    EXPECT_NE(failed.err.find("gave no result for the map " + folder.file("unlinked.map") +
                              ": merlinEngine: out of order"),
              std::string::npos)
        << failed.err;
    // The genetic map's values are those of the complete run; the second map's are NA.
    const std::string linkedRow = passed.out.substr(passed.out.find("linked\t1\t"));
    EXPECT_NE(failed.out.find(linkedRow.substr(0, linkedRow.find('\n'))), std::string::npos)
        << failed.out;
    EXPECT_NE(failed.out.find("unlinked\t1\tPedigree 1\tNA\tNA"), std::string::npos) << failed.out;
}

TEST(CliEngineFiles, duoAgainstUnrelatedThroughTheEngine) {
    TempFolder folder;
    writeDuoFiles(folder);
    auto run = [&](const std::string& out) {
        ProcessRequest request;
        request.executable = RELATIX_CLI_PATH;
        request.arguments = arguments(folder, out);
        request.arguments.insert(request.arguments.end(), {"-n", "200", "--seed", "1", "--json"});
        request.stdoutPath = folder.file(out + ".json");
        request.stderrPath = folder.file(out + ".err");
        EXPECT_EQ(runProcess(request), 0) << readFile(request.stderrPath);
        return nlohmann::json::parse(readFile(request.stdoutPath));
    };
    const nlohmann::json first = run("first.txt");
    run("second.txt");
    const std::string table = readFile(folder.file("first.txt"));
    EXPECT_EQ(table, readFile(folder.file("second.txt")));

    // Under the duo as true pedigree the LR duo/unrelated is mostly above 1.
    ASSERT_FALSE(first["methods"]["linked"][0]["median"].is_null()) << first.dump();
    EXPECT_GT(first["methods"]["linked"][0]["median"].get<double>(), 1.0);
    EXPECT_EQ(first["methods"]["linked"][0]["name"], "Pedigree 1");
    EXPECT_EQ(first.at("importWarnings"), nlohmann::json::array());

    // Under the unrelated pair as true pedigree the same LR has mean 1: the table's
    // cell holds L(unrelated)/L(duo), "-*" where the duo is impossible (LR 0).
    std::istringstream lines(table);
    std::string line;
    for (int i = 0; i < 5; ++i) std::getline(lines, line);
    std::vector<double> ratios;
    while (std::getline(lines, line) && line.size() > 1) {
        std::vector<std::string> cells;
        std::istringstream row(line);
        std::string cell;
        while (std::getline(row, cell, '\t')) cells.push_back(cell);
        ASSERT_GT(cells.size(), 3u);
        ratios.push_back(cells[3] == "-*" ? 0.0 : 1.0 / std::stod(cells[3]));
    }
    ASSERT_EQ(ratios.size(), 200u);
    double mean = 0, squares = 0;
    for (double r : ratios) mean += r / 200;
    for (double r : ratios) squares += (r - mean) * (r - mean);
    const double standardError = std::sqrt(squares / 199 / 200);
    EXPECT_LT(std::abs(mean - 1.0), 2 * standardError) << mean << " +- " << standardError;
    EXPECT_TRUE(std::filesystem::exists(folder.file("duo_simulated_data.ped")));
}

}  // namespace
}  // namespace relatix
