// A parent and child: the child's other allele comes from an untyped parent
// and enters through its founder probability only.
#pragma once

#include "engine/relationship.h"

namespace relatix {

class CMaternity : public CRelationship {
public:
    CMaternity(int parentNumber, int childNumber) : parent(parentNumber), child(childNumber) {}

    int parent;  // 1-based analysis persons
    int child;

    // Genotypes [c1, c2]; setups [o, pa, pb]: the child's allele from the other
    // parent, then the parent's alleles in both orders.
    void setupGenotypes() override;
    void setupInheritancePatterns() override { listAllPatterns(1); }
    double dataProbability(int marker, int pattern, int setup) const override;
};

}  // namespace relatix
