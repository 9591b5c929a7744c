// Two full siblings and a half sibling who shares their mother (maternal) or
// their father (paternal); all parents are untyped.
#pragma once

#include "engine/sibship.h"

namespace relatix {

class CTwoFullSiblingsOneHalf : public CSibship {
public:
    CTwoFullSiblingsOneHalf(int firstNumber = 1, int secondNumber = 2, int halfNumber = 3)
        : CTwoFullSiblingsOneHalf(false, firstNumber, secondNumber, halfNumber) {}

    int first;  // 1-based analysis persons: the full siblings, then the half sibling
    int second;
    int half;

protected:
    CTwoFullSiblingsOneHalf(bool paternal, int first, int second, int half);
};

}  // namespace relatix
