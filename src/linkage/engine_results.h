// Reading the per-family natural-log likelihoods that the linkage engine printed
// into its results files. A value of exactly 0 stands for "no value": the family
// was skipped or split by the engine, or never read.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/core.h"

namespace relatix {

class TraceFile;

// A family whose "lnLikelihood" line follows more skipped lines than this fails the read.
inline constexpr int kMaximumSkippedLines = 1000;

// Reads the values of n families from one results file's text into target, which
// is first given n zeros: after the first line beginning with "Family", for each
// family the words up to the exact word "lnLikelihood" (a line starting with
// "Skipping" or "Cluster" on the way marks the family), one separator word, then
// the number. A marked family, and a number that is not a finite decimal, store 0.
// False when there is no "Family" line, when the text ends before all n families
// are read (values read so far stay) or after too many skipped lines. Every
// number read goes to the trace, preceded by tracePrefix.
bool readFamilyLikelihoods(std::string_view text, int n, std::vector<double>& target,
                           TraceFile* trace = nullptr, const std::string& tracePrefix = {});

// Reads temp/tempResults.txt (the unlinked run) into unlinkedResults and
// temp/tempResults2.txt (the run on the genetic map) into merlinResults, one value
// per hypothesis. False when either file cannot be opened (nothing changes) or
// either read fails; a failure in the first file leaves merlinResults as it was.
// Traces to Debug/0Debug_extractMerlinInfo.txt when a Debug folder exists.
bool readEngineResults(Core& core);

}  // namespace relatix
