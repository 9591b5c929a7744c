// A father, his daughter and her child: the father is a typed founder, the
// daughter's mother an untyped founder. The child's father is the daughter's own
// father (incest) or an unrelated untyped man (no incest).
#pragma once

#include "engine/relationship.h"

namespace relatix {

class CDaughterChild : public CRelationship {
public:
    CDaughterChild(bool childOfFather, int fatherNumber, int daughterNumber, int childNumber)
        : father(fatherNumber),
          daughter(daughterNumber),
          child(childNumber),
          childOfFather_(childOfFather) {}

    int father;  // 1-based analysis persons
    int daughter;
    int child;

    // Genotypes [c1, c2, d1, d2, f1, f2]. Setups: with incest [f1, f2, o], the
    // father in both orders and the daughter's allele o from her mother; without,
    // [oc, od, f1, f2], the child's allele from its father, the daughter's allele
    // from her mother, then the father in both orders. The daughter's other
    // allele is the one she received from the father.
    // Pattern bits: with incest first the father's slot passed to the child; then
    // the father's slot passed to the daughter, and whether the daughter passes
    // on the allele she received from the father (0) or from her mother (1).
    // Choosing by origin keeps linked results independent of the order in which
    // her alleles were typed.
    void setupGenotypes() override;
    void setupInheritancePatterns() override { listAllPatterns(childOfFather_ ? 3 : 2); }
    double dataProbability(int marker, int pattern, int setup) const override;

private:
    bool childOfFather_;
};

class CIncest : public CDaughterChild {
public:
    CIncest(int fatherNumber = 1, int daughterNumber = 2, int childNumber = 3)
        : CDaughterChild(true, fatherNumber, daughterNumber, childNumber) {}
};

}  // namespace relatix
