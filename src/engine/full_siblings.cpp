#include "engine/full_siblings.h"

#include "engine/setup_enumeration.h"

namespace relatix {

void CFullSiblings::setupGenotypes() {
    forEachSystem([this](int c, int k, const ClusterSystem& system) {
        const auto [x1, x2] = typedPair(c, k, first);
        const auto [y1, y2] = typedPair(c, k, second);
        std::vector<int> typed = {x1, x2, y1, y2};
        const auto pairs = ancestorPairs(static_cast<int>(system.alleleNames.size()), typed, steps);
        FounderSetups setups;
        setups.addGroup(2, pairs);
        setups.addGroup(2, pairs);
        appendMarker(std::move(typed), std::move(setups));
    });
}

double CFullSiblings::dataProbability(int marker, int pattern, int setup) const {
    int s[4];
    const auto& [g, female, male] = decodedMarker(marker, setup, s);
    const auto& bits = patternBits(pattern);
    return genotypeProbability(female.row(s[bits[0]]), male.row(s[2 + bits[2]]), g[0], g[1]) *
           genotypeProbability(female.row(s[bits[1]]), male.row(s[2 + bits[3]]), g[2], g[3]);
}

void CFullSiblings::prepareMarker(int marker) const {
    if (preparedMarker_ == marker) return;
    const auto& [g, female, male] = markerData(marker);
    const int n = female.size();
    firstGiven_.assign(static_cast<size_t>(n) * n, 0.0);
    secondGiven_.assign(static_cast<size_t>(n) * n, 0.0);
    for (int a = 0; a < n; ++a)
        for (int b = 0; b < n; ++b) {
            const size_t e = static_cast<size_t>(a) * n + b;
            firstGiven_[e] = genotypeProbability(female.row(a), male.row(b), g[0], g[1]);
            secondGiven_[e] = genotypeProbability(female.row(a), male.row(b), g[2], g[3]);
        }
    preparedMarker_ = marker;
}

void CFullSiblings::patternEmissions(int marker, double* out) const {
    prepareMarker(marker);
    const auto factorsOf = [this](int j, std::vector<FactorSums::Factor>& factors) {
        const auto& bits = patternBits(j);
        factors.push_back({0, bits[0], 2 + bits[2]});
        factors.push_back({1, bits[1], 2 + bits[3]});
    };
    if (!sumFactors(marker, {firstGiven_.data(), secondGiven_.data()}, factorsOf, out))
        CRelationship::patternEmissions(marker, out);
}

void CFullSiblings::dataProbabilities(int marker, int firstSetup, int count, double* out) const {
    prepareMarker(marker);
    const auto& groups = founderSetups[static_cast<size_t>(marker)].groups();
    const FounderSetups::Group& mothers = groups[0];
    const FounderSetups::Group& fathers = groups[1];
    const int fatherCount = fathers.count();
    const int n = femaleMutationMatrices[static_cast<size_t>(marker)].size();
    int im = firstSetup / fatherCount;
    int ifa = firstSetup % fatherCount;
    for (int s = 0; s < count; ++s) {
        const int* mp = mothers.tuple(im);
        const int* fp = fathers.tuple(ifa);
        // x[p0][p2]: sibling 1 given the mother's slot p0 and the father's slot p2.
        double x[2][2], y[2][2];
        for (int a = 0; a < 2; ++a)
            for (int b = 0; b < 2; ++b) {
                const size_t e = static_cast<size_t>(mp[a]) * n + fp[b];
                x[a][b] = firstGiven_[e];
                y[a][b] = secondGiven_[e];
            }
        double* d = out + static_cast<size_t>(s) * 16;
        for (int p0 = 0; p0 < 2; ++p0)
            for (int p1 = 0; p1 < 2; ++p1)
                for (int p2 = 0; p2 < 2; ++p2)
                    for (int p3 = 0; p3 < 2; ++p3)
                        d[p0 * 8 + p1 * 4 + p2 * 2 + p3] = x[p0][p2] * y[p1][p3];
        if (++ifa == fatherCount) {
            ifa = 0;
            ++im;
        }
    }
}

}  // namespace relatix
