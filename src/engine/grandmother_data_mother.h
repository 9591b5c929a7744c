// A grandparent, the grandchild's typed mother and the grandchild: the
// grandchild's father is the grandparent's untyped son, whose other parent is
// an untyped founder.
#pragma once

#include "engine/relationship.h"

namespace relatix {

class CGrandmotherDataMother : public CRelationship {
public:
    CGrandmotherDataMother(int grandparentNumber = 1, int motherNumber = 2,
                           int grandchildNumber = 3)
        : grandparent(grandparentNumber), mother(motherNumber), grandchild(grandchildNumber) {}

    int grandparent;  // 1-based analysis persons
    int mother;
    int grandchild;

    // Genotypes [c1, c2, m1, m2, g1, g2]; setups [m1, m2, g1, g2, s]: the mother
    // and the grandparent in both orders, and the allele s the father received
    // from his other parent (every allele of the marker).
    // Pattern bits: the mother's slot passed to the grandchild, the
    // grandparent's slot passed to the father, and whether the father passes
    // on the grandparent's allele (0) or his other parent's (1).
    void setupGenotypes() override;
    void setupInheritancePatterns() override { listAllPatterns(3); }
    double dataProbability(int marker, int pattern, int setup) const override;
};

}  // namespace relatix
