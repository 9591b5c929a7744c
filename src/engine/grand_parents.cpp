#include "engine/grand_parents.h"

#include "engine/setup_enumeration.h"

namespace relatix {

void CGrandParents::setupGenotypes() {
    forEachSystem([this](int c, int k, const ClusterSystem&) {
        int c1 = 0, c2 = 0, a1 = 0, a2 = 0, b1 = 0, b2 = 0;
        typedAlleles(c, k, grandchild, c1, c2);
        typedAlleles(c, k, grandfather, a1, a2);
        typedAlleles(c, k, grandmother, b1, b2);
        FounderSetups setups;
        setups.addGroup(1, eitherAllele(c1, c2));
        setups.addGroup(2, bothOrders(a1, a2));
        setups.addGroup(2, bothOrders(b1, b2));
        appendMarker({c1, c2, a1, a2, b1, b2}, std::move(setups));
    });
}

double CGrandParents::dataProbability(int marker, int pattern, int setup) const {
    const size_t m = static_cast<size_t>(marker);
    int s[5];
    founderSetups[m].decode(setup, s);
    const auto& bits = inheritancePatterns[static_cast<size_t>(pattern)];
    const auto& g = typedGenotypes[m];
    const int x = s[0] == g[0] ? g[1] : g[0];  // the grandchild's allele from the father
    const MutationMatrix& male = maleMutationMatrices[m];
    // The father carries the allele unchanged, weighted by the diagonal of the
    // matrix of the grandparent it came from, and passes it on.
    if (bits[2] == 0) {
        const int d = s[1 + bits[0]];
        return male.at(d, d) * male.at(d, x);
    }
    const int d = s[3 + bits[1]];
    return femaleMutationMatrices[m].at(d, d) * male.at(d, x);
}

}  // namespace relatix
