#include "simulation/simulation_run.h"

#include <cmath>
#include <filesystem>

#include "core/core.h"
#include "core/decimal_text.h"
#include "engine/catalogue_likelihoods.h"
#include "linkage/core_update.h"
#include "linkage/engine_runs.h"
#include "linkage/linkage_data_files.h"
#include "linkage/linkage_frequencies.h"
#include "linkage/linkage_markers.h"
#include "linkage/linkage_ped_file.h"
#include "platform/clock.h"
#include "platform/trace_file.h"
#include "platform/user_interface.h"
#include "platform/work_folder.h"
#include "simulation/genotype_simulation.h"
#include "simulation/simulated_engine_results.h"

namespace relatix {

namespace {

// What a simulation changes on its way and must give back: the case's own
// per-marker results, skip flags, genotype table and cluster database.
struct CaseSnapshot {
    explicit CaseSnapshot(Core& c)
        : core(c),
          exactMarkerResults(c.exactMarkerResults),
          markerSkipped(c.markerSkipped),
          genotypeTable(c.genotypeTable),
          clusterDatabase(c.clusterDatabase),
          exactResults(c.exactResults) {}
    ~CaseSnapshot() {
        core.exactMarkerResults = std::move(exactMarkerResults);
        core.markerSkipped = std::move(markerSkipped);
        core.genotypeTable = std::move(genotypeTable);
        core.clusterDatabase = std::move(clusterDatabase);
        core.exactResults = std::move(exactResults);
        core.workFolder.clear();
    }
    CaseSnapshot(const CaseSnapshot&) = delete;
    CaseSnapshot& operator=(const CaseSnapshot&) = delete;

