#include "linkage/linkage_frequencies.h"

#include <algorithm>

#include "core/new_allele_models.h"

namespace relatix {

std::vector<double> lumpFrequencies(std::vector<double> frequencies,
                                    const std::vector<std::string>& alleleNames,
                                    const std::vector<GenotypeTable::TextSlots>& genotypes) {
    if (frequencies.size() < kLumpingThreshold) return frequencies;
    // One past the largest carried position: where the merged rest goes.
    size_t rest = 0;
    for (const GenotypeTable::TextSlots& slots : genotypes) {
        for (const std::string& text : slots) {
            const auto found = std::find(alleleNames.begin(), alleleNames.end(), text);
            if (found != alleleNames.end())
                rest = std::max(rest, static_cast<size_t>(found - alleleNames.begin()) + 1);
        }
    }
    if (rest + 1 >= frequencies.size()) return frequencies;
    for (size_t i = rest + 1; i < frequencies.size(); ++i) frequencies[rest] += frequencies[i];
    frequencies.resize(rest + 1);
    return frequencies;
}

std::vector<double> linkageFrequencies(const ClusterSystem& system,
                                       const std::vector<GenotypeTable::TextSlots>& genotypes,
                                       int newAlleleModel) {
    return lumpFrequencies(
        adjustFrequencies(system.frequencies, system.alleleNames, genotypes, newAlleleModel),
        system.alleleNames, genotypes);
}

}  // namespace relatix
