#include "engine/trio.h"

#include "core/core.h"
#include "engine/setup_enumeration.h"

namespace relatix {

CTrio::CTrio(const Core& caseData) {
    const auto& sexCodes = caseData.genotypeTable.sexCodes;
    const bool firstIsMale = sexCodes.empty() || sexCodes[0] == 1;
    father = firstIsMale ? 1 : 2;
    mother = firstIsMale ? 2 : 1;
}

void CTrio::setupGenotypes() {
    forEachSystem([this](int c, int k, const ClusterSystem&) {
        int c1 = 0, c2 = 0, f1 = 0, f2 = 0, m1 = 0, m2 = 0;
        typedAlleles(c, k, child, c1, c2);
        typedAlleles(c, k, father, f1, f2);
        typedAlleles(c, k, mother, m1, m2);
        FounderSetups setups;
        setups.addGroup(2, bothOrders(f1, f2));
        setups.addGroup(2, bothOrders(m1, m2));
        appendMarker({c1, c2}, std::move(setups), {f1, f2, m1, m2});
    });
}

double CTrio::dataProbability(int marker, int pattern, int setup) const {
    int slots[4];
    const size_t m = static_cast<size_t>(marker);
    founderSetups[m].decode(setup, slots);
    const auto& bits = inheritancePatterns[static_cast<size_t>(pattern)];
    const auto& g = typedGenotypes[m];
    return genotypeProbability(maleMutationMatrices[m].row(slots[bits[0]]),
                               femaleMutationMatrices[m].row(slots[2 + bits[1]]), g[0], g[1]);
}

}  // namespace relatix
