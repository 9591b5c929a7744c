// Haplotype frequencies of a cluster of linked systems: every combination of
// one allele per system, weighted between linkage equilibrium and the observed
// haplotype counts, and the conditional allele probabilities derived from them.
#pragma once

#include <vector>

#include "core/cluster_database.h"

namespace relatix {

struct HaplotypeFrequencies {
    // One entry per combination, each one 1-based allele number per system, in
    // odometer order (all ones first, the last system changing fastest).
    std::vector<std::vector<int>> haplotypes;
    std::vector<double> frequencies;  // parallel to haplotypes
};

// lambda weighs the equilibrium prior against the observed counts of the
// cluster's haplotypes (whose allele indices are 1-based allele numbers).
HaplotypeFrequencies estimateHaplotypeFrequencies(const Cluster& cluster, double lambda);

// P(allele a at system k | allele b at k-1 [, allele c at k-2]) with 0-based
// allele indices; c < 0 leaves out the condition at k-2. A condition that no
// haplotype carries (zero denominator) gives 0.
double conditionalAlleleProbability(const HaplotypeFrequencies& haplotypes, int k, int a, int b,
                                    int c = -1);

}  // namespace relatix
