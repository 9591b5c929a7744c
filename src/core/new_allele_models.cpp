#include "core/new_allele_models.h"

#include <numeric>

namespace relatix {

namespace {

bool observed(const std::string& name, const std::vector<GenotypeTable::TextSlots>& genotypes) {
    for (const auto& slots : genotypes)
        for (const std::string& text : slots)
            if (text != kUnknownAllele && text == name) return true;
    return false;
}

std::vector<double> normalised(std::vector<double> frequencies, double sum) {
    if (!(sum > 0.0)) return frequencies;
    for (double& f : frequencies) f /= sum;
    return frequencies;
}

std::vector<double> searchAndSubtract(std::vector<double> frequencies,
                                      const std::vector<std::string>& names,
                                      const std::vector<GenotypeTable::TextSlots>& genotypes,
                                      double sum) {
    double excess = sum - 1.0;
    for (size_t i = 0; i < frequencies.size() && excess > 0.0; ++i) {
        const bool seen = i < names.size() && observed(names[i], genotypes);
        if (seen) continue;
        if (frequencies[i] > excess) {
            frequencies[i] -= excess;
            excess = 0.0;
        } else {
            excess -= frequencies[i];
            frequencies[i] = kMinimumFrequency;
        }
    }
    return frequencies;
}

}  // namespace

std::vector<double> adjustFrequencies(const std::vector<double>& frequencies,
                                      const std::vector<std::string>& alleleNames,
                                      const std::vector<GenotypeTable::TextSlots>& genotypes,
                                      int model) {
    const double sum = std::accumulate(frequencies.begin(), frequencies.end(), 0.0);
    if (sum == 1.0) return frequencies;
    if (model == kNormaliseModel) return normalised(frequencies, sum);
    if (sum > 1.0) return searchAndSubtract(frequencies, alleleNames, genotypes, sum);
    std::vector<double> adjusted = frequencies;
    if (1.0 - sum > kMinimumFrequency) adjusted.push_back(1.0 - sum);
    return adjusted;
}

std::vector<GenotypeTable::TextSlots> genotypesAt(const GenotypeTable& table, int cluster,
                                                  int system) {
    if (cluster < 1 || cluster > static_cast<int>(table.alleleTexts.size())) return {};
    const auto& systems = table.alleleTexts[static_cast<size_t>(cluster - 1)];
    if (system < 1 || system > static_cast<int>(systems.size())) return {};
    return systems[static_cast<size_t>(system - 1)];
}

}  // namespace relatix
