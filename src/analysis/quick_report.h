// The plain-text report of a quick analysis (written next to the case file with
// an ".rtf" name): persons and DNA data, pedigrees in LINKAGE form, ln-likelihoods
// per chromosome, the LR matrix, posteriors and marker data, in a fixed-width
// layout of blanks. Written in four pieces as the analysis goes on.
#pragma once

#include <string>

#include "analysis/quick_case.h"
#include "analysis/quick_results.h"

namespace relatix {

// Header and persons with their DNA table.
std::string quickReportPersons(const QuickCase& quickCase, const std::string& casePath);
// The families as the pedigree file holds them, without genotypes.
std::string quickReportPedigrees(const QuickCase& quickCase);
// ln-likelihoods per chromosome, the ratios and the posteriors.
std::string quickReportResults(const QuickCase& quickCase, const QuickResults& results);
// Marker data, then what was left out of the analysis and why.
std::string quickReportMarkers(const QuickCase& quickCase, const QuickResults& results);

// An LR cell: "%.4g" above 1, "%g" otherwise, "NA" when missing, padded to 15.
std::string quickRatioCell(const std::optional<double>& value);
// A posterior: ">0.999999" above 0.999999, the number otherwise, "NA" when missing.
std::string quickPosteriorText(const std::optional<double>& value);

}  // namespace relatix
