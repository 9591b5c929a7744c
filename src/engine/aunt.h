// An uncle and his nephew, the nephew's mother typed or not: the nephew's father
// is the uncle's untyped brother, the grandparents are untyped founders.
#pragma once

#include <vector>

#include "engine/relationship.h"

namespace relatix {

class CAunt : public CRelationship {
public:
    CAunt(int uncleNumber = 1, int nephewNumber = 2) : uncle(uncleNumber), nephew(nephewNumber) {}

    int uncle;  // 1-based analysis persons
    int nephew;
    int mother = 0;  // the nephew's typed mother; 0 when she is not typed

    // Genotypes [w1, w2, u1, u2] (the nephew's, then the uncle's), followed by
    // [m1, m2] when the mother is typed. Setups [o, a1, a2, b1, b2]: the
    // nephew's allele from his untyped mother, or, with a typed mother,
    // [m1, m2, a1, a2, b1, b2]: the mother in both orders, passing on her first
    // slot (her single transmission carries no phase from marker to marker).
    // Then come the first (female) and the second (male) grandparent's pairs
    // that pass the steps test.
    // Pattern bits: the uncle's slot of each grandparent, the father's slot of
    // each grandparent, and which grandparent's allele the father passes on.
    void setupGenotypes() override;
    void setupInheritancePatterns() override { listAllPatterns(5); }
    double dataProbability(int marker, int pattern, int setup) const override;
    void dataProbabilities(int marker, int first, int count, double* out) const override;
    // The uncle's factor reads one slot of each grandparent, the nephew's the
    // first slot of the first group and the grandparent's slot his father passes
    // on (one table for each grandparent, whose sexes differ).
    void patternEmissions(int marker, double* out) const override;

private:
    // The width of the first setup group: the mother's side of the nephew.
    int motherSlots() const { return mother > 0 ? 2 : 1; }
    // Sex codes of the first and the second grandparent.
    static constexpr int kGrandmother = 2;
    static constexpr int kGrandfather = 1;
    // The nephew's factor when the first group holds the tuple t and the father
    // received d from the grandparent of the given sex code.
    double nephewFactor(size_t marker, const int* t, int d, int grandparentSex) const;
    void prepareMarker(int marker) const;
    mutable int preparedMarker_ = -1;
    mutable std::vector<double> uncleGiven_;  // n x n: given (grandmother's, grandfather's) allele
    // From the grandmother [0] and the grandfather [1], per tuple of the first
    // group, n: given the grandparent's allele the father received.
    mutable std::vector<double> nephewGiven_[2];
    // The same, n x n: given the allele in the first slot of the first group and
    // the grandparent's allele.
    mutable std::vector<double> nephewByAllele_[2];
};

}  // namespace relatix
