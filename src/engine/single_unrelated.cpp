#include "engine/single_unrelated.h"

#include <cmath>
#include <limits>

#include "core/core.h"
#include "engine/setup_enumeration.h"

namespace relatix {

void CSingleUnrelated::setupGenotypes() {
    const auto& clusters = core->clusterDatabase.clusters;
    const auto& texts = core->genotypeTable.alleleTexts;
    for (size_t c = 0; c < clusters.size(); ++c)
        for (size_t k = 0; k < clusters[c].systems.size(); ++k) {
            const auto& names = clusters[c].systems[k].alleleNames;
            int alleles[2] = {-1, -1};
            if (c < texts.size() && k < texts[c].size() && person >= 1 &&
                static_cast<size_t>(person) <= texts[c][k].size())
                for (int s = 0; s < 2; ++s)
                    for (size_t a = 0; a < names.size(); ++a)
                        if (names[a] == texts[c][k][static_cast<size_t>(person - 1)][s]) {
                            alleles[s] = static_cast<int>(a);
                            break;
                        }
            FounderSetups setups;
            if (alleles[0] >= 0 && alleles[1] >= 0)
                setups.addGroup(2, bothOrders(alleles[0], alleles[1]));
            typedGenotypes.push_back({alleles[0], alleles[1]});
            founderSetups.push_back(std::move(setups));
        }
}

// A forward sum over the phase of the person's alleles: within a cluster the
// state is (setup at this system, setup at the previous system), so that the
// allele table of a third system can condition on the two before it.
double CSingleUnrelated::computeLikelihood() {
    const int kept = keptMarkerCount();
    std::vector<double> cumulative(static_cast<size_t>(kept),
                                   -std::numeric_limits<double>::infinity());
    double logLikelihood = 0.0;
    // values[h * previousCount + w]: setup h here after setup w at the previous system.
    std::vector<double> values, previousValues;
    int previousCount = 1;
    for (int i = 0; i < kept; ++i) {
        const size_t ui = static_cast<size_t>(i);
        const FounderSetups& setups = founderSetups[ui];
        const int count = setups.size();
        std::vector<int> slots(2), previous(2), beforePrevious(2);
        const bool first = startsCluster[ui];
        const int width = first ? 1 : founderSetups[ui - 1].size();
        values.assign(static_cast<size_t>(count) * static_cast<size_t>(width), 0.0);
        double total = 0.0;
        for (int h = 0; h < count; ++h) {
            setups.decode(h, slots.data());
            if (first) {
                values[static_cast<size_t>(h)] =
                    founderProbability(i, slots.data(), 2, nullptr, nullptr);
                total += values[static_cast<size_t>(h)];
                continue;
            }
            const bool conditionTwoBack = i >= 2 && !startsCluster[ui - 1];
            for (int w = 0; w < width; ++w) {
                founderSetups[ui - 1].decode(w, previous.data());
                double v = 0.0;
                for (int e = 0; e < previousCount; ++e) {
                    const double before =
                        previousValues[static_cast<size_t>(w) * previousCount + e];
                    if (before == 0.0) continue;
                    const int* prev2 = nullptr;
                    if (conditionTwoBack) {
                        founderSetups[ui - 2].decode(e, beforePrevious.data());
                        prev2 = beforePrevious.data();
                    }
                    v += before * founderProbability(i, slots.data(), 2, previous.data(), prev2);
                }
                values[static_cast<size_t>(h) * width + w] = v;
                total += v;
            }
        }
        // Scaled so that the values sum to 1; the log of each factor is kept.
        if (total > 0.0) {
            for (double& v : values) v /= total;
            logLikelihood += std::log(total);
        } else {
            logLikelihood = -std::numeric_limits<double>::infinity();
        }
        cumulative[ui] = logLikelihood;
        previousValues.swap(values);
        previousCount = width;
    }
    storeMarkerResults(cumulative);
    releaseTables();
    return logLikelihood;
}

}  // namespace relatix