    Core& core;
    std::vector<std::vector<double>> exactMarkerResults;
    std::vector<bool> markerSkipped;
    GenotypeTable genotypeTable;
    ClusterDatabase clusterDatabase;
    LogLikelihoods exactResults;
};

// Simulates in a work folder of its own and leaves the case as it was, but for
// the simulated likelihoods. False when no work folder could be made.
bool simulateInWorkFolder(Core& core, UserInterface& ui, int n, std::uint32_t seed,
                          const std::string& rawDataPath) {
    const WorkFolder folder(core.programDirectory);
    if (!folder.ok()) {
        ui.error(folder.error());
        return false;
    }
    const CaseSnapshot snapshot(core);
    // A cancelled run leaves the simulated likelihoods of the run before it.
    auto exact = core.simulatedExactLikelihoods;
    auto linked = core.simulatedLinkedLikelihoods;
    auto unlinked = core.simulatedUnlinkedLikelihoods;
    core.workFolder = folder.path();
    core.simulatedExactLikelihoods.clear();
    SimulationRun run(core);
    if (!performSimulations(run, ui, n, seed)) {
        core.simulatedExactLikelihoods = std::move(exact);
        core.simulatedLinkedLikelihoods = std::move(linked);
        core.simulatedUnlinkedLikelihoods = std::move(unlinked);
        return false;
    }
    core.simulatedPedigreeNames.clear();  // the lists are the case's hypotheses again
    readSimulatedEngineResults(core, n, rawDataPath);
    return true;
}

}  // namespace

long long typedInteger(const std::string& text) {
    const double value = readDecimal(text);
    if (!std::isfinite(value)) return 0;
    if (value >= 9.0e18) return 9000000000000000000LL;
    if (value <= -9.0e18) return -9000000000000000000LL;
    return static_cast<long long>(value);
}

std::string simulationInputError(const std::string& numberText, bool randomSeed,
                                 const std::string& seedText) {
    const long long n = typedInteger(numberText);
    if (n == 0) return kNoSimulationsMessage;
    if (n < kMinimumSimulations || n > kMaximumSimulations) return kSimulationRangeMessage;
    if (!randomSeed && typedInteger(seedText) == 0) return kNoSeedMessage;
    return {};
}

std::uint32_t simulationSeed(bool randomSeed, const std::string& seedText) {
    if (!randomSeed) return static_cast<std::uint32_t>(typedInteger(seedText));
    RandomGenerator random(static_cast<std::uint32_t>(clock().now()));
    return static_cast<std::uint32_t>(random.next() % 100000 + 1);
}

bool writeSimulationDataFiles(Core& core) {
    // The frequency file lumps the alleles of a large marker beyond the last one
    // the case's persons carry. Drawn data may carry any allele, and one without a
    // number in the file would make the engine drop the marker; so the table the
    // files are written from shows the last allele of every such marker.
    GenotypeTable kept = core.genotypeTable;
    GenotypeTable& table = core.genotypeTable;
    const auto& clusters = core.clusterDatabase.clusters;
    if (table.personCount >= 1) {
        for (size_t c = 0; c < clusters.size(); ++c)
            for (size_t s = 0; s < clusters[c].systems.size(); ++s) {
                const auto& names = clusters[c].systems[s].alleleNames;
                if (names.empty() || names.size() + 1 < kLumpingThreshold) continue;
                table.setAlleleText(static_cast<int>(c) + 1, static_cast<int>(s) + 1, 1, 2,
                                    names.back());
            }
    }
    const bool written = writeLinkageDataFiles(core, std::vector<bool>(clusters.size(), false));
    core.genotypeTable = std::move(kept);
    return written;
}

bool performSimulations(SimulationRun& run, UserInterface& ui, int n, std::uint32_t seed) {
    Core& core = run.core;
    run.random.seed(seed);
    updateCore(core);
    TraceFile trace("performSimulations");
    run.trace = trace.enabled() ? &trace : nullptr;
    trace << "Seed: " << seed << "\r\n";
    prepareSimulationTables(run, ui);
    clearSimulatedGenotypes(run);

    ui.progressOpen("Simulating data", 1, n, "Initiating...");
    const std::vector<bool> skip(core.clusterDatabase.clusters.size(), false);
    bool filesWritten = writeSimulationDataFiles(core);
    {  // the families are appended below
        std::error_code ec;
        std::filesystem::remove(workFilePath(core, "temp.ped"), ec);
    }

    const int k = static_cast<int>(run.hypothesisCodes.size());
    if (k == 0 || k != core.hypothesisCount()) {
        ui.messageBox(kSimulationErrorMessage, kApplicationTitle);
    } else {
        trace << "\r\nStarting simulations...\r\n";
        for (int s = 0; s < n; ++s) {
            // Cancel stops after the data set in progress; nothing of the run is kept.
            if (ui.progressCancelled()) {
                ui.progressClose();
                run.trace = nullptr;
                return false;
            }
            ui.progressStep();
            ui.progressSetText("Data set " + std::to_string(s + 1) + " of " + std::to_string(n));
            trace << "Simulation " << s << "\r\n";
            for (int t = 0; t < k; ++t) {
                drawDataSet(run, t, ui);
                trace << "Done transforming..now doing calculations (first write ped files)\r\n";
                filesWritten =
                    writeLinkagePedFile(core, skip, PedFileLayout::simulationRun(s, t, k)) &&
                    filesWritten;
                trace << "Ped file has been written...\r\nComputing likelihoods...\r\n";
                core.markerSkipped = skip;
                ExactLikelihoods exact = computeExactLikelihoods(core, skip, nullptr);
                core.simulatedExactLikelihoods.push_back(std::move(exact.values));
                core.exactMarkerResults = std::move(exact.markerResults);
                trace << "Done\r\n";
                clearSimulatedGenotypes(run);
            }
        }
        if (!filesWritten) {
            // The engine must not run on files cut short (a full disk): the
            // linked values of the run are not available.
            ui.error("The files for the linkage program could not be written in " +
                     workFolderOf(core));
        } else {
            ui.progressSetText("Running the linkage program on the " + std::to_string(n * k) +
                               " simulated families");
            const EngineRunOutcome engines = runSimulationEngines(
                core.programDirectory, workFolderOf(core), [&ui] { ui.processEvents(); },
                [&ui] { return ui.progressCancelled(); });
            // Cancel while the engine runs stops the run as Cancel between data sets does.
            if (engines.stopped) {
                ui.progressClose();
                run.trace = nullptr;
                return false;
            }
            if (!engines.succeeded()) ui.error(engines.message());
        }
    }
    ui.progressClose();
    run.trace = nullptr;
    return true;
}

bool runSimulation(Core& core, UserInterface& ui, int n, std::uint32_t seed,
                   const std::string& rawDataPath) {
    return simulateInWorkFolder(core, ui, n, seed, rawDataPath);
}

bool runSimulation(Core& core, UserInterface& ui, int n, bool randomSeed,
                   const std::string& seedText, bool saveRawData) {
    const std::uint32_t seed = simulationSeed(randomSeed, seedText);
    std::string rawDataPath;
    if (saveRawData) {
        FileDialogRequest request;
        request.filter = kRawDataFilter;
        request.defaultExtension = "txt";
        const auto path = ui.saveFileDialog(request);
        if (!path) return false;
        rawDataPath = *path;
    }
    return simulateInWorkFolder(core, ui, n, seed, rawDataPath);
}

}  // namespace relatix
