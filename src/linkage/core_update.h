// Prepares the Core for a calculation: one cluster per marker of the marker map
// that the active population contains, the analysis persons' alleles in the
// genotype table, and normalised frequencies.
#pragma once

#include <vector>

namespace relatix {

class Core;

void updateCore(Core& core);

// One flag per cluster: true for a cluster without systems or with a missing
// allele ("-1") of any analysis person at any of its systems.
std::vector<bool> clusterSkipList(const Core& core, bool* missingData = nullptr);

}  // namespace relatix
