#include "engine/grandmother_data_mother.h"

#include <numeric>

#include "engine/setup_enumeration.h"

namespace relatix {

void CGrandmotherDataMother::setupGenotypes() {
    forEachSystem([this](int c, int k, const ClusterSystem& system) {
        const auto [c1, c2] = typedPair(c, k, grandchild);
        const auto [m1, m2] = typedPair(c, k, mother);
        const auto [g1, g2] = typedPair(c, k, grandparent);
        // The father's allele from his other parent is unused whenever he passes
        // on the grandparent's allele, so it runs over every allele: its
        // frequencies then sum to 1 for those patterns.
        std::vector<int> other(system.alleleNames.size());
        std::iota(other.begin(), other.end(), 0);
        FounderSetups setups;
        setups.addGroup(2, bothOrders(m1, m2));
        setups.addGroup(2, bothOrders(g1, g2));
        setups.addGroup(1, std::move(other));
        appendMarker({c1, c2, m1, m2, g1, g2}, std::move(setups));
    });
}

double CGrandmotherDataMother::dataProbability(int marker, int pattern, int setup) const {
    int s[5];
    const auto& [g, female, male] = decodedMarker(marker, setup, s);
    const auto& bits = patternBits(pattern);
    const int a = s[bits[0]];
    // The father passes on either the allele s from his other parent or the one
    // he received from the grandparent; the latter comes through two
    // transmissions, each possibly mutated.
    if (bits[2] == 1) return genotypeProbability(female.row(a), male.row(s[4]), g[0], g[1]);
    const int sex = static_cast<size_t>(grandparent - 1) < sexes.size()
                        ? sexes[static_cast<size_t>(grandparent - 1)]
                        : 1;
    return genotypeProbability(female.row(a), throughFather(marker, sex, s[2 + bits[1]]), g[0],
                               g[1]);
}

}  // namespace relatix
