// The exact engine's driver: the natural-log likelihood of every hypothesis of
// a catalogue case, each computed from the relationship components that the
// catalogue gives for its code.
#pragma once

#include <memory>
#include <vector>

#include "engine/catalogue.h"

namespace relatix {

class Core;
class CTableSetup;
class UserInterface;

// The relationship object of one component, or null for a class that the
// engine does not compute yet.
std::unique_ptr<CTableSetup> createComponent(const ExactComponent& component, const Core& core);

// Fills all tables of a component for the 0-based catalogue index.
void prepareRelationship(Core& core, int catalogueIndex, CTableSetup& relationship);

// True when every component of the code can be computed.
bool codeComputable(int code);

// Computes the main hypothesis and each selected alternative. Normal mode
// fills exactResults; simulation mode appends the values as one data set to
// simulatedExactLikelihoods. Both modes refill exactMarkerResults (one vector
// per hypothesis) and store the skip flags as markerSkipped. A hypothesis whose
// relationship cannot be computed gets 0, the value that means "none available".
void computeCatalogueLikelihoods(Core& core, const std::vector<bool>& skipClusters,
                                 bool simulationMode, UserInterface& ui);

}  // namespace relatix
