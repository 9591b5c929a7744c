#include "engine.h"

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <exception>
#include <fstream>
#include <memory>
#include <mutex>
#include <new>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <utility>

#include "likelihood.h"
#include "marker_set.h"
#include "options.h"
#include "pedigree.h"
#include "pedigree_file.h"
#include "simulation.h"
#include "warnings.h"

namespace merlin {

namespace {

// Families are handed to the workers in batches of about this much work
// (persons times markers), and at most kWindow batches are in flight, so memory
// stays bounded while the output keeps the order of the file.
constexpr size_t kBatchWork = 4000;
constexpr size_t kWindow = 16;

// The results are read by programs that stop at the word ERROR; names taken from
// the input files must not bring it in.
std::string clean(std::string text) {
    for (size_t at = text.find("ERROR"); at != std::string::npos; at = text.find("ERROR", at))
        text.replace(at, 5, "Error");
    return text;
}

// Counts are written in the one form the results format has ("1 markers" too).
std::string counted(int n, const char* word) {
    return std::to_string(n) + " " + word;
}

struct Batch {
    std::vector<FamilyRecord> families;
    std::string text;
    double sum = 0.0;
    bool done = false;
};

// Raised on the reading thread when a worker has failed; the worker's own
// exception is what the run then reports.
struct WorkerFailed {};

struct RunContext {
    const Options& options;
    const MarkerSet& set;
    const FamilyLayout& layout;
    const Chromosome& chromosome;
    Warnings* warnings;  // only on the first pass, so that each warning shows once
};

void processBatch(const RunContext& run, Batch& batch, FamilyAnalyser& analyser) {
    for (FamilyRecord& record : batch.families) {
        FamilyLikelihood result;
        try {
            const Pedigree pedigree = buildPedigree(record, run.warnings);
            if (run.options.simulate) simulateFamily(pedigree, record, run.set, run.options.seed);
            result =
                analyser.analyse(pedigree, record, run.set, run.chromosome, run.options.maxBits);
        } catch (const std::bad_alloc&) {
            analyser = FamilyAnalyser();  // gives its buffers back
            result = FamilyLikelihood();
            result.skipped = true;
            result.persons = static_cast<int>(record.persons.size());
            result.reason = "not enough memory";
        } catch (const std::system_error&) {
            result = FamilyLikelihood();
            result.skipped = true;
            result.persons = static_cast<int>(record.persons.size());
            result.reason = "no thread could be started for it";
        }
        const std::string id = clean(record.id);
        if (run.options.perFamily) {
            batch.text += "Family " + id + " [" + counted(result.persons, "persons") + ", " +
                          counted(result.meioses, "meioses") + "]\n";
            if (result.skipped)
                batch.text += "  family not analysed\nSkipping family " + id + ": " +
                              clean(result.reason) + "\nlnLikelihood = 0\n";
            else
                batch.text += "lnLikelihood = " + formatLogLikelihood(result.lnLikelihood) + "\n";
        } else if (result.skipped) {
            batch.text += "Skipping family " + id + ": " + clean(result.reason) + "\n";
        } else {
            batch.sum += result.lnLikelihood;
        }
        record = FamilyRecord();
    }
}

// Streams the families of the pedigree file through the workers and writes their
// results in file order.
void analyseChromosome(const RunContext& run, std::ostream& out, int threads) {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::unique_ptr<Batch>> window;
    size_t nextToTake = 0;  // index into window of the next batch for a worker
    bool finished = false;
    double total = 0.0;
    // The first fault of a worker (memory for the output text, say); the reading
    // thread stops and raises it once every worker has ended.
    std::exception_ptr failure;

    auto worker = [&]() {
        std::unique_lock<std::mutex> lock(mutex);
        try {
            FamilyAnalyser analyser;
            for (;;) {
                changed.wait(lock, [&] { return finished || nextToTake < window.size(); });
                if (finished && failure) return;
                if (nextToTake >= window.size()) return;
                Batch* batch = window[nextToTake++].get();
                lock.unlock();
                processBatch(run, *batch, analyser);
                lock.lock();
                batch->done = true;
                changed.notify_all();
            }
        } catch (...) {
            if (!lock.owns_lock()) lock.lock();
            if (!failure) failure = std::current_exception();
            finished = true;
            changed.notify_all();
        }
    };
    auto flushDone = [&](std::unique_lock<std::mutex>& lock, size_t keep) {
        // Writes finished batches from the front; waits while more than keep are in flight.
        for (;;) {
            if (failure) throw WorkerFailed();
            while (!window.empty() && window.front()->done) {
                std::unique_ptr<Batch> batch = std::move(window.front());
                window.pop_front();
                --nextToTake;
                lock.unlock();
                out << batch->text;
                total += batch->sum;
                lock.lock();
            }
            if (window.size() <= keep) return;
            changed.wait(lock);
        }
    };

    std::vector<std::thread> pool;
    PedigreeReader reader(
        run.set, run.options.simulate ? GenotypeReading::TypedOnly : GenotypeReading::Labels,
        &run.layout);
    reader.open(run.options.pedigreeFile);
    auto batch = std::make_unique<Batch>();
    size_t work = 0;
    FamilyRecord record;
    const size_t markers = run.chromosome.markers.size() + 1;
    auto submit = [&]() {
        std::unique_lock<std::mutex> lock(mutex);
        window.push_back(std::move(batch));
        changed.notify_all();
        flushDone(lock, kWindow);
        batch = std::make_unique<Batch>();
        work = 0;
    };
    try {
        for (int t = 0; t < threads; ++t) pool.emplace_back(worker);
        while (reader.next(record)) {
            work += record.persons.size() * markers;
            batch->families.push_back(std::move(record));
            record = FamilyRecord();
            if (work >= kBatchWork) submit();
        }
        if (!batch->families.empty()) submit();
        std::unique_lock<std::mutex> lock(mutex);
        finished = true;
        changed.notify_all();
        flushDone(lock, 0);
    } catch (...) {  // out of memory here or on a worker: stop the workers before giving up
        {
            std::lock_guard<std::mutex> lock(mutex);
            finished = true;
            window.erase(window.begin() + static_cast<std::ptrdiff_t>(nextToTake), window.end());
            changed.notify_all();
        }
        for (auto& thread : pool) thread.join();
        if (failure) std::rethrow_exception(failure);
        throw;
    }
    for (auto& thread : pool) thread.join();
    if (!run.options.perFamily) out << "lnLikelihood = " << formatLogLikelihood(total) << "\n";
}

// The replicate holds each family's lines together, families in the order of the results.
bool writeReplicate(const Options& options, const MarkerSet& set, const FamilyLayout& layout,
                    std::ostream& err) {
    const std::string path = options.prefix + "-replicate.ped";
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) {
        err << "merlinEngine: cannot write '" << path << "'\n";
        return false;
    }
    PedigreeReader reader(set, GenotypeReading::TypedOnly, &layout);
    reader.open(options.pedigreeFile);
    FamilyRecord record;
    while (reader.next(record)) {
        const Pedigree pedigree = buildPedigree(record, nullptr);
        simulateFamily(pedigree, record, set, options.seed);
        writeReplicateLines(record, set, file);
    }
    file.flush();
    if (!file) {
        err << "merlinEngine: cannot write '" << path << "'\n";
        return false;
    }
    return true;
}

}  // namespace

