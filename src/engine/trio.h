// A child with both parents typed: the parents' alleles are the founder slots.
#pragma once

#include "engine/relationship.h"

namespace relatix {

class Core;

class CTrio : public CRelationship {
public:
    // Person 1 is the father when male (sex code 1), the mother otherwise;
    // person 2 takes the other part and person 3 is the child.
    explicit CTrio(const Core& caseData);

    int father;
    int mother;
    int child = 3;

    // Genotypes [c1, c2]; setups [f1, f2, m1, m2], each parent in both orders.
    // Pattern bits: the father's slot, then the mother's slot.
    void setupGenotypes() override;
    void setupInheritancePatterns() override { listAllPatterns(2); }
    double dataProbability(int marker, int pattern, int setup) const override;
};

}  // namespace relatix
