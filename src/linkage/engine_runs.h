// The runs of the linkage engine merlinEngine. Each run is an argument vector and
// a results file; the engine is started directly (no command shell) from the
// program folder, in a working directory, with its standard output sent to the
// results file. The relative paths of the runs ("./temp/...") are relative to
// that working directory. A run that fails to start or fails reports nothing at
// the call: it shows as a results file without results.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace relatix {

inline constexpr const char* kEngineName = "merlinEngine";

struct EngineCommand {
    std::vector<std::string> arguments;  // without the program name
    std::string resultsFile;             // relative to the working directory
};

// The LR calculation: run 1 on the unlinked map into tempResults.txt, run 2 on
// the genetic map into tempResults2.txt.
EngineCommand calculationUnlinkedRun();
EngineCommand calculationLinkedRun();
// The simulation: run 1 on the genetic map into tempResults.txt, run 2 on the
// unlinked map into tempResults2.txt.
EngineCommand simulationLinkedRun();
EngineCommand simulationUnlinkedRun();
// The quick analysis of a Kovarian file, into tempResults.txt.
EngineCommand quickAnalysisRun();
// The analysis of user-supplied files: the simulating run into tempResults3.txt,
// which leaves its replicates in ./temp/merlin-replicate.ped, ...
EngineCommand userFileSimulationRun(const std::string& dataFile, const std::string& mapFile,
                                    const std::string& frequencyFile,
                                    const std::string& pedigreeFile, long long seed);
// ... and the likelihood runs on ./temp/temp2.ped with one map each.
EngineCommand userFileLikelihoodRun(const std::string& dataFile, const std::string& mapFile,
                                    const std::string& frequencyFile,
                                    const std::string& resultsFile);

// The engine's full path in the program folder.
std::string enginePath(const std::string& programDirectory);

// Runs the engine of the program folder in the working directory (the program
// folder when empty) and waits for it. The results file is emptied first, so
// that an engine that cannot start never leaves an earlier run's results to be
// read as this one's; a missing temp folder below the working directory is
// created. Returns the engine's exit status, -1 when it could not be started.
int runEngine(const std::string& programDirectory, const EngineCommand& command,
              const std::string& workingDirectory = {});

// How one engine run ended: its exit status (-1 when it could not be started or
// was killed) and the first line it wrote to its standard error.
struct EngineRunOutcome {
    int status = -1;
    std::string errorLine;
    bool stopped = false;  // ended on the user's request
    bool succeeded() const { return status == 0; }
    // "The linkage program failed: <first error line>" (or the exit status).
    std::string message() const;
};

// Runs the engine of the program folder on the files of a run's work folder: the
// "./temp/" paths of the command name files in that folder, which is also the
// engine's working directory. The results file is emptied first; the engine's
// standard error goes to the results file's name + ".err" there.
// stopRequested, asked while the engine runs, ends it when true (the user's Cancel).
EngineRunOutcome runEngineInFolder(const std::string& programDirectory,
                                   const EngineCommand& command, const std::string& workFolder,
                                   const std::function<void()>& whileWaiting = {},
                                   const std::function<bool()>& stopRequested = {});

// The two runs of the LR calculation, unlinked map first, in the program folder.
void runCalculationEngines(const std::string& programDirectory);
// The same on a work folder; the outcome of the first run that failed, or of the last.
EngineRunOutcome runCalculationEngines(const std::string& programDirectory,
                                       const std::string& workFolder,
                                       const std::function<void()>& whileWaiting,
                                       const std::function<bool()>& stopRequested = {});
// The two runs of the simulation, genetic map first, in the program folder.
void runSimulationEngines(const std::string& programDirectory);
EngineRunOutcome runSimulationEngines(const std::string& programDirectory,
                                      const std::string& workFolder,
                                      const std::function<void()>& whileWaiting,
                                      const std::function<bool()>& stopRequested = {});

// Removes every file (not folders) of the temp folder below the program folder.
void removeTempFiles(const std::string& programDirectory);
// Removes one file of that temp folder; a missing file is no error.
void removeTempFile(const std::string& programDirectory, const std::string& name);

}  // namespace relatix
