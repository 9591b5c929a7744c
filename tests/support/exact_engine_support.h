// The exact engine run as the calculation (normal mode) and the simulation
// (simulation mode) run it, storing what it returns into the case, so that a
// test reads exactResults, exactMarkerResults and simulatedExactLikelihoods.
#pragma once

#include <vector>

#include "core/core.h"
#include "engine/catalogue_likelihoods.h"
#include "platform/user_interface.h"

namespace relatix::testing {

inline void computeCatalogueLikelihoods(Core& core, const std::vector<bool>& skipClusters,
                                        bool simulationMode, UserInterface& ui) {
    core.markerSkipped = skipClusters;
    ExactLikelihoods exact =
        computeExactLikelihoods(core, skipClusters, simulationMode ? nullptr : &ui);
    core.exactMarkerResults = std::move(exact.markerResults);
    if (!simulationMode) {
        core.exactResults = std::move(exact.values);
        return;
    }
    core.simulatedExactLikelihoods.push_back(std::move(exact.values));
}

}  // namespace relatix::testing
