// Two typed grandparents and a grandchild: the grandchild's father is their
// untyped son, the grandchild's mother an untyped founder.
#pragma once

#include "engine/relationship.h"

namespace relatix {

class CGrandParents : public CRelationship {
public:
    CGrandParents(int grandfatherNumber = 1, int grandmotherNumber = 2, int grandchildNumber = 3)
        : grandfather(grandfatherNumber),
          grandmother(grandmotherNumber),
          grandchild(grandchildNumber) {}

    int grandfather;  // 1-based analysis persons
    int grandmother;
    int grandchild;

    // Genotypes [c1, c2, a1, a2, b1, b2] (grandchild, grandparent 1, 2); setups
    // [o, a1, a2, b1, b2]: the grandchild's allele from the mother, then both
    // grandparents in both orders.
    // Pattern bits: grandparent 1's slot passed to the father, grandparent 2's,
    // and whether the father passes on grandparent 1's allele (0) or 2's (1).
    // The bit of the grandparent whose allele is not passed on carries that
    // grandparent's phase to the next marker.
    void setupGenotypes() override;
    void setupInheritancePatterns() override { listAllPatterns(3); }
    double dataProbability(int marker, int pattern, int setup) const override;
};

}  // namespace relatix