std::string formatLogLikelihood(double value) {
    if (value == 0.0) return "0";
    char text[40];
    std::snprintf(text, sizeof text, "%.12g", value);
    return text;
}

namespace {

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, int threads) {
    Options options;
    std::string error;
    if (!parseOptions(args, options, error)) {
        err << "merlinEngine: " << error << "\n";
        return 1;
    }
    if (options.help) {
        out << usageText();
        return 0;
    }
    // Every file is looked at before any is read, so that a run refused for one of
    // them prints nothing else. The pedigree file is streamed and may be of any size.
    const std::pair<const std::string*, long long> inputs[] = {
        {&options.dataFile, kLargestInputSize},
        {&options.pedigreeFile, -1},
        {&options.mapFile, kLargestInputSize},
        {&options.frequencyFile, kLargestInputSize}};
    for (const auto& [path, limit] : inputs) {
        if (path->empty()) continue;  // no frequency file
        LineReader probe;
        std::string why;
        if (!probe.open(*path, &why, limit)) {
            err << "merlinEngine: " << describeRefusal(*path, why) << "\n";
            return 1;
        }
    }
    options.pedigreeFile = resolvePath(options.pedigreeFile);
    Warnings warnings(err, options.quiet);
    MarkerSet set;
    FamilyLayout layout;
    if (!readDataFile(options.dataFile, set, warnings, error) ||
        !readMapFile(options.mapFile, set, warnings, error) ||
        (!options.frequencyFile.empty() &&
         !readFrequencyFile(options.frequencyFile, set, warnings, error))) {
        err << "merlinEngine: " << error << "\n";
        return 1;
    }
    if (options.frequencyFile.empty()) countAllFrequencies(set);
    if (!scanPedigreeFile(options.pedigreeFile, set, options.simulate, warnings, layout, error)) {
        err << "merlinEngine: " << error << "\n";
        return 1;
    }
    set.finish(warnings);
    size_t analysed = 0, onX = 0;
    for (const Chromosome& chromosome : set.chromosomes) analysed += chromosome.markers.size();
    for (const Marker& marker : set.markers) onX += marker.onX && !marker.duplicate;
    if (analysed == 0) {  // a run without a single value is a fault, not an empty success
        err << "merlinEngine: " << whyNothingIsAnalysed(set) << "\n";
        return 1;
    }
    if (onX > 0)
        warnings.warnAlways("markers on the X chromosome are not analysed (" +
                            counted(static_cast<int>(onX), "left out") + ")");
    if (options.save) {
        if (!options.simulate)
            warnings.warn("save",
                          "--save writes simulated data only and is ignored without "
                          "--simulate");
        else if (!writeReplicate(options, set, layout, err))
            return 1;
    }
    if (!options.quiet) out << "merlinEngine 1.0 - multipoint likelihoods of linked markers\n";
    if (threads < 1) threads = 1;
    bool firstPass = true;
    for (const Chromosome& chromosome : set.chromosomes) {
        out << "Chromosome " << chromosome.number << " ("
            << counted(static_cast<int>(chromosome.markers.size()), "markers") << ")\n";
        const RunContext run{options, set, layout, chromosome, firstPass ? &warnings : nullptr};
        analyseChromosome(run, out, threads);
        firstPass = false;
    }
    out.flush();
    warnings.finish();
    return 0;
}

}  // namespace

int runEngine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              int threads) {
    try {
        return run(args, out, err, threads);
    } catch (const std::bad_alloc&) {
        out.flush();
        err << "merlinEngine: not enough memory\n";
        return 1;
    } catch (const std::length_error&) {  // a text or table beyond what can be allocated
        out.flush();
        err << "merlinEngine: not enough memory\n";
        return 1;
    } catch (const std::system_error& e) {  // no worker thread could be started
        out.flush();
        err << "merlinEngine: " << e.what() << "\n";
        return 1;
    }
}

}  // namespace merlin
