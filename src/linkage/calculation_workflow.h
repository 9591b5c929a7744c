// The "Calculate" command: prepares the case, decides which markers can be used,
// asks the caller whether to go on (the save offer), writes the LINKAGE files,
// runs the exact engine and the linkage engine twice, and reads the engine's
// results back.
#pragma once

#include <functional>
#include <string>

namespace relatix {

class Core;
class UserInterface;

enum class CalculationStatus {
    Calculated,      // every step ran; engineResultsAvailable tells about the engine
    NoAlternatives,  // fewer than two hypotheses: nothing was calculated
    Cancelled,       // the user cancelled the save question or dialog, or the save failed
    NoWorkFolder,    // no private folder for the engine's files could be made
};

struct CalculationOutcome {
    CalculationStatus status = CalculationStatus::Cancelled;
    bool engineResultsAvailable = false;
    // Why the linkage columns have no values, empty when they have.
    std::string engineMessage;
};

inline constexpr const char* kIncompleteDataMessage =
    "Incomplete allele data detected for some individuals, skipping these markers in the "
    "calculations";

// Called once the case has alternatives and before anything is written; false
// stops the calculation as Cancelled. The desktop program offers to save the
// project here.
using BeforeCalculation = std::function<bool(Core&, UserInterface&)>;

CalculationOutcome runCalculation(Core& core, UserInterface& ui,
                                  const BeforeCalculation& before = {});

}  // namespace relatix
