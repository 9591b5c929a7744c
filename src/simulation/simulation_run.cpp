#include "simulation/simulation_run.h"

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <exception>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

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

// Computes the exact likelihoods of drawn data sets on worker threads, each with
// its own copy of the case (the engine only reads it), and hands the results back
// in the order the data sets were added.
class ExactEngineWorkers {
public:
    ExactEngineWorkers(const Core& core, const std::vector<bool>& skip, int threads) : skip_(skip) {
        for (int w = 0; w < threads; ++w) {
            cases_.push_back(std::make_unique<Core>(core));
            cases_.back()->markerSkipped = skip;
        }
        for (int w = 0; w < threads; ++w)
            threads_.emplace_back([this, w] { work(*cases_[static_cast<size_t>(w)]); });
    }
    ~ExactEngineWorkers() { stop(); }
    ExactEngineWorkers(const ExactEngineWorkers&) = delete;
    ExactEngineWorkers& operator=(const ExactEngineWorkers&) = delete;

    // Queues a data set: the genotype table as drawn.
    void add(GenotypeTable table) {
        std::lock_guard<std::mutex> lock(mutex_);
        pending_.emplace_back(added_++, std::move(table));
        workReady_.notify_one();
    }

    // Data sets added and not yet handed back.
    size_t inFlight() {
        std::lock_guard<std::mutex> lock(mutex_);
        return added_ - handedBack_;
    }

    // The result of the next data set in order, when it is done within the wait.
    // A failure of the engine on a worker (out of memory) is raised here.
    std::optional<ExactLikelihoods> next(std::chrono::milliseconds wait) {
        std::unique_lock<std::mutex> lock(mutex_);
        resultReady_.wait_for(lock, wait,
                              [this] { return failure_ || done_.count(handedBack_) != 0; });
        if (failure_) std::rethrow_exception(failure_);
        const auto found = done_.find(handedBack_);
        if (found == done_.end()) return std::nullopt;
        ExactLikelihoods result = std::move(found->second);
        done_.erase(found);
        ++handedBack_;
        return result;
    }

    // Drops the data sets not yet started and waits for those in progress.
    void stop() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
            pending_.clear();
            workReady_.notify_all();
        }
        for (std::thread& thread : threads_)
            if (thread.joinable()) thread.join();
    }

private:
    void work(Core& own) {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            workReady_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
            if (stopping_) return;
            auto [index, table] = std::move(pending_.front());
            pending_.pop_front();
            lock.unlock();
            std::optional<ExactLikelihoods> result;
            std::exception_ptr failure;
            try {
                own.genotypeTable = std::move(table);
                result = computeExactLikelihoods(own, skip_, nullptr);
            } catch (...) {
                failure = std::current_exception();
            }
            lock.lock();
            if (failure) {
                if (!failure_) failure_ = failure;
            } else {
                done_.emplace(index, std::move(*result));
            }
            resultReady_.notify_all();
        }
    }

    const std::vector<bool> skip_;
    std::vector<std::unique_ptr<Core>> cases_;
    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable workReady_;
    std::condition_variable resultReady_;
    std::deque<std::pair<size_t, GenotypeTable>> pending_;
    std::map<size_t, ExactLikelihoods> done_;
    std::exception_ptr failure_;
    size_t added_ = 0;
    size_t handedBack_ = 0;
    bool stopping_ = false;
};

// Simulates in a work folder of its own and leaves the case as it was, but for
// the simulated likelihoods. False when no work folder could be made.
bool simulateInWorkFolder(Core& core, UserInterface& ui, int n, std::uint32_t seed,
                          const std::string& rawDataPath, int threads, Status* rawDataWritten) {
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
    if (!performSimulations(run, ui, n, seed, threads)) {
        core.simulatedExactLikelihoods = std::move(exact);
        core.simulatedLinkedLikelihoods = std::move(linked);
        core.simulatedUnlinkedLikelihoods = std::move(unlinked);
        return false;
    }
    core.simulatedPedigreeNames.clear();  // the lists are the case's hypotheses again
    Status rawData;
    readSimulatedEngineResults(core, n, rawDataPath, &rawData);
    if (!rawData) ui.error(rawData.message());
    if (rawDataWritten) *rawDataWritten = rawData;
    return true;
}

}  // namespace

int simulationThreads(int requested) {
    if (requested > 0) return requested;
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

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

bool performSimulations(SimulationRun& run, UserInterface& ui, int n, std::uint32_t seed,
                        int threads) {
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
    auto cancelled = [&] {
        ui.progressClose();
        run.trace = nullptr;
        return false;
    };

    const int k = static_cast<int>(run.hypothesisCodes.size());
    if (k == 0 || k != core.hypothesisCount()) {
        ui.messageBox(kSimulationErrorMessage, kApplicationTitle);
    } else {
        trace << "\r\nStarting simulations...\r\n";
        core.markerSkipped = skip;
        auto store = [&core](ExactLikelihoods exact) {
            core.simulatedExactLikelihoods.push_back(std::move(exact.values));
            core.exactMarkerResults = std::move(exact.markerResults);
        };
        // With more than one thread the exact engine runs on workers, while this
        // thread draws ahead. The results are taken in order, so the draws run
        // ahead by two simulations per worker: one hypothesis may cost far more
        // than the others, and its data sets of consecutive simulations must be
        // in flight together to keep every worker busy.
        const int workers = simulationThreads(threads);
        std::optional<ExactEngineWorkers> pool;
        if (workers > 1) pool.emplace(core, skip, workers);
        const size_t window = 2 * static_cast<size_t>(workers) * (static_cast<size_t>(k) + 1);
        // Collects what is done, waiting while more than `limit` data sets are in
        // flight; false when the user cancelled meanwhile.
        auto collect = [&](size_t limit) {
            while (pool->inFlight() > limit) {
                if (auto exact = pool->next(std::chrono::milliseconds(20))) {
                    store(std::move(*exact));
                    continue;
                }
                ui.processEvents();
                if (ui.progressCancelled()) return false;
            }
            return true;
        };
        for (int s = 0; s < n; ++s) {
            // Cancel stops after the data sets in progress; nothing of the run is kept.
            if (ui.progressCancelled()) return cancelled();
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
                if (pool) {
                    pool->add(core.genotypeTable);
                    if (!collect(window - 1)) return cancelled();
                } else {
                    store(computeExactLikelihoods(core, skip, nullptr));
                }
                trace << "Done\r\n";
                clearSimulatedGenotypes(run);
            }
        }
        if (pool) {
            if (!collect(0)) return cancelled();
            pool.reset();
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
            if (engines.stopped) return cancelled();
            if (!engines.succeeded()) ui.error(engines.message());
        }
    }
    ui.progressClose();
    run.trace = nullptr;
    return true;
}

bool runSimulation(Core& core, UserInterface& ui, int n, std::uint32_t seed,
                   const std::string& rawDataPath, int threads, Status* rawData) {
    return simulateInWorkFolder(core, ui, n, seed, rawDataPath, threads, rawData);
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
    return simulateInWorkFolder(core, ui, n, seed, rawDataPath, 0, nullptr);
}

}  // namespace relatix
