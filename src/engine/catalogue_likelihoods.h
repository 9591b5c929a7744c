// The exact engine's driver: the natural-log likelihood of every hypothesis of
// a catalogue case, each computed from the relationship components that the
// catalogue gives for its code.
#pragma once

#include <memory>
#include <vector>

#include "core/catalogue.h"
#include "core/log_likelihood.h"

namespace relatix {

class Core;
class CTableSetup;
class UserInterface;

// The relationship object of one component, or null for a class that the
// engine does not compute yet.
std::unique_ptr<CTableSetup> createComponent(const ExactComponent& component, const Core& core);

// Fills all tables of a component for the 0-based catalogue index, leaving out
// the clusters whose flag is set.
void prepareRelationship(const Core& core, const std::vector<bool>& skipClusters,
                         int catalogueIndex, CTableSetup& relationship);

// True when every component of the code can be computed.
bool codeComputable(int code);

// What the exact engine computed for the main hypothesis and each selected
// alternative, in hypothesis order.
struct ExactLikelihoods {
    LogLikelihoods values;  // missing for a relationship the engine cannot compute
    // Per hypothesis, ln L of each allele system (-1 for the systems of skipped
    // clusters, 0 for every system of a hypothesis without a value).
    std::vector<std::vector<double>> markerResults;
};

// Reads the case and never changes it: the calculation and the simulation store
// what they need. Shows "Computing likelihoods" when progress is given.
ExactLikelihoods computeExactLikelihoods(const Core& core, const std::vector<bool>& skipClusters,
                                         UserInterface* progress);

}  // namespace relatix
