// A grandparent and a grandchild, both typed: the grandchild's father is the
// grandparent's untyped son, the grandchild's mother and the grandparent's
// partner are untyped founders.
#pragma once

#include "engine/relationship.h"

namespace relatix {

class CGrandMother : public CRelationship {
public:
    CGrandMother(int grandparentNumber = 1, int grandchildNumber = 2)
        : grandparent(grandparentNumber), grandchild(grandchildNumber) {}

    int grandparent;  // 1-based analysis persons
    int grandchild;

    // Genotypes [c1, c2, g1, g2] (the grandchild's, then the grandparent's);
    // setups [g1, g2, s, o]: the grandparent in both orders, the allele s the
    // father received from the grandparent's partner (every allele of the
    // marker), and the grandchild's allele o from the mother.
    // Pattern bits: the grandparent's slot passed to the father, and whether
    // the father passes on the grandparent's allele (0) or the partner's (1).
    void setupGenotypes() override;
    void setupInheritancePatterns() override { listAllPatterns(2); }
    double dataProbability(int marker, int pattern, int setup) const override;
};

}  // namespace relatix
