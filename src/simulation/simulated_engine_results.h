// Reading the linkage engine's per-family log-likelihoods of a simulation run
// back into the Core, block by block (one block of k families per data set), and
// the optional tab-separated raw-data table of the simulated likelihood ratios.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/core.h"
#include "platform/status.h"

namespace relatix {

class TraceFile;

// Lines read while looking for one block's "Family" line before the read fails.
inline constexpr int kMaximumBlockSearchLines = 1000;
// Lines skipped within one family before its "lnLikelihood" that fail the read.
inline constexpr int kMaximumFamilyLines = 1001;

// Reads n*k blocks of k families from one results file's text into target, which
// is first given n*k data sets of k missing values; block b goes to data set b. A
// family whose lines carry "Skipping" or "Cluster" is missing with the engine's
// reason, or ln L = -inf when the reason is an inconsistency, and reading goes on;
// so is a value that is no log-probability. A line containing "ERROR", the end
// of the text, a number cut at the end, or a line limit stops the reading: false,
// and the data sets not read stay missing.
bool readSimulatedBlocks(std::string_view text, int n, int k, SimulatedDataSets& target,
                         TraceFile* trace = nullptr);

// Reads temp/tempResults.txt (genetic map) into simulatedLinkedLikelihoods and
// temp/tempResults2.txt (unlinked map) into simulatedUnlinkedLikelihoods. With a
// raw-data path the table is written at the end (writeRawDataFile), with its rows
// when both files were read to the end and as the header alone when the reading
// stopped early; after an interrupt (SIGINT, SIGTERM) it is not written, and an
// earlier file of that name stays. Whether it was written goes to rawData when
// given. False when a file is missing or its reading stopped.
bool readSimulatedEngineResults(Core& core, int n, const std::string& rawDataPath,
                                Status* rawData = nullptr);

// Writes the raw-data table (the header, then the rows when withRows) to a
// temporary file beside the path that replaces the file there once complete.
Status writeRawDataFile(const Core& core, int n, const std::string& path, bool withRows);

// The hypothesis names of a catalogue case, main first, or the names of the
// pedigrees of a run on the user's own linkage files when the lists come from one.
std::vector<std::string> simulationHypothesisNames(const Core& core, bool lineBreakSeparator);

// The raw-data table's header lines and rows (lines end CR LF).
std::string rawDataHeader(const Core& core, int n);
std::string rawDataRows(const Core& core, int n);

}  // namespace relatix
