#include "simulation_case.h"

#include "core/catalogue.h"

namespace relatix::testing {

namespace fs = std::filesystem;

Core simulationCase(const std::string& programDirectory, int mainCode,
                    const std::vector<int>& alternativeCodes, const SimulationMarkers& markers) {
    Core core(programDirectory);
    Population population;
    for (int m = 0; m < markers.count; ++m) {
        const std::string name = "M" + std::to_string(m + 1);
        const int chromosome = markers.chromosome ? markers.chromosome : m + 1;
        core.markerMap.markers.emplace_back(name, chromosome, 5.0 + markers.spacing * m);
        Marker marker(name, 1, 0);
        for (size_t a = 0; a < markers.frequencies.size(); ++a)
            marker.alleles.push_back({std::to_string(10 + a), markers.frequencies[a]});
        population.markers.push_back(marker);
    }
    core.populations = {population};
    core.activePopulation = 1;
    core.selectMainHypothesis(mainCode - 1);
    const std::vector<int> offered = catalogueAlternatives(mainCode);
    for (int code : alternativeCodes)
        for (size_t p = 0; p < offered.size(); ++p)
            if (offered[p] == code) {
                core.alternativeHypotheses.push_back(static_cast<int>(p));
                core.addAlternativePedigree(code);
            }
    const int typed = catalogueSize(mainCode);
    for (int i = 0; i < typed; ++i) core.persons.emplace_back("P" + std::to_string(i + 1), true);
    core.genotypeTable.sexCodes.assign(static_cast<size_t>(typed), 1);
    core.pedigreeSettings.threshold.assign(26, 0.0);
    core.pedigreeSettings.steps.assign(26, 1000);
    return core;
}

SimulationProgramFolder::SimulationProgramFolder() {
    fs::create_directories(fs::path(path) / "temp");
    const fs::path engine = fs::path(RELATIX_PROGRAM_FOLDER) / "merlinEngine";
    if (fs::exists(engine)) fs::create_symlink(engine, fs::path(path) / "merlinEngine");
}

bool SimulationProgramFolder::hasEngine() const {
    return fs::exists(fs::path(path) / "merlinEngine");
}

std::string SimulationProgramFolder::temp(const std::string& name) const {
    return readFile((fs::path(path) / "temp" / name).string());
}

}  // namespace relatix::testing
