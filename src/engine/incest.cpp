#include "engine/incest.h"

#include "engine/setup_enumeration.h"

namespace relatix {

void CIncest::setupGenotypes() {
    forEachSystem([this](int c, int k, const ClusterSystem&) {
        int c1 = 0, c2 = 0, d1 = 0, d2 = 0, f1 = 0, f2 = 0;
        typedAlleles(c, k, child, c1, c2);
        typedAlleles(c, k, daughter, d1, d2);
        typedAlleles(c, k, father, f1, f2);
        FounderSetups setups;
        setups.addGroup(2, bothOrders(f1, f2));
        setups.addGroup(1, eitherAllele(d1, d2));
        appendMarker({c1, c2, d1, d2, f1, f2}, std::move(setups));
    });
}

double CIncest::dataProbability(int marker, int pattern, int setup) const {
    const size_t m = static_cast<size_t>(marker);
    int s[3];
    founderSetups[m].decode(setup, s);
    const auto& bits = inheritancePatterns[static_cast<size_t>(pattern)];
    const auto& g = typedGenotypes[m];
    const MutationMatrix& male = maleMutationMatrices[m];
    const int fromMother = s[2];
    const int fromFather = fromMother == g[2] ? g[3] : g[2];
    const int passed = bits[2] == 0 ? fromFather : fromMother;
    return male.at(s[bits[1]], fromFather) *
           genotypeProbability(femaleMutationMatrices[m].row(passed), male.row(s[bits[0]]), g[0],
                               g[1]);
}

}  // namespace relatix
