#include "engine/incest.h"

#include "engine/setup_enumeration.h"

namespace relatix {

void CDaughterChild::setupGenotypes() {
    forEachSystem([this](int c, int k, const ClusterSystem&) {
        int c1 = 0, c2 = 0, d1 = 0, d2 = 0, f1 = 0, f2 = 0;
        typedAlleles(c, k, child, c1, c2);
        typedAlleles(c, k, daughter, d1, d2);
        typedAlleles(c, k, father, f1, f2);
        FounderSetups setups;
        if (!childOfFather_) setups.addGroup(1, eitherAllele(c1, c2));
        if (childOfFather_) setups.addGroup(2, bothOrders(f1, f2));
        setups.addGroup(1, eitherAllele(d1, d2));
        if (!childOfFather_) setups.addGroup(2, bothOrders(f1, f2));
        appendMarker({c1, c2, d1, d2, f1, f2}, std::move(setups));
    });
}

double CDaughterChild::dataProbability(int marker, int pattern, int setup) const {
    const size_t m = static_cast<size_t>(marker);
    int s[4];
    founderSetups[m].decode(setup, s);
    const auto& bits = inheritancePatterns[static_cast<size_t>(pattern)];
    const auto& g = typedGenotypes[m];
    const MutationMatrix& female = femaleMutationMatrices[m];
    const MutationMatrix& male = maleMutationMatrices[m];
    // Where the father's pair, the daughter's allele from her mother and the
    // daughter's two pattern bits stand.
    const int fatherSlot = childOfFather_ ? 0 : 2;
    const int fromMother = s[childOfFather_ ? 2 : 1];
    const int daughterBit = childOfFather_ ? 1 : 0;
    const int fromFather = fromMother == g[2] ? g[3] : g[2];
    const int passed = bits[daughterBit + 1] == 0 ? fromFather : fromMother;
    const double daughterFactor = male.at(s[fatherSlot + bits[daughterBit]], fromFather);
    if (childOfFather_)
        return daughterFactor *
               genotypeProbability(female.row(passed), male.row(s[bits[0]]), g[0], g[1]);
    const int childFromDaughter = s[0] == g[0] ? g[1] : g[0];
    return daughterFactor * female.at(passed, childFromDaughter);
}

}  // namespace relatix
