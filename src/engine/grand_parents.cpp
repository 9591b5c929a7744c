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
    // The grandparent passes d to the father (grandparent 1 by the male matrix,
    // grandparent 2 by the female one) and the father his allele to the
    // grandchild, each possibly mutated.
    if (bits[2] == 0) return throughFather(marker, 1, s[1 + bits[0]])[x];
    return throughFather(marker, 2, s[3 + bits[1]])[x];
}

}  // namespace relatix
