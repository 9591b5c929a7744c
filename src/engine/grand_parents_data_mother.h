// Two typed grandparents, the grandchild's typed mother and the grandchild:
// the grandchild's father is the grandparents' untyped son.
#pragma once

#include "engine/relationship.h"

namespace relatix {

class CGrandParentsDataMother : public CRelationship {
public:
    CGrandParentsDataMother(int grandfatherNumber = 1, int grandmotherNumber = 2,
                            int motherNumber = 3, int grandchildNumber = 4)
        : grandfather(grandfatherNumber),
          grandmother(grandmotherNumber),
          mother(motherNumber),
          grandchild(grandchildNumber) {}

    int grandfather;  // 1-based analysis persons
    int grandmother;
    int mother;
    int grandchild;

    // Genotypes [c1, c2, m1, m2, a1, a2, b1, b2]; setups [m1, m2, a1, a2, b1, b2]:
    // the mother and both grandparents in both orders.
    // Pattern bits: grandparent 1's slot passed to the father, grandparent 2's,
    // whether the father passes on grandparent 1's allele (0) or 2's (1), and
    // the mother's slot passed to the grandchild.
    void setupGenotypes() override;
    void setupInheritancePatterns() override { listAllPatterns(4); }
    double dataProbability(int marker, int pattern, int setup) const override;
};

}  // namespace relatix
