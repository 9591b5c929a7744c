#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli_run.h"
#include "core/core.h"
#include "persistence/project_file.h"
#include "platform/silent_user_interface.h"
#include "support/kovarian_case_writer.h"
#include "support/temp_folder.h"
#include "support/typed_observation.h"

namespace relatix {
namespace {

using testing::CliResult;
using testing::runCli;

// Two populations at three markers (Far holds only two of them); a duo whose
// father is typed like Near and whose child is untyped.
std::string populationCase(const testing::TempFolder& folder) {
    Core core;
    Population near, far;
    near.name = "Near";
    far.name = "Far";
    for (int m = 1; m <= 3; ++m) {
        const std::string name = "M" + std::to_string(m);
        core.markerMap.markers.emplace_back(name, 1, 10.0 * m);
        Marker marker(name, 1, 0);
        marker.alleles = {{"1", 0.8}, {"2", 0.1}, {"3", 0.1}};
        near.markers.push_back(marker);
        marker.alleles = {{"1", 0.1}, {"2", 0.1}, {"3", 0.8}};
        if (m != 2) far.markers.push_back(marker);
    }
    core.populations = {near, far};
    core.activePopulation = 1;
    core.selectMainHypothesis(23);
    core.alternativeHypotheses = {2};
    core.addAlternativePedigree(5);
    core.persons = {Person("Father", true), Person("Child", true)};
    core.persons[0].dna = {testing::typedObservation("M1", "1", "1"),
                           testing::typedObservation("M2", "3", "3"),
                           testing::typedObservation("M3", "1", "2")};
    SilentUserInterface ui;
    const std::string path = folder.file("populations.sav");
    EXPECT_TRUE(saveProject(core, path, ui));
    return path;
}

TEST(CliClosestPopulation, ranksThePopulationsOfTheCasePersonsWithDna) {
    testing::TempFolder folder;
    const std::string casePath = populationCase(folder);
    const CliResult run = runCli({"closest-population", casePath, "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json document = nlohmann::json::parse(run.out);
    ASSERT_EQ(document.at("profiles").size(), 1u);  // the untyped child is passed over
    const nlohmann::json& profile = document["profiles"][0];
    EXPECT_EQ(profile.at("name"), "Father");
    EXPECT_EQ(profile.at("markers"), 3);
    const nlohmann::json& populations = profile.at("populations");
    ASSERT_EQ(populations.size(), 2u);
    EXPECT_EQ(populations[0].at("population"), "Near");
    // M2 is left out: Far lacks it.
    EXPECT_NEAR(populations[0].at("logLikelihood").get<double>(), std::log(0.64 * 2 * 0.08), 1e-9);
    EXPECT_NEAR(populations[1].at("logLikelihood").get<double>(), std::log(0.01 * 0.02), 1e-9);
    EXPECT_NEAR(
        populations[0].at("posterior").get<double>() + populations[1].at("posterior").get<double>(),
        1.0, 1e-12);
    EXPECT_EQ(document.at("importWarnings"), nlohmann::json::array());

    const CliResult text = runCli({"closest-population", casePath});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("Profile: Father (3 markers, 2 used)\n"
                            "Population\tlog likelihood\tPosterior\nNear\t"),
              std::string::npos)
        << text.out;
    EXPECT_NE(runCli({"--help"}).out.find("  closest-population CASE"), std::string::npos);
}

TEST(CliClosestPopulation, profilesFromAFileAndASeededStructureFile) {
    testing::TempFolder folder;
    const std::string casePath = populationCase(folder);
    const std::string profiles = folder.file("profiles.csv");
    std::ofstream(profiles) << "Sample,M1_1,M1_2,M3_1,M3_2\r\nS1,3,3,3,3\r\nS2,1,1,1,1\r\n";
    const std::string first = folder.file("first.txt");
    const std::string second = folder.file("second.txt");
    const CliResult run = runCli({"closest-population", casePath, "--profiles", profiles,
                                  "--structure", first, "--seed", "17", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("seed 17"), std::string::npos) << run.err;
    const nlohmann::json document = nlohmann::json::parse(run.out);
    ASSERT_EQ(document.at("profiles").size(), 2u);
    EXPECT_EQ(document["profiles"][0]["populations"][0]["population"], "Far");
    EXPECT_EQ(document["profiles"][1]["populations"][0]["population"], "Near");

    ASSERT_EQ(runCli({"closest-population", casePath, "--profiles", profiles, "--structure", second,
                      "--seed", "17"})
                  .status,
              0);
    auto content = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    };
    const std::string file = content(first);
    EXPECT_EQ(file, content(second));
    EXPECT_EQ(file.rfind("M1 M2 M3 \r\n-1 10 10 \r\nIndividual1 1 1 ", 0), 0u) << file;
    EXPECT_NE(file.find("\r\nS2 0 0 1 1 -9 -9 1 1 \r\n"), std::string::npos);
}

// The Kovarian reader tells what it skips in a message: the JSON output keeps it,
// without a line.
TEST(CliClosestPopulation, aMarkerTheKovarianReaderSkipsIsAnImportWarning) {
    testing::TempFolder folder;
    testing::KovCase kov = testing::duoCase();
    kov.systems.push_back({"NOSUCHLOCUS", {{"1", 0.5}, {"2", 0.5}}});
    const std::string casePath = folder.write("case.kov", testing::kovarianCaseText(kov));
    const std::string profiles = folder.file("profiles.csv");
    std::ofstream(profiles) << "Sample,D1S1656_1,D1S1656_2\r\nS1,12,13\r\n";
    const CliResult run =
        runCli({"closest-population", casePath, "--profiles", profiles, "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json warnings = nlohmann::json::parse(run.out).at("importWarnings");
    const nlohmann::json skipped = {
        {"line", nullptr},
        {"text", "Genetic position not found for NOSUCHLOCUS, skipping this marker."}};
    EXPECT_NE(std::find(warnings.begin(), warnings.end(), skipped), warnings.end()) << warnings;
}

TEST(CliClosestPopulation, refusals) {
    testing::TempFolder folder;
    const std::string casePath = populationCase(folder);
    EXPECT_EQ(runCli({"closest-population"}).status, 2);
    EXPECT_EQ(runCli({"closest-population", casePath, "--seed", "3"}).status, 2);
    EXPECT_EQ(runCli({"closest-population", casePath, "--pgm-single"}).status, 2);
    EXPECT_EQ(runCli({"closest-population", casePath, "--structure", "x", "--seed", "0"}).status,
              2);
    const std::string unwritable = folder.file("missing/structure.txt");
    const CliResult blocked = runCli({"closest-population", casePath, "--structure", unwritable});
    EXPECT_EQ(blocked.status, 1);
    EXPECT_NE(blocked.err.find("cannot write"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(unwritable));
    const CliResult ped = runCli({"closest-population", casePath, "--profiles", "x.ped"});
    EXPECT_EQ(ped.status, 1);
    EXPECT_NE(ped.err.find(".ped"), std::string::npos);
}

}  // namespace
}  // namespace relatix
