// The "Calculate" command: prepares the case, decides which markers can be used,
// asks the caller whether to go on (the save offer), writes the LINKAGE files,
// runs the exact engine and the linkage engine twice, and reads the engine's
// results back.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace relatix {

class Core;
class UserInterface;

enum class CalculationStatus {
    Calculated,      // every step ran; engineResultsAvailable tells about the engine
    NoAlternatives,  // fewer than two hypotheses: nothing was calculated
    Cancelled,       // the user cancelled the save question or dialog, or the save failed
    NoWorkFolder,    // no private folder for the engine's files could be made
    NoUsableMarker,  // no marker can be used (refusal says why): nothing was calculated
};

struct CalculationOutcome {
    CalculationStatus status = CalculationStatus::Cancelled;
    bool engineResultsAvailable = false;
    // Why the linkage columns have no values, empty when they have.
    std::string engineMessage;
    // Why nothing was calculated, for NoUsableMarker.
    std::string refusal;
};

inline constexpr const char* kIncompleteDataMessage =
    "Incomplete allele data detected for some individuals, skipping these markers in the "
    "calculations";

// Called once the case has alternatives and before anything is written; false
// stops the calculation as Cancelled. The desktop program offers to save the
// project here.
using BeforeCalculation = std::function<bool(Core&, UserInterface&)>;

// Why the case cannot be calculated at all after updateCore: no active
// population, no marker of the case in it, a person typed at none of its
// markers, or no marker typed for every person. Empty when a marker can be used.
std::string noUsableMarkerReason(const Core& core, const std::vector<bool>& skipList);

CalculationOutcome runCalculation(Core& core, UserInterface& ui,
                                  const BeforeCalculation& before = {});

}  // namespace relatix
