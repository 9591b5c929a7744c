#include "linkage/linkage_frequencies.h"

#include <algorithm>

#include "core/new_allele_models.h"

namespace relatix {

std::vector<double> lumpFrequencies(std::vector<double> frequencies,
                                    const std::vector<std::string>& alleleNames,
                                    const std::vector<GenotypeTable::TextSlots>& genotypes) {
    if (frequencies.size() < kLumpingThreshold) return frequencies;
    size_t last = 2;
    for (const GenotypeTable::TextSlots& slots : genotypes) {
        for (const std::string& text : slots) {
            const auto found = std::find(alleleNames.begin(), alleleNames.end(), text);
            if (found != alleleNames.end())
                last = std::max(last, static_cast<size_t>(found - alleleNames.begin()));
        }
    }
    if (last + 1 >= frequencies.size()) return frequencies;
    for (size_t i = last + 1; i < frequencies.size(); ++i) frequencies[last] += frequencies[i];
    frequencies.resize(last + 1);
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
