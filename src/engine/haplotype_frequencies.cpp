#include "engine/haplotype_frequencies.h"

namespace relatix {

HaplotypeFrequencies estimateHaplotypeFrequencies(const Cluster& cluster, double lambda) {
    HaplotypeFrequencies result;
    const size_t systems = cluster.systems.size();
    if (systems == 0) return result;
    for (const auto& s : cluster.systems)
        if (s.alleleNames.empty()) return result;

    double observedTotal = 0.0;
    for (const auto& h : cluster.haplotypes) observedTotal += h.frequency;
    const double total = static_cast<double>(static_cast<long long>(observedTotal));
    const bool observed = !cluster.haplotypes.empty();

    std::vector<int> combination(systems, 1);
    for (;;) {
        double equilibrium = 1.0;
        for (size_t s = 0; s < systems; ++s) {
            const auto& freqs = cluster.systems[s].frequencies;
            const size_t a = static_cast<size_t>(combination[s] - 1);
            equilibrium *= a < freqs.size() ? freqs[a] : 0.0;
        }
        double frequency = equilibrium;
        if (observed) {
            double count = 0.0;
            for (const auto& h : cluster.haplotypes)
                if (h.alleleIndices == combination) count += h.frequency;
            frequency = (lambda * equilibrium + count) / (lambda + total);
        }
        result.haplotypes.push_back(combination);
        result.frequencies.push_back(frequency);

        size_t s = systems;
        while (s > 0) {
            --s;
            if (combination[s] < static_cast<int>(cluster.systems[s].alleleNames.size())) {
                ++combination[s];
                break;
            }
            combination[s] = 1;
            if (s == 0) return result;
        }
    }
}

double conditionalAlleleProbability(const HaplotypeFrequencies& haplotypes, int k, int a, int b,
                                    int c) {
    if (k < 1) return 0.0;
    double numerator = 0.0;
    double denominator = 0.0;
    for (size_t i = 0; i < haplotypes.haplotypes.size(); ++i) {
        const auto& h = haplotypes.haplotypes[i];
        if (static_cast<size_t>(k) >= h.size()) return 0.0;
        if (h[static_cast<size_t>(k - 1)] != b + 1) continue;
        if (c >= 0 && (k < 2 || h[static_cast<size_t>(k - 2)] != c + 1)) continue;
        denominator += haplotypes.frequencies[i];
        if (h[static_cast<size_t>(k)] == a + 1) numerator += haplotypes.frequencies[i];
    }
    return denominator > 0.0 ? numerator / denominator : 0.0;
}

}  // namespace relatix
