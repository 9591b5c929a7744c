// relatix2-cli engine-files: arguments, a failing engine reported, and a
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
