// Small catalogue cases for the simulation tests, built through the marker map
// and a population so that the run prepares them the way it prepares a real case;
// and a program folder of their own with the built engine linked into it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/core.h"
#include "support/temp_folder.h"

namespace relatix::testing {

struct SimulationMarkers {
    int count = 5;
    std::vector<double> frequencies = {0.2, 0.3, 0.5};
    double spacing = 10.0;  // cM between consecutive markers
    int chromosome = 1;     // 0: every marker on a chromosome of its own
};

// Main code and alternative codes (each must be offered for the main code).
Core simulationCase(const std::string& programDirectory, int mainCode,
                    const std::vector<int>& alternativeCodes, const SimulationMarkers& markers);

// The simulation makes the program folder the current directory; the test's own
// comes back when the folder goes.
struct SimulationProgramFolder {
    ScopedCurrentDirectory keep{std::filesystem::current_path()};
    TempFolder folder{"sim"};
    std::string path = (folder.path() / "prog").string();
    SimulationProgramFolder();
    bool hasEngine() const;
    std::string temp(const std::string& name) const;
};

}  // namespace relatix::testing
