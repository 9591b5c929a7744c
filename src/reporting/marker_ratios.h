// The likelihood ratio of one hypothesis against the reference marker by
// marker, from the exact engine's per-marker results, and the two exports that
// hand a calculation's numbers on: the bare ratio and the per-marker table.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/status.h"

namespace relatix {

class Core;

struct MarkerRatio {
    std::string marker;  // the allele system's own name
    int cluster = 0;     // 0-based cluster of the cluster database
    int chromosome = 0;  // 1-based
    double position = 0.0;
    bool skipped = false;  // its cluster was left out of the calculation
    // The ratio of the markers up to and including this one; a skipped marker
    // repeats the one before it (1 before the first kept marker).
    double accumulated = 1.0;
    // This marker's own ratio: accumulated over the one before; none for a
    // skipped marker or where it is undefined (after a marker excluding both).
    std::optional<double> marginal;
};

struct MarkerRatios {
    std::vector<MarkerRatio> markers;  // every system of every cluster, in order
    double total = 1.0;                // exp(lnL[row] - lnL[reference])
};

// The ratios of hypothesis row (0-based) against the reference (0-based) over
// the exact results; with created pedigrees, which have no exact results, the
// unlinked total is spread evenly: every marker carries total^(1/markers).
// Refused with a message when a row is outside the results or either
// hypothesis has no value.
Status markerRatios(const Core& core, int row, int reference, MarkerRatios& out);

// The hypothesis a save or view uses: the selected results row (1-based, 0 for
// none) minus one, the first hypothesis when none is selected.
int chosenHypothesis(int selectedRow);

// Writes exp(lnL[row] - lnL[reference]) alone, six significant digits, no line break.
Status exportLikelihoodRatio(int row, const Core& core, const std::string& path);
// Writes the per-marker table: a version line, "Marker\tLR (marginal)", one
// line per marker ("\tNA" for a skipped one), "Total LR\t" and the database line.
Status exportMarkerRatios(int row, const Core& core, const std::string& path);

}  // namespace relatix
