// An uncle and his nephew: the untyped grandparents' ordered allele pairs and
// the nephew's allele from his untyped mother are the founder slots.
#pragma once

#include <vector>

#include "engine/relationship.h"

namespace relatix {

class CAunt : public CRelationship {
  public:
    CAunt(int uncle = 1, int nephew = 2) : uncle(uncle), nephew(nephew) {}

    int uncle;  // 1-based analysis persons
    int nephew;

    // Genotypes [w1, w2, u1, u2] (the nephew's, then the uncle's); setups
    // [o, a1, a2, b1, b2]: the nephew's allele from his mother, then the first
    // (female) and the second (male) grandparent's pairs that pass the steps test.
    // Pattern bits: the uncle's slot of each grandparent, the father's slot of
    // each grandparent, and which grandparent's allele the father passes on.
    void setupGenotypes() override;
    void setupInheritancePatterns() override { listAllPatterns(5); }
    double dataProbability(int marker, int pattern, int setup) const override;
    void dataProbabilities(int marker, int first, int count, double* out) const override;

  private:
    void prepareMarker(int marker) const;
    mutable int preparedMarker_ = -1;
    mutable std::vector<double> uncleGiven_;   // n x n: given (grandmother's, grandfather's) allele
    mutable std::vector<double> nephewGiven_;  // per choice of o, n: given the father's allele
};

}  // namespace relatix
