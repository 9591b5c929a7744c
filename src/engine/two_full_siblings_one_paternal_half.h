// Two full siblings and their paternal half sibling; all parents are untyped.
#pragma once

#include "engine/two_full_siblings_one_half.h"

namespace relatix {

class CTwoFullSiblingsOnePaternalHalf : public CTwoFullSiblingsOneHalf {
public:
    CTwoFullSiblingsOnePaternalHalf(int first = 1, int second = 2, int half = 3)
        : CTwoFullSiblingsOneHalf(true, first, second, half) {}
};

}  // namespace relatix
