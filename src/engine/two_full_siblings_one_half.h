// Two full siblings and their maternal half sibling; all parents are untyped.
#pragma once

#include "engine/sibship.h"

namespace relatix {

class CTwoFullSiblingsOneHalf : public CSibship {
public:
    CTwoFullSiblingsOneHalf(int first = 1, int second = 2, int half = 3);

    int first;  // 1-based analysis persons: the full siblings, then the half sibling
    int second;
    int half;
};

}  // namespace relatix
