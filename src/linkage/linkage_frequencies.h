// The allele frequencies that the LINKAGE frequency and cluster files carry for
// one marker: brought to a sum of 1 by the case's new-allele model, and for
// markers with very many alleles the alleles after the last one anybody carries
// merged into one.
#pragma once

#include <string>
#include <vector>

#include "core/cluster_database.h"
#include "core/genotype_table.h"

namespace relatix {

// Lists with this many entries or more are lumped.
inline constexpr size_t kLumpingThreshold = 64;

// When the list has kLumpingThreshold entries or more: the frequencies after
// position F (the largest 0-based position among the allele names of any text
// the persons carry) become one allele at position F + 1 with their sum, and the
// list ends there. Nobody carries an allele after F, so its probability is all
// that matters of them and no likelihood changes; the alleles up to F keep their
// numbers and frequencies. Texts that are not among the names are ignored.
std::vector<double> lumpFrequencies(std::vector<double> frequencies,
                                    const std::vector<std::string>& alleleNames,
                                    const std::vector<GenotypeTable::TextSlots>& genotypes);

// adjustFrequencies with the given model, then lumpFrequencies.
std::vector<double> linkageFrequencies(const ClusterSystem& system,
                                       const std::vector<GenotypeTable::TextSlots>& genotypes,
                                       int newAlleleModel);

}  // namespace relatix
