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
    // The father carries the allele unchanged, weighted by the diagonal of the
    // matrix of the grandparent it came from, and passes it on.
    const int d = bits[2] == 0 ? s[2 + bits[0]] : s[4 + bits[1]];
    const double carried = bits[2] == 0 ? male.at(d, d) : female.at(d, d);
    return carried * genotypeProbability(female.row(s[bits[3]]), male.row(d), g[0], g[1]);
}

}  // namespace relatix
