#include "analysis/closest_population.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/core.h"
#include "core/frequency_database.h"
#include "platform/trace_file.h"

namespace relatix {

namespace {

double alleleFrequency(const Marker* marker, const std::string& allele) {
    if (marker)
        for (const Allele& a : marker->alleles)
            if (a.name == allele) return a.frequency > 0.0 ? a.frequency : kAbsentAlleleFrequency;
    return kAbsentAlleleFrequency;
}

double genotypeProbabilityIn(const Marker* marker, const std::string& allele1,
                             const std::string& allele2) {
    const double p = alleleFrequency(marker, allele1);
    if (allele1 == allele2) return p * p;
    return 2.0 * p * alleleFrequency(marker, allele2);
}

}  // namespace

double genotypeProbability(const Population& population, const std::string& markerName,
                           const std::string& allele1, const std::string& allele2) {
    return genotypeProbabilityIn(findMarker(population, markerName), allele1, allele2);
}

bool snpMarker(const Marker& marker) {
    static const std::string kSnpAlleles[] = {"A", "C", "G", "T", "a", "c", "g", "t", "1", "2"};
    if (marker.alleles.size() > 4) return false;
    return std::all_of(marker.alleles.begin(), marker.alleles.end(), [](const Allele& allele) {
        return std::find(std::begin(kSnpAlleles), std::end(kSnpAlleles), allele.name) !=
               std::end(kSnpAlleles);
    });
}

MarkerIndexTable::MarkerIndexTable(const Core& core) : built_(true) {
    positions_.reserve(core.markerMap.markers.size());
    for (const Marker& mapMarker : core.markerMap.markers) {
        std::vector<std::optional<int>> row;
        row.reserve(core.populations.size());
        for (const Population& population : core.populations) {
            const int position = markerPosition(population, mapMarker.name);
            row.push_back(position > 0 ? std::optional<int>(position) : std::nullopt);
        }
        positions_.push_back(std::move(row));
    }
}

std::optional<int> MarkerIndexTable::position(size_t mapMarker, size_t population) const {
    if (mapMarker >= positions_.size() || population >= positions_[mapMarker].size()) return {};
    return positions_[mapMarker][population];
}

bool MarkerIndexTable::heldByEveryPopulation(size_t mapMarker) const {
    if (mapMarker >= positions_.size() || positions_[mapMarker].empty()) return false;
    const auto& row = positions_[mapMarker];
    return std::all_of(row.begin(), row.end(), [](const auto& p) { return p.has_value(); });
}

std::vector<double> posteriorsFromLogLikelihoods(const std::vector<double>& logLikelihoods) {
    std::vector<double> posteriors(logLikelihoods.size(), 0.0);
    if (logLikelihoods.empty()) return posteriors;
    const double largest = *std::max_element(logLikelihoods.begin(), logLikelihoods.end());
    if (!std::isfinite(largest)) {
        posteriors.assign(logLikelihoods.size(), std::numeric_limits<double>::quiet_NaN());
        return posteriors;
    }
    double sum = 0.0;
    for (size_t k = 0; k < logLikelihoods.size(); ++k)
        sum += posteriors[k] = std::exp(logLikelihoods[k] - largest);
    for (double& posterior : posteriors) posterior /= sum;
    return posteriors;
}

const DnaObservation* observationOf(const Person& profile, const std::string& markerName) {
    for (const DnaObservation& observation : profile.dna)
        if (observation.markerName == markerName) return &observation;
    return nullptr;
}

const std::string& secondAllele(const DnaObservation& observation) {
    return observation.allele2.empty() ? observation.allele1 : observation.allele2;
}

std::vector<size_t> sharedMarkers(const Core& core, const MarkerIndexTable& table,
                                  const Person& profile) {
    std::vector<size_t> markers;
    for (size_t m = 0; m < core.markerMap.markers.size(); ++m)
        if (table.heldByEveryPopulation(m) &&
            observationOf(profile, core.markerMap.markers[m].name))
            markers.push_back(m);
    return markers;
}

std::vector<PopulationResult> populationLikelihoods(const Core& core, const MarkerIndexTable& table,
                                                    const Person& profile, bool sorted) {
    const std::vector<size_t> markers = sharedMarkers(core, table, profile);
    std::vector<PopulationResult> results;
    std::vector<double> logLikelihoods;
    for (size_t j = 0; j < core.populations.size(); ++j) {
        const Population& population = core.populations[j];
        double logLikelihood = 0.0;
        for (size_t m : markers) {
            const Marker& mapMarker = core.markerMap.markers[m];
            const DnaObservation& observation = *observationOf(profile, mapMarker.name);
            const Marker* marker =
                &population.markers[static_cast<size_t>(*table.position(m, j) - 1)];
            logLikelihood += std::log(
                genotypeProbabilityIn(marker, observation.allele1, secondAllele(observation)));
        }
        results.push_back({population.name, logLikelihood, 0.0});
        logLikelihoods.push_back(logLikelihood);
    }
    const std::vector<double> posteriors = posteriorsFromLogLikelihoods(logLikelihoods);
    for (size_t j = 0; j < results.size(); ++j) results[j].posterior = posteriors[j];
    if (sorted)
        std::stable_sort(results.begin(), results.end(),
                         [](const PopulationResult& a, const PopulationResult& b) {
                             return a.logLikelihood > b.logLikelihood;
                         });
    return results;
}

std::vector<PopulationResult> populationLikelihoods(const Core& core, const Person& profile,
                                                    bool sorted) {
    return populationLikelihoods(core, MarkerIndexTable(core), profile, sorted);
}

std::optional<int> copyProjectPersonsToProfiles(Core& core) {
    // The list the case's dialogs show: checked itself, so that a case whose
    // persons came from a project file (with no pedigree persons) still counts.
    const std::vector<Person>& persons = core.mainHypothesis == kCreatedPedigrees
                                             ? core.genotypeTable.pedigreePersons
                                             : core.persons;
    if (core.mainHypothesis == kNoHypothesis || persons.empty()) return std::nullopt;
    TraceFile trace("copyPersonsFromProject", true);
    int copied = 0;
    for (size_t i = 0; i < persons.size(); ++i) {
        const Person& person = persons[i];
        trace << i + 1 << "\t" << person.name << "\t" << person.dna.size() << "\r\n";
        if (person.dna.empty()) continue;
        trace << "Creating person\r\n";
        Person profile(person.name, person.isMale);
        profile.dna = person.dna;
        trace << "Inserting\r\n";
        core.ancestryPersons.push_back(std::move(profile));
        ++copied;
    }
    return copied;
}

}  // namespace relatix
