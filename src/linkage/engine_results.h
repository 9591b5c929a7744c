// Reading the per-family natural-log likelihoods that the linkage engine printed
// into its results files. The engine prints 0 for a family it skipped; that value
// is decoded here into a missing likelihood with the engine's reason, or into
// ln L = -inf when the engine skipped the family as inconsistent with the data.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/core.h"
#include "platform/status.h"

namespace relatix {

class TraceFile;

// A family whose "lnLikelihood" line follows more skipped lines than this fails the read.
inline constexpr int kMaximumSkippedLines = 1000;

// Reads the values of n families from one results file's text into target: after
// the first line beginning with "Family", for each family the words up to the
// exact word "lnLikelihood", one separator word, then the number, which must end
// its line. A "Skipping family F: reason" line on the way makes the family's value
// missing with that reason, or -inf when the reason says the data are
// inconsistent with the pedigree. A number that does not read, or a positive one
// (a probability above 1), is missing. Fails with
// why the output is incomplete (target then holds n missing values). Every
// number read goes to the trace, preceded by tracePrefix.
Status readFamilyLikelihoods(std::string_view text, int n, LogLikelihoods& target,
                             TraceFile* trace = nullptr, const std::string& tracePrefix = {});

// Reads tempResults.txt (the unlinked run) into unlinkedResults and
// tempResults2.txt (the run on the genetic map) into merlinResults of the run's
// work folder, one value per hypothesis. Fails with the
// reason, with both lists then missing with that reason. Traces to
// Debug/0Debug_extractMerlinInfo.txt when a Debug folder exists.
Status readEngineResults(Core& core);

}  // namespace relatix
