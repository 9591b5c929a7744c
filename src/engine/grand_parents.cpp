#include "engine/grand_parents.h"

#include "engine/setup_enumeration.h"

namespace relatix {

void CGrandParents::setupGenotypes() {
    forEachSystem([this](int c, int k, const ClusterSystem&) {
        const auto [c1, c2] = typedPair(c, k, grandchild);
        const auto [a1, a2] = typedPair(c, k, grandfather);
        const auto [b1, b2] = typedPair(c, k, grandmother);
        FounderSetups setups;
        setups.addGroup(1, eitherAllele(c1, c2));
        setups.addGroup(2, bothOrders(a1, a2));
        setups.addGroup(2, bothOrders(b1, b2));
        appendMarker({c1, c2, a1, a2, b1, b2}, std::move(setups));
    });
}

double CGrandParents::dataProbability(int marker, int pattern, int setup) const {
    int s[5];
    const auto& [g, female, male] = decodedMarker(marker, setup, s);
    const auto& bits = patternBits(pattern);
    const int x = s[0] == g[0] ? g[1] : g[0];  // the grandchild's allele from the father
    // The father carries the allele unchanged, weighted by the diagonal of the
    // matrix of the grandparent it came from, and passes it on.
    if (bits[2] == 0) {
        const int d = s[1 + bits[0]];
        return male.at(d, d) * male.at(d, x);
    }
    const int d = s[3 + bits[1]];
    return female.at(d, d) * male.at(d, x);
}

}  // namespace relatix
