#include "linkage/engine_runs.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "linkage/linkage_markers.h"
#include "platform/process_runner.h"

namespace relatix {

namespace fs = std::filesystem;

namespace {

const char* const kData = "./temp/temp.dat";
const char* const kMap = "./temp/temp.map";
const char* const kUnlinkedMap = "./temp/temp2.map";
const char* const kFrequencies = "./temp/temp.freq";
const char* const kPedigree = "./temp/temp.ped";

EngineCommand likelihoodRun(const char* map, const char* results) {
    return {{"-d", kData, "-m", map, "-f", kFrequencies, "-p", kPedigree, "--perFamily", "--quiet",
             "--likelihood"},
            results};
}

}  // namespace

EngineCommand calculationUnlinkedRun() {
    return likelihoodRun(kUnlinkedMap, "./temp/tempResults.txt");
}
EngineCommand calculationLinkedRun() {
    return likelihoodRun(kMap, "./temp/tempResults2.txt");
}
EngineCommand simulationLinkedRun() {
    return likelihoodRun(kMap, "./temp/tempResults.txt");
}
EngineCommand simulationUnlinkedRun() {
    return likelihoodRun(kUnlinkedMap, "./temp/tempResults2.txt");
}

EngineCommand quickAnalysisRun() {
    return {{"-d", kData, "-f", kFrequencies, "-m", kMap, "-p", kPedigree, "--perFamily",
             "--likelihood", "--quiet"},
            "./temp/tempResults.txt"};
}

EngineCommand userFileSimulationRun(const std::string& dataFile, const std::string& mapFile,
                                    const std::string& frequencyFile,
                                    const std::string& pedigreeFile, long long seed) {
    return {{"-d", dataFile, "-m", mapFile, "-f", frequencyFile, "-p", pedigreeFile, "--likelihood",
             "--perFamily", "--simulate", "--quiet", "--save", "-r", std::to_string(seed),
             "--prefix", "./temp/merlin"},
            "./temp/tempResults3.txt"};
}

EngineCommand userFileLikelihoodRun(const std::string& dataFile, const std::string& mapFile,
                                    const std::string& frequencyFile,
                                    const std::string& resultsFile) {
    return {{"-d", dataFile, "-m", mapFile, "-f", frequencyFile, "-p", "./temp/temp2.ped",
             "--likelihood", "--perFamily", "--quiet"},
            resultsFile};
}

std::string enginePath(const std::string& programDirectory) {
    return (fs::path(programDirectory) / kEngineName).string();
}

int runEngine(const std::string& programDirectory, const EngineCommand& command,
              const std::string& workingDirectory) {
    const std::string directory = workingDirectory.empty() ? programDirectory : workingDirectory;
    ensureTempFolder(directory);
    // Absolute paths: the engine starts in the working directory, this process may not be there.
    auto absolute = [](const fs::path& path) {
        std::error_code ec;
        const fs::path full = fs::absolute(path, ec);
        return ec ? path : full;
    };
    fs::path results = command.resultsFile;
    if (results.is_relative()) results = absolute(fs::path(directory) / results);
    { std::ofstream empty(results, std::ios::binary | std::ios::trunc); }

    ProcessRequest request;
    request.executable = absolute(enginePath(programDirectory)).string();
    request.arguments = command.arguments;
    request.workingDirectory = directory.empty() ? std::string() : absolute(directory).string();
    request.stdoutPath = results.string();
    request.stderrPath = "/dev/null";
    return runProcess(request);
}

std::string EngineRunOutcome::message() const {
    if (stopped) return "The linkage program was stopped before it ended";
    if (!errorLine.empty()) return "The linkage program failed: " + errorLine;
    if (status < 0) return "The linkage program failed: it could not be started or was stopped";
    return "The linkage program failed: exit status " + std::to_string(status);
}

EngineRunOutcome runEngineInFolder(const std::string& programDirectory,
                                   const EngineCommand& command, const std::string& workFolder,
                                   const std::function<void()>& whileWaiting,
                                   const std::function<bool()>& stopRequested) {
    const std::string prefix = "./temp/";
    auto inFolder = [&](const std::string& word) {
        if (word.rfind(prefix, 0) != 0) return word;
        return (fs::path(workFolder) / word.substr(prefix.size())).string();
    };
    std::error_code ec;
    ProcessRequest request;
    request.executable = fs::absolute(enginePath(programDirectory), ec).string();
    for (const std::string& word : command.arguments) request.arguments.push_back(inFolder(word));
    request.workingDirectory = workFolder;
    request.stdoutPath = inFolder(command.resultsFile);
    request.stderrPath = request.stdoutPath + ".err";
    request.whileWaiting = whileWaiting;
    bool stopped = false;
    if (stopRequested)
        request.stopRequested = [&stopRequested, &stopped] { return stopped = stopRequested(); };
    { std::ofstream empty(request.stdoutPath, std::ios::binary | std::ios::trunc); }

    EngineRunOutcome outcome;
    outcome.status = runProcess(request);
    outcome.stopped = stopped;
    if (!outcome.succeeded() && !stopped) {
        std::ifstream errors(request.stderrPath, std::ios::binary);
        std::string line;
        while (outcome.errorLine.empty() && std::getline(errors, line)) {
            while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
            outcome.errorLine = line;
        }
        if (outcome.errorLine.empty() && ::access(request.executable.c_str(), X_OK) != 0)
            outcome.errorLine = "the program " + request.executable + " is missing";
    }
    return outcome;
}

namespace {

EngineRunOutcome runBoth(const std::string& programDirectory, const EngineCommand& first,
                         const EngineCommand& second, const std::string& workFolder,
                         const std::function<void()>& whileWaiting,
                         const std::function<bool()>& stopRequested) {
    const EngineRunOutcome one =
        runEngineInFolder(programDirectory, first, workFolder, whileWaiting, stopRequested);
    if (!one.succeeded()) return one;
    return runEngineInFolder(programDirectory, second, workFolder, whileWaiting, stopRequested);
}

}  // namespace

EngineRunOutcome runCalculationEngines(const std::string& programDirectory,
                                       const std::string& workFolder,
                                       const std::function<void()>& whileWaiting,
                                       const std::function<bool()>& stopRequested) {
    return runBoth(programDirectory, calculationUnlinkedRun(), calculationLinkedRun(), workFolder,
                   whileWaiting, stopRequested);
}

EngineRunOutcome runSimulationEngines(const std::string& programDirectory,
                                      const std::string& workFolder,
                                      const std::function<void()>& whileWaiting,
                                      const std::function<bool()>& stopRequested) {
    return runBoth(programDirectory, simulationLinkedRun(), simulationUnlinkedRun(), workFolder,
                   whileWaiting, stopRequested);
}

void runCalculationEngines(const std::string& programDirectory) {
    runEngine(programDirectory, calculationUnlinkedRun());
    runEngine(programDirectory, calculationLinkedRun());
}

void runSimulationEngines(const std::string& programDirectory) {
    runEngine(programDirectory, simulationLinkedRun());
    runEngine(programDirectory, simulationUnlinkedRun());
}

void removeTempFiles(const std::string& programDirectory) {
    std::error_code ec;
    std::vector<fs::path> files;
    for (fs::directory_iterator it(tempFolderPath(programDirectory), ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code entryError;
        if (!it->is_directory(entryError)) files.push_back(it->path());
    }
    for (const fs::path& file : files) fs::remove(file, ec);
}

void removeTempFile(const std::string& programDirectory, const std::string& name) {
    std::error_code ec;
    fs::remove(tempFilePath(programDirectory, name), ec);
}

}  // namespace relatix
