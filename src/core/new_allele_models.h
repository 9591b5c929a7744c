// The two ways of bringing a marker's frequencies to a sum of 1 before a
// calculation: normalising them, or taking the excess from alleles nobody in the
// case carries.
#pragma once

#include <string>
#include <vector>

#include "core/genotype_table.h"

namespace relatix {

// Values of ClusterDatabase::newAlleleModel.
enum NewAlleleModel : int {
    kNormaliseModel = 1,         // "Normalise"
    kSearchAndSubtractModel = 2  // "Search and substract"
};

// The name of the allele that stands for the alleles a marker's list lacks, when
// model 2 gives it the shortfall of a list whose frequencies sum to less than 1.
// No typed allele is written so.
inline constexpr const char* kRestAlleleName = "(other alleles)";

// The frequency an allele gets when the excess takes all of it.
inline constexpr double kMinimumFrequency = 1e-6;

// The adjusted frequencies of one marker (frequencies and names parallel, in list
// order), given the two allele texts of every person typed at the marker.
// - sum above 1: the model applies;
// - sum exactly 1: unchanged;
// - sum below 1: model 1 normalises; model 2 keeps them and appends the rest
//   1 - sum as one further frequency when the rest exceeds 1e-6.
// Model 1 divides by the sum. Model 2 takes the excess from the unobserved
// alleles in list order: an allele larger than what remains of the excess loses
// it, a smaller one keeps 1e-6; whatever cannot be absorbed stays. Any model
// number other than 1 is treated as model 2.
std::vector<double> adjustFrequencies(const std::vector<double>& frequencies,
                                      const std::vector<std::string>& alleleNames,
                                      const std::vector<GenotypeTable::TextSlots>& genotypes,
                                      int model);

// The two allele texts of every analysis person at one (1-based) cluster and
// system of the table; empty when the position is outside the table.
std::vector<GenotypeTable::TextSlots> genotypesAt(const GenotypeTable& table, int cluster,
                                                  int system);

}  // namespace relatix
