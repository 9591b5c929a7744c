// Simulation runs of 1000 simulations, exact engine and both linkage-engine runs
// included: a paternity duo against unrelated at 20 markers, and the bundled
// example (half siblings against uncle, grandparent and unrelated at 31 markers).
// The whole run on one thread and on two (the argument); besides it, on one
// thread, the counters give the seconds spent in each phase of a run done step by
// step: drawing, writing temp.ped, the exact engine, the two engine runs and the
// reading of their results.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>

#include "core/catalogue.h"
#include "core/core.h"
#include "engine/catalogue_likelihoods.h"
#include "linkage/core_update.h"
#include "linkage/engine_runs.h"
#include "linkage/linkage_ped_file.h"
#include "persistence/open_project.h"
#include "platform/program_folder.h"
#include "platform/silent_user_interface.h"
#include "simulation/genotype_simulation.h"
#include "simulation/simulated_engine_results.h"
#include "simulation/simulation_run.h"

namespace {

using namespace relatix;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kSimulations = 1000;

// A program folder of its own, beside the benchmarks, with the built engine.
std::string benchmarkProgramFolder() {
    const fs::path folder = fs::temp_directory_path() / "relatix_simulation_benchmark";
    fs::create_directories(folder / "temp");
    const fs::path engine = fs::path(programFolder()).parent_path() / "bin" / kEngineName;
    std::error_code ec;
    if (!fs::exists(folder / kEngineName)) fs::create_symlink(engine, folder / kEngineName, ec);
    return folder.string();
}

Core duoCase(const std::string& program) {
    Core core(program);
    Population population;
    const double frequencies[] = {0.05, 0.1, 0.15, 0.2, 0.2, 0.15, 0.1, 0.05};
    for (int m = 0; m < 20; ++m) {
        std::string name = "M";
        name += std::to_string(m + 1);
        core.markerMap.markers.emplace_back(name, 1 + m / 5, 10.0 + 15.0 * (m % 5));
        Marker marker(name, 1, 0);
        for (int a = 0; a < 8; ++a)
            marker.alleles.push_back({std::to_string(10 + a), frequencies[a]});
        population.markers.push_back(marker);
    }
    core.populations = {population};
    core.activePopulation = 1;
    core.selectMainHypothesis(23);     // paternity (duo)
    core.alternativeHypotheses = {2};  // unrelated
    core.addAlternativePedigree(5);
    core.persons = {Person("F", true), Person("C", true)};
    core.genotypeTable.sexCodes = {1, 1};
    return core;
}

Core exampleCase(const std::string& program) {
    Core core(program);
    SilentUserInterface ui;
    const fs::path example =
        fs::path(programFolder()).parent_path() / "bin" / "examples" / "half_siblings_linked.sav";
    openProject(core, example.string(), ui);
    core.programDirectory = program;
    return core;
}

double seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

// The run of performSimulations and readSimulatedEngineResults, timed by phase.
void timedRun(Core& core, benchmark::State& state) {
    SilentUserInterface ui;
    const fs::path before = fs::current_path();
    removeTempFiles(core.programDirectory);
    core.simulatedExactLikelihoods.clear();
    SimulationRun run(core);
    run.random.seed(17);
    updateCore(core);
    prepareSimulationTables(run, ui);
    if (!writeSimulationDataFiles(core)) {
        state.SkipWithError("the LINKAGE files could not be written");
        return;
    }
    const int k = core.hypothesisCount();
    const std::vector<bool> skip(core.clusterDatabase.clusters.size(), false);
    double draw = 0, ped = 0, exact = 0;
    for (int s = 0; s < kSimulations; ++s)
        for (int t = 0; t < k; ++t) {
            auto start = Clock::now();
            drawDataSet(run, t, ui);
            draw += seconds(start);
            start = Clock::now();
            writeLinkagePedFile(core, skip, PedFileLayout::simulationRun(s, t, k));
            ped += seconds(start);
            start = Clock::now();
            benchmark::DoNotOptimize(computeExactLikelihoods(core, skip, nullptr));
            exact += seconds(start);
            clearSimulatedGenotypes(run);
        }
    auto start = Clock::now();
    runSimulationEngines(core.programDirectory);
    const double engine = seconds(start);
    start = Clock::now();
    readSimulatedEngineResults(core, kSimulations, "");
    const double reading = seconds(start);
    fs::current_path(before);
    state.counters["draw_s"] = draw;
    state.counters["ped_s"] = ped;
    state.counters["exact_s"] = exact;
    state.counters["engine_s"] = engine;
    state.counters["read_s"] = reading;
}

void wholeRun(Core& core, benchmark::State& state) {
    SilentUserInterface ui;
    const int threads = static_cast<int>(state.range(0));
    const fs::path before = fs::current_path();
    for (auto _ : state) runSimulation(core, ui, kSimulations, 17u, "", threads);
    fs::current_path(before);
    if (threads == 1) timedRun(core, state);
}

void BM_DuoAgainstUnrelated20Markers(benchmark::State& state) {
    Core core = duoCase(benchmarkProgramFolder());
    wholeRun(core, state);
}

void BM_BundledExample(benchmark::State& state) {
    Core core = exampleCase(benchmarkProgramFolder());
    wholeRun(core, state);
}

BENCHMARK(BM_DuoAgainstUnrelated20Markers)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK(BM_BundledExample)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

}  // namespace
