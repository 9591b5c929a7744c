#include "engine/grand_mother.h"

#include <numeric>

#include "engine/setup_enumeration.h"

namespace relatix {

void CGrandMother::setupGenotypes() {
    forEachSystem([this](int c, int k, const ClusterSystem& system) {
        const auto [c1, c2] = typedPair(c, k, grandchild);
        const auto [g1, g2] = typedPair(c, k, grandparent);
        // The partner's allele is unused whenever the father passes on the
        // grandparent's allele, so it runs over every allele: its frequencies
        // then sum to 1 for those patterns.
        std::vector<int> partner(system.alleleNames.size());
        std::iota(partner.begin(), partner.end(), 0);
        FounderSetups setups;
        setups.addGroup(2, bothOrders(g1, g2));
        setups.addGroup(1, std::move(partner));
        setups.addGroup(1, eitherAllele(c1, c2));
        appendMarker({c1, c2, g1, g2}, std::move(setups));
    });
}

double CGrandMother::dataProbability(int marker, int pattern, int setup) const {
    int s[4];
    const auto& [g, female, male] = decodedMarker(marker, setup, s);
    const auto& bits = patternBits(pattern);
    const int x = s[3] == g[0] ? g[1] : g[0];  // the grandchild's allele from the father
    if (bits[1] == 1) return male.at(s[2], x);
    // The grandparent passes d to the father and the father his allele to the
    // grandchild, each possibly mutated.
    const int d = s[bits[0]];
    const int sex = static_cast<size_t>(grandparent - 1) < sexes.size()
                        ? sexes[static_cast<size_t>(grandparent - 1)]
                        : 1;
    return throughFather(marker, sex, d)[x];
}

}  // namespace relatix
