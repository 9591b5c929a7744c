// Two full siblings whose parents are untyped: the parents' ordered allele
// pairs are the founder slots.
#pragma once

#include <vector>

#include "engine/relationship.h"

namespace relatix {

class CFullSiblings : public CRelationship {
public:
    CFullSiblings(int firstNumber = 1, int secondNumber = 2)
        : first(firstNumber), second(secondNumber) {}

    int first;  // 1-based analysis persons
    int second;

    // Genotypes [x1, x2, y1, y2]; setups [m1, m2, f1, f2], the mother's and the
    // father's pairs that pass the steps test. Pattern bits: the mother's slot
    // to each sibling, then the father's slot to each sibling.
    void setupGenotypes() override;
    void setupInheritancePatterns() override { listAllPatterns(4); }
    double dataProbability(int marker, int pattern, int setup) const override;
    void dataProbabilities(int marker, int first, int count, double* out) const override;
    // Each sibling's factor reads the mother's and the father's slot it receives.
    void patternEmissions(int marker, double* out) const override;

private:
    // Per marker: the probability of each sibling's genotype given the alleles
    // (mother's, father's) passed on, n x n each.
    void prepareMarker(int marker) const;
    mutable int preparedMarker_ = -1;
    mutable std::vector<double> firstGiven_;
    mutable std::vector<double> secondGiven_;
};

}  // namespace relatix
