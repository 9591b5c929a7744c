// A father, his daughter and the child they have together: the father is a
// typed founder, the daughter's mother an untyped founder.
#pragma once

#include "engine/relationship.h"

namespace relatix {

class CIncest : public CRelationship {
public:
    CIncest(int father = 1, int daughter = 2, int child = 3)
        : father(father), daughter(daughter), child(child) {}

    int father;  // 1-based analysis persons
    int daughter;
    int child;

    // Genotypes [c1, c2, d1, d2, f1, f2]; setups [f1, f2, o]: the father in both
    // orders and the daughter's allele o from her mother; her other allele is
    // the one she received from the father.
    // Pattern bits: the father's slot passed to the child, the father's slot
    // passed to the daughter, and whether the daughter passes on the allele she
    // received from the father (0) or from her mother (1). Choosing by origin
    // keeps linked results independent of the order in which her alleles were typed.
    void setupGenotypes() override;
    void setupInheritancePatterns() override { listAllPatterns(3); }
    double dataProbability(int marker, int pattern, int setup) const override;
};

}  // namespace relatix
