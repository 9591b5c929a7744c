// Two half siblings whose common parent and other parents are untyped.
#pragma once

#include "engine/sibship.h"

namespace relatix {

class CHalfSiblings : public CSibship {
public:
    CHalfSiblings(int firstNumber = 1, int secondNumber = 2)
        : first(firstNumber), second(secondNumber) {}

    int first;  // 1-based analysis persons
    int second;

    // Genotypes [x1, x2, y1, y2]; setups [o1, c1, c2, o2]: sibling 1's allele
    // from its other parent, the common parent's pair, sibling 2's allele from
    // its other parent. Pattern bits: the common parent's slot passed to
    // sibling 1, to sibling 2. The common parent is the mother for "Half
    // Siblings" and the father for "Half Siblings different mothers", and its
    // transmissions use the mutation matrix of that parent's sex.
    void setupGenotypes() override;
};

}  // namespace relatix
