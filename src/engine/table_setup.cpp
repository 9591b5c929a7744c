#include "engine/table_setup.h"

#include <cmath>

#include "core/core.h"

namespace relatix {

void AlleleTable::resize(int sliceCount, int rowCount, int columnCount) {
    slices = sliceCount;
    rows = rowCount;
    columns = columnCount;
    values.assign(
        static_cast<size_t>(slices) * static_cast<size_t>(rows) * static_cast<size_t>(columns),
        0.0);
}

double haldaneFraction(double distanceCm) {
    // A negative distance can only come from an unordered map; the fraction
    // depends on how far apart the markers are, not on their order.
    return 0.5 * (1.0 - std::exp(-2.0 * std::fabs(distanceCm) / 100.0));
}

void CTableSetup::copySexes() {
    const auto& codes = core->genotypeTable.sexCodes;
    sexes.insert(sexes.end(), codes.begin(), codes.end());
}

void CTableSetup::buildMarkerTables() {
    const auto& clusters = core->clusterDatabase.clusters;
    double offset = 0.0;
    double previousAbsolute = 0.0;
    int currentChromosome = 1;
    bool firstKept = true;
    for (size_t c = 0; c < clusters.size(); ++c) {
        const Cluster& cluster = clusters[c];
        const bool skipped = c < clusterSkipped.size() && clusterSkipped[c];
        for (size_t k = 0; k < cluster.systems.size(); ++k) systemSkipped.push_back(skipped);
        if (skipped) continue;
        const int chromosome = cluster.chromosome + 1;
        for (size_t k = 0; k < cluster.systems.size(); ++k) {
            const double position = cluster.systems[k].position;
            endsLinkageBlock.push_back(k + 1 == cluster.systems.size());
            startsCluster.push_back(k == 0);
            double absolute = position + offset;
            if (k == 0 && firstKept) {
                // The first kept marker also fixes the current chromosome, so that
                // the markers after it on the same chromosome stay linked to it.
                currentChromosome = chromosome;
                recombinationFractions.push_back(0.0);
                firstKept = false;
            } else if (k == 0) {
                if (chromosome != currentChromosome) {
                    offset += 1000.0;
                    currentChromosome = chromosome;
                }
                absolute = position + offset;
                recombinationFractions.push_back(haldaneFraction(absolute - previousAbsolute));
            } else {
                recombinationFractions.push_back(
                    haldaneFraction(position - cluster.systems[k - 1].position));
            }
            previousAbsolute = absolute;
            chromosomeNumbers.push_back(chromosome);
        }
    }
}

HaplotypeFrequencies CTableSetup::estimateHaplotypeFrequencies(int cluster) const {
    return relatix::estimateHaplotypeFrequencies(
        core->clusterDatabase.clusters[static_cast<size_t>(cluster)],
        core->clusterDatabase.haplotypeWeight);
}

void CTableSetup::buildAlleleProbabilities() {
    theta = core->clusterDatabase.theta;
    const auto& clusters = core->clusterDatabase.clusters;
    bool first = true;
    int previousAlleles = 1;
    for (size_t c = 0; c < clusters.size(); ++c) {
        if (c < clusterSkipped.size() && clusterSkipped[c]) continue;
        const Cluster& cluster = clusters[c];
        // Conditional tables are only needed for clusters of several systems.
        HaplotypeFrequencies haplotypes;
        if (cluster.systems.size() > 1)
            haplotypes = estimateHaplotypeFrequencies(static_cast<int>(c));
        for (size_t k = 0; k < cluster.systems.size(); ++k) {
            const ClusterSystem& system = cluster.systems[k];
            const int n = static_cast<int>(system.alleleNames.size());
            AlleleTable table;
            if (k == 0) {
                const int rows = first ? 1 : previousAlleles;
                table.resize(1, rows, n);
                for (int b = 0; b < rows; ++b)
                    for (int a = 0; a < n; ++a)
                        table.at(0, b, a) = static_cast<size_t>(a) < system.frequencies.size()
                                                ? system.frequencies[static_cast<size_t>(a)]
                                                : 0.0;
            } else {
                const int kk = static_cast<int>(k);
                const int nb = static_cast<int>(cluster.systems[k - 1].alleleNames.size());
                const int nc =
                    k >= 2 ? static_cast<int>(cluster.systems[k - 2].alleleNames.size()) : 1;
                table.resize(nc, nb, n);
                for (int cc = 0; cc < nc; ++cc)
                    for (int b = 0; b < nb; ++b)
                        for (int a = 0; a < n; ++a)
                            table.at(cc, b, a) = conditionalAlleleProbability(haplotypes, kk, a, b,
                                                                              k >= 2 ? cc : -1);
            }
            alleleProbabilities.push_back(std::move(table));
            previousAlleles = n;
            first = false;
        }
    }
}

void CTableSetup::buildMutationMatrices() {
    // The cluster keeps the female settings under sex flag 0 and the male ones
    // under sex flag 1, in the order the core update copies them from the map.
    const auto& clusters = core->clusterDatabase.clusters;
    for (size_t c = 0; c < clusters.size(); ++c) {
        if (c < clusterSkipped.size() && clusterSkipped[c]) continue;
        for (const ClusterSystem& system : clusters[c].systems) {
            auto settings = [](const ClusterMutation& m) {
                return MutationModel{m.model, m.rate, m.value2, m.value3};
            };
            maleMutationMatrices.push_back(
                buildMutationMatrix(settings(system.mutation[1]), system.alleleNames));
            femaleMutationMatrices.push_back(
                buildMutationMatrix(settings(system.mutation[0]), system.alleleNames));
        }
    }
}

double CTableSetup::firstSystemProbability(int i, const int* slots, int slotCount) const {
    const double* frequencies = alleleProbabilities[static_cast<size_t>(i)].row(0, 0);
    double product = 1.0;
    if (theta == 0.0) {
        for (int j = 0; j < slotCount; ++j) product *= frequencies[slots[j]];
        return product;
    }
    // Sequential sampling of founder alleles from a subdivided population: the
    // j-th allele is the same as m of the j earlier ones with extra weight theta.
    for (int j = 0; j < slotCount; ++j) {
        int same = 0;
        for (int e = 0; e < j; ++e) same += slots[e] == slots[j];
        const double f = frequencies[slots[j]];
        product *= (same * theta + (1.0 - theta) * f) / (1.0 + (j - 1) * theta);
    }
    return product;
}

double CTableSetup::founderProbability(int i, const int* slots, int slotCount, const int* previous,
                                       const int* beforePrevious) const {
    if (startsCluster[static_cast<size_t>(i)] || previous == nullptr)
        return firstSystemProbability(i, slots, slotCount);
    const AlleleTable& table = alleleProbabilities[static_cast<size_t>(i)];
    double product = 1.0;
    for (int j = 0; j < slotCount; ++j) {
        const int c = beforePrevious && table.slices > 1 ? beforePrevious[j] : 0;
        product *= table.at(c, previous[j], slots[j]);
    }
    return product;
}

double CTableSetup::founderProbability(int i, int h, int previous, int beforePrevious) const {
    const FounderSetups& setups = founderSetups[static_cast<size_t>(i)];
    const int slotCount = setups.slotCount();
    constexpr int kInline = 16;
    int inlineSlots[3 * kInline];
    std::vector<int> heap;
    int* slots = inlineSlots;
    if (slotCount > kInline) {
        heap.resize(static_cast<size_t>(3 * slotCount));
        slots = heap.data();
    }
    setups.decode(h, slots);
    if (startsCluster[static_cast<size_t>(i)] || i == 0)
        return firstSystemProbability(i, slots, slotCount);
    int* prev = slots + slotCount;
    founderSetups[static_cast<size_t>(i - 1)].decode(previous, prev);
    int* prev2 = nullptr;
    if (beforePrevious >= 0 && i >= 2) {
        prev2 = prev + slotCount;
        founderSetups[static_cast<size_t>(i - 2)].decode(beforePrevious, prev2);
    }
    return founderProbability(i, slots, slotCount, prev, prev2);
}

void CTableSetup::trimSkippedMarkers() {
    std::vector<FounderSetups> keptSetups;
    std::vector<std::vector<int>> keptGenotypes;
    for (size_t m = 0; m < systemSkipped.size(); ++m) {
        if (systemSkipped[m]) continue;
        if (m < founderSetups.size()) keptSetups.push_back(std::move(founderSetups[m]));
        if (m < typedGenotypes.size()) keptGenotypes.push_back(std::move(typedGenotypes[m]));
    }
    founderSetups = std::move(keptSetups);
    typedGenotypes = std::move(keptGenotypes);
}

void CTableSetup::storeMarkerResults(const std::vector<double>& cumulative) {
    std::vector<double> values;
    values.reserve(systemSkipped.size());
    size_t next = 0;
    for (bool skipped : systemSkipped) {
        if (skipped)
            values.push_back(-1.0);
        else
            values.push_back(next < cumulative.size() ? cumulative[next++] : -1.0);
    }
    markerResults = std::move(values);
}

void CTableSetup::releaseTables() {
    alleleProbabilities = {};
    inheritancePatterns = {};
    founderSetups = {};
    typedGenotypes = {};
    patternSums = {};
    recombinationFractions = {};
}

}  // namespace relatix
