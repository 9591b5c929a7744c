#include "engine/maternity.h"

#include "engine/setup_enumeration.h"

namespace relatix {

void CMaternity::setupGenotypes() {
    forEachSystem([this](int c, int k, const ClusterSystem&) {
        const auto [c1, c2] = typedPair(c, k, child);
        const auto [p1, p2] = typedPair(c, k, parent);
        FounderSetups setups;
        setups.addGroup(1, eitherAllele(c1, c2));
        setups.addGroup(2, bothOrders(p1, p2));
        appendMarker({c1, c2}, std::move(setups), {p1, p2});
    });
}

double CMaternity::dataProbability(int marker, int pattern, int setup) const {
    int slots[3];
    founderSetups[static_cast<size_t>(marker)].decode(setup, slots);
    const auto& g = typedGenotypes[static_cast<size_t>(marker)];
    const int transmitted =
        inheritancePatterns[static_cast<size_t>(pattern)][0] ? slots[2] : slots[1];
    const int received = slots[0] == g[0] ? g[1] : g[0];
    const int sex =
        static_cast<size_t>(parent - 1) < sexes.size() ? sexes[static_cast<size_t>(parent - 1)] : 1;
    return mutationProbability(sex, marker, transmitted, received);
}

}  // namespace relatix
