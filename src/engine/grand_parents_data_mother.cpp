#include "engine/grand_parents_data_mother.h"

#include "engine/setup_enumeration.h"

namespace relatix {

void CGrandParentsDataMother::setupGenotypes() {
    forEachSystem([this](int c, int k, const ClusterSystem&) {
        const auto [c1, c2] = typedPair(c, k, grandchild);
        const auto [m1, m2] = typedPair(c, k, mother);
        const auto [a1, a2] = typedPair(c, k, grandfather);
        const auto [b1, b2] = typedPair(c, k, grandmother);
        FounderSetups setups;
        setups.addGroup(2, bothOrders(m1, m2));
        setups.addGroup(2, bothOrders(a1, a2));
        setups.addGroup(2, bothOrders(b1, b2));
        appendMarker({c1, c2, m1, m2, a1, a2, b1, b2}, std::move(setups));
    });
}

double CGrandParentsDataMother::dataProbability(int marker, int pattern, int setup) const {
    int s[6];
    const auto& [g, female, male] = decodedMarker(marker, setup, s);
    const auto& bits = patternBits(pattern);
    // The grandparent passes d to the father (grandparent 1 by the male matrix,
    // grandparent 2 by the female one) and the father his allele to the
    // grandchild, each possibly mutated.
    const int d = bits[2] == 0 ? s[2 + bits[0]] : s[4 + bits[1]];
    const double* father = throughFather(marker, bits[2] == 0 ? 1 : 2, d);
    return genotypeProbability(female.row(s[bits[3]]), father, g[0], g[1]);
}

}  // namespace relatix
