// The two RTF reports of a case: the case report (persons, pedigrees, results of
// the last calculation, settings and systems) and the simulation report (the
// statistics of the simulated likelihood ratios). Both only read the Core.
#pragma once

#include <string>

#include "platform/status.h"

namespace relatix {

class Core;

inline constexpr const char* kReportCitation =
    "Lander ES, Green P (1987). Construction of multilocus genetic linkage maps in humans. "
    "Proc Natl Acad Sci USA 84(8):2363-2367.";

// The line both reports carry in their header when mutations were turned off.
inline constexpr const char* kMutationNotModelled =
    "Mutation was not modelled: the likelihoods were calculated without mutation.";

// The catalogue code (1..26) of a hypothesis row (1-based) of a catalogue case;
// 0 for a row the case does not have or a case of created pedigrees.
int hypothesisCode(const Core& core, int row);

// A failure when the file cannot be opened (then nothing is written) or not be
// written whole.
Status writeCaseReport(const Core& core, const std::string& reportPath);
Status writeSimulationReport(const Core& core, const std::string& reportPath);

}  // namespace relatix
