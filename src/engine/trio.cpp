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
        const auto [c1, c2] = typedPair(c, k, child);
        const auto [f1, f2] = typedPair(c, k, father);
        const auto [m1, m2] = typedPair(c, k, mother);
        FounderSetups setups;
        setups.addGroup(2, bothOrders(f1, f2));
        setups.addGroup(2, bothOrders(m1, m2));
        appendMarker({c1, c2}, std::move(setups), {f1, f2, m1, m2});
    });
}

double CTrio::dataProbability(int marker, int pattern, int setup) const {
    int slots[4];
    const auto& [g, female, male] = decodedMarker(marker, setup, slots);
    const auto& bits = patternBits(pattern);
    return genotypeProbability(male.row(slots[bits[0]]), female.row(slots[2 + bits[1]]), g[0],
                               g[1]);
}

}  // namespace relatix
