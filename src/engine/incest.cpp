#include "engine/incest.h"

#include "engine/setup_enumeration.h"

namespace relatix {

void CDaughterChild::setupGenotypes() {
    forEachSystem([this](int c, int k, const ClusterSystem&) {
        const auto [c1, c2] = typedPair(c, k, child);
        const auto [d1, d2] = typedPair(c, k, daughter);
        const auto [f1, f2] = typedPair(c, k, father);
        FounderSetups setups;
        if (!childOfFather_) setups.addGroup(1, eitherAllele(c1, c2));
        if (childOfFather_) setups.addGroup(2, bothOrders(f1, f2));
        setups.addGroup(1, eitherAllele(d1, d2));
        if (!childOfFather_) setups.addGroup(2, bothOrders(f1, f2));
        appendMarker({c1, c2, d1, d2, f1, f2}, std::move(setups));
    });
}

double CDaughterChild::dataProbability(int marker, int pattern, int setup) const {
    int s[4];
    const auto& [g, female, male] = decodedMarker(marker, setup, s);
    const auto& bits = patternBits(pattern);
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
