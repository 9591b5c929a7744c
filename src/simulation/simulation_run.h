// One simulation run of a catalogue case: N simulations, each drawing one data set
// per hypothesis pedigree taken as true, every data set computed by the exact
// engine and written as families of temp.ped; then the linkage engine on both maps
// and the reading of its results. Fills simulatedExactLikelihoods,
// simulatedLinkedLikelihoods and simulatedUnlinkedLikelihoods with N*k data sets,
// data set s*k + t drawn in simulation s with hypothesis t true.
#pragma once

#include <cstdint>
#include <string>

#include "platform/status.h"

namespace relatix {

class Core;
class SimulationRun;
class UserInterface;

inline constexpr int kMinimumSimulations = 10;
inline constexpr int kMaximumSimulations = 100000;

inline constexpr const char* kNoSimulationsMessage = "Enter valid number of simulations";
inline constexpr const char* kSimulationRangeMessage =
    "Enter valid number of simulations (10-100000)";
inline constexpr const char* kNoSeedMessage = "Enter valid seed or choose Random seed";
inline constexpr const char* kRawDataFilter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||";

// The integer value of a typed number (a text that is no number reads as 0).
long long typedInteger(const std::string& text);

// The message that refuses the typed values of the simulation dialog, or empty.
std::string simulationInputError(const std::string& numberText, bool randomSeed,
                                 const std::string& seedText);

// The seed of a run: with randomSeed, a draw of the generator seeded with the
// current time (1..32768); otherwise the typed seed, modulo 2^32.
std::uint32_t simulationSeed(bool randomSeed, const std::string& seedText);

// The number of threads a run computes on: the requested number, or every core
// of the machine when it is 0 or less.
int simulationThreads(int requested);

// The whole run from the dialog: enters the program folder, empties its temp
// folder, takes the seed, empties simulatedExactLikelihoods, asks for the raw-data
// file when wanted (cancelling ends the run: false), then simulates and reads,
// on every core.
bool runSimulation(Core& core, UserInterface& ui, int n, bool randomSeed,
                   const std::string& seedText, bool saveRawData);

// The same run with a fixed seed and raw-data path (empty for none), asking
// nothing; false when no work folder could be made. threads as for
// simulationThreads; the results do not depend on it.
// With rawData, whether the raw-data table could be written goes there too.
bool runSimulation(Core& core, UserInterface& ui, int n, std::uint32_t seed,
                   const std::string& rawDataPath, int threads = 0, Status* rawData = nullptr);

// Draws and computes all data sets and runs the engine on them (the engine's
// results are not read here). The data sets are drawn one after another from the
// one generator on the calling thread, which also writes them to temp.ped; the
// exact engine computes them on `threads` threads (see simulationThreads), each
// with its own copy of the case, and the values are stored in data-set order, so
// that they are the same, bit for bit, on any number of threads. False when the
// user cancelled in the progress window; the run then stops after the data sets
// in progress.
bool performSimulations(SimulationRun& run, UserInterface& ui, int n, std::uint32_t seed,
                        int threads = 0);

// Writes the LINKAGE data files for a simulation: like the calculation's, but
// every allele that can be drawn keeps its own number in temp.freq (no lumping of
// alleles beyond those the case's persons carry). False when a file could not be
// written.
[[nodiscard]] bool writeSimulationDataFiles(Core& core);

}  // namespace relatix
