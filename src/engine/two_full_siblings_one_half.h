// Two full siblings and a half sibling who shares their mother (maternal) or
// their father (paternal); all parents are untyped.
#pragma once

#include "engine/sibship.h"

namespace relatix {

class CTwoFullSiblingsOneHalf : public CSibship {
public:
    CTwoFullSiblingsOneHalf(int first = 1, int second = 2, int half = 3)
        : CTwoFullSiblingsOneHalf(false, first, second, half) {}

    int first;  // 1-based analysis persons: the full siblings, then the half sibling
    int second;
    int half;

protected:
    CTwoFullSiblingsOneHalf(bool paternal, int first, int second, int half);
};

}  // namespace relatix
