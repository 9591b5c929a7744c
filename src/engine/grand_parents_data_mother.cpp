#include "engine/grand_parents_data_mother.h"

#include "engine/setup_enumeration.h"

namespace relatix {

void CGrandParentsDataMother::setupGenotypes() {
    forEachSystem([this](int c, int k, const ClusterSystem&) {
        int c1 = 0, c2 = 0, m1 = 0, m2 = 0, a1 = 0, a2 = 0, b1 = 0, b2 = 0;
        typedAlleles(c, k, grandchild, c1, c2);
        typedAlleles(c, k, mother, m1, m2);
        typedAlleles(c, k, grandfather, a1, a2);
        typedAlleles(c, k, grandmother, b1, b2);
        FounderSetups setups;
        setups.addGroup(2, bothOrders(m1, m2));
        setups.addGroup(2, bothOrders(a1, a2));
        setups.addGroup(2, bothOrders(b1, b2));
        appendMarker({c1, c2, m1, m2, a1, a2, b1, b2}, std::move(setups));
    });
}

double CGrandParentsDataMother::dataProbability(int marker, int pattern, int setup) const {
    const size_t m = static_cast<size_t>(marker);
    int s[6];
    founderSetups[m].decode(setup, s);
    const auto& bits = inheritancePatterns[static_cast<size_t>(pattern)];
    const auto& g = typedGenotypes[m];
    const MutationMatrix& female = femaleMutationMatrices[m];
    const MutationMatrix& male = maleMutationMatrices[m];
    // The father carries the allele unchanged, weighted by the diagonal of the
    // matrix of the grandparent it came from, and passes it on.
    const int d = bits[2] == 0 ? s[2 + bits[0]] : s[4 + bits[1]];
    const double carried = bits[2] == 0 ? male.at(d, d) : female.at(d, d);
    return carried * genotypeProbability(female.row(s[bits[3]]), male.row(d), g[0], g[1]);
}

}  // namespace relatix
