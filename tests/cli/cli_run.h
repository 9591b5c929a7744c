// Runs relatix2-cli in the test's own process, as its main() would, and keeps
// what it printed.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "commands.h"
#include "core/core.h"
#include "persistence/project_file.h"
#include "platform/silent_user_interface.h"
#include "support/temp_folder.h"

namespace relatix::testing {

struct CliResult {
    int status;
    std::string out;
    std::string err;
};

inline CliResult runCli(std::vector<std::string> args) {
    args.insert(args.begin(), "relatix2-cli");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::ostringstream out, err;
    const int status = cli::run(static_cast<int>(args.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

// A paternity duo against unrelated at four markers, both typed, saved as a
// project file: quick to simulate.
inline std::string duoCaseFile(const TempFolder& folder) {
    Core core;
    Population population;
    for (int m = 0; m < 4; ++m) {
        std::string name = "M";
        name += std::to_string(m + 1);
        core.markerMap.markers.emplace_back(name, 1, 10.0 * (m + 1));
        Marker marker(name, 1, 0);
        marker.alleles = {{"10", 0.2}, {"11", 0.3}, {"12", 0.5}};
        population.markers.push_back(marker);
    }
    core.populations = {population};
    core.activePopulation = 1;
    core.selectMainHypothesis(23);
    core.alternativeHypotheses = {2};
    core.addAlternativePedigree(5);
    core.persons = {Person("Father", true), Person("Child", true)};
    for (const Marker& marker : population.markers) {
        core.persons[0].dna.push_back({0, marker.name, 0, "10", "11"});
        core.persons[1].dna.push_back({0, marker.name, 0, "10", "12"});
    }
    SilentUserInterface ui;
    const std::string path = folder.file("duo.sav");
    saveProject(core, path, ui);
    return path;
}

}  // namespace relatix::testing
