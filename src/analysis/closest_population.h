// From which population of the frequency database a DNA profile most likely
// comes: per population the natural-log likelihood of the profile's genotypes
// (product of Hardy-Weinberg genotype frequencies, no theta) over the markers
// every population holds, and the posterior under equal priors.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/records.h"

namespace relatix {

class Core;

// The frequency an allele counts with when the population's marker lacks it or
// gives it no frequency.
inline constexpr double kAbsentAlleleFrequency = 0.05;

struct PopulationResult {
    std::string population;
    double logLikelihood = 0.0;  // natural logarithm
    double posterior = 0.0;
};

// The probability of the genotype (allele1, allele2) in the population's marker of
// that name: p*p for two equal names, 2*p*q otherwise. A marker the population
// lacks counts every allele as absent.
double genotypeProbability(const Population& population, const std::string& markerName,
                           const std::string& allele1, const std::string& allele2);

// True for a marker of at most four alleles, each one of A C G T a c g t 1 2
// (a marker without alleles qualifies).
bool snpMarker(const Marker& marker);

// For every marker of the marker map (in map order) and every population (in
// list order), the 1-based position of the population's marker of that name, or
// nothing when the population lacks it.
class MarkerIndexTable {
public:
    MarkerIndexTable() = default;
    explicit MarkerIndexTable(const Core& core);

    bool built() const { return built_; }
    size_t markerCount() const { return positions_.size(); }
    // mapMarker and population are 0-based.
    std::optional<int> position(size_t mapMarker, size_t population) const;
    // True when every population holds the map marker (and there is at least one population).
    bool heldByEveryPopulation(size_t mapMarker) const;

private:
    std::vector<std::vector<std::optional<int>>> positions_;
    bool built_ = false;
};

// exp(LL_j) / sum_k exp(LL_k), evaluated around the largest value so that very
// negative log likelihoods neither underflow nor give 0/0.
std::vector<double> posteriorsFromLogLikelihoods(const std::vector<double>& logLikelihoods);

// The profile's observation of a marker (first one of exactly that name), or nullptr.
const DnaObservation* observationOf(const Person& profile, const std::string& markerName);
// The second allele of an observation, or the first when only one was typed.
const std::string& secondAllele(const DnaObservation& observation);

// The markers of the map (0-based, map order) that take part for the profile:
// held by every population and typed in the profile.
std::vector<size_t> sharedMarkers(const Core& core, const MarkerIndexTable& table,
                                  const Person& profile);

// One result per population: in population order, or sorted by descending log
// likelihood (ties keep population order).
std::vector<PopulationResult> populationLikelihoods(const Core& core, const MarkerIndexTable& table,
                                                    const Person& profile, bool sorted);
std::vector<PopulationResult> populationLikelihoods(const Core& core, const Person& profile,
                                                    bool sorted);

inline constexpr const char* kNoProjectPersonsMessage =
    "No persons defined in the current Relatix project";

// The persons of the case list (the pedigree persons with created pedigrees,
// otherwise the case's persons) that have at least one DNA observation, appended
// as new ancestry profiles with their names and observations. Returns how many
// were copied, or nothing when the case has no main hypothesis or no persons.
std::optional<int> copyProjectPersonsToProfiles(Core& core);

}  // namespace relatix
