// A father, his daughter and her child by an unrelated man: the father is a
// typed founder, the daughter's mother and the child's father untyped founders.
#pragma once

#include "engine/relationship.h"

namespace relatix {

class CNoIncest : public CRelationship {
public:
    CNoIncest(int father = 1, int daughter = 2, int child = 3)
        : father(father), daughter(daughter), child(child) {}

    int father;  // 1-based analysis persons
    int daughter;
    int child;

    // Genotypes [c1, c2, d1, d2, f1, f2]; setups [oc, od, f1, f2]: the child's
    // allele from its father, the daughter's allele from her mother, then the
    // father in both orders.
    // Pattern bits: the father's slot passed to the daughter, and whether the
    // daughter passes on the allele she received from the father (0) or from
    // her mother (1). Choosing by origin keeps linked results independent of
    // the order in which her alleles were typed.
    void setupGenotypes() override;
    void setupInheritancePatterns() override { listAllPatterns(2); }
    double dataProbability(int marker, int pattern, int setup) const override;
};

}  // namespace relatix
