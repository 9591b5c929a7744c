// Prepares the Core for a calculation: one cluster per marker of the marker map
// that the active population contains, the analysis persons' alleles in the
// genotype table, and frequencies brought to a sum of 1 by the case's new-allele
// model.
#pragma once

#include <string>
#include <vector>

namespace relatix {

class Core;

void updateCore(Core& core);

// One flag per cluster: true for a cluster without systems or with a missing
// allele ("-1") of any analysis person at any of its systems.
std::vector<bool> clusterSkipList(const Core& core, bool* missingData = nullptr);

// A marker of the map that a calculation does not use, and why.
struct UnusedMarker {
    std::string marker;
    std::string reason;
};

// Every marker of the map, in map order, that the calculation after updateCore
// leaves out under the skip list: not in the active population (or no active
// population), not typed for every person of the case, or (for the linkage
// program only) on the X chromosome.
std::vector<UnusedMarker> unusedMarkers(const Core& core, const std::vector<bool>& skipList);

// Every typed allele that the active population lacks, which the calculation
// takes in with the new-allele frequency: "Allele 99 of D3S1358 (Sibling 1) is
// not in the population EUR: it gets the new-allele frequency 0.01". Each marker
// and allele once, in map order.
std::vector<std::string> newAlleleNotices(const Core& core);

}  // namespace relatix
