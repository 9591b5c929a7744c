// An uncle, the typed mother of his nephew and the nephew: the nephew's father
// is the uncle's untyped brother, the grandparents are untyped founders.
#pragma once

#include <vector>

#include "engine/relationship.h"

namespace relatix {

class CAuntDataMother : public CRelationship {
public:
    CAuntDataMother(int uncle = 1, int mother = 2, int nephew = 3)
        : uncle(uncle), mother(mother), nephew(nephew) {}

    int uncle;  // 1-based analysis persons
    int mother;
    int nephew;

    // Genotypes [w1, w2, u1, u2, m1, m2] (nephew, uncle, mother); setups
    // [m1, m2, a1, a2, b1, b2]: the mother in both orders, passing on her first
    // slot (her single transmission carries no phase from marker to marker),
    // then the first (female) and the second (male) grandparent's pairs that
    // pass the steps test.
    // Pattern bits: the uncle's slot of each grandparent, the father's slot of
    // each grandparent, and which grandparent's allele the father passes on.
    void setupGenotypes() override;
    void setupInheritancePatterns() override { listAllPatterns(5); }
    double dataProbability(int marker, int pattern, int setup) const override;
    void dataProbabilities(int marker, int first, int count, double* out) const override;

private:
    void prepareMarker(int marker) const;
    mutable int preparedMarker_ = -1;
    mutable std::vector<double> uncleGiven_;  // n x n: given (grandmother's, grandfather's) allele
    mutable std::vector<double>
        nephewGiven_;  // per order of the mother, n: given the father's allele
};

}  // namespace relatix
