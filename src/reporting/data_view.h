// The grid of the data view: the persons' genotypes marker by marker, or the
// likelihood ratio of one hypothesis marker by marker, with the chromosome and
// marker-name filters the window offers.
#pragma once

#include <string>
#include <vector>

#include "core/records.h"
#include "platform/status.h"
#include "reporting/marker_ratios.h"

namespace relatix {

class Core;

struct DataViewFilter {
    std::string chromosome = "All";  // "All" or "1" to "22"
    std::string name;                // empty, or a marker name compared ignoring case
    bool passes(int markerChromosome, const std::string& marker) const;
};

struct DataViewColumn {
    std::string header;
    int width = 80;  // in dialog units of the window
};

struct DataViewTable {
    std::vector<DataViewColumn> columns;
    std::vector<std::vector<std::string>> rows;
    // Set when the per-marker view cannot be shown (no calculation, a hypothesis
    // without a value); the rows are then empty.
    Status status;
    // The per-marker view's ratios of every marker, whatever the filter shows.
    MarkerRatios ratios;
};

// The chromosome choices: "All", then "1" to "22".
std::vector<std::string> dataViewChromosomes();

// The DNA data view of the persons: a "Gender" row, then one row per marker of
// the marker map that passes the filter.
DataViewTable dnaDataView(const Core& core, const std::vector<Person>& persons,
                          const DataViewFilter& filter);

// The per-marker LR view of hypothesis row (0-based) against the reference: one
// row per cluster that passes the filter, then "Total" over all markers.
DataViewTable markerRatioView(const Core& core, int row, const DataViewFilter& filter);

}  // namespace relatix
