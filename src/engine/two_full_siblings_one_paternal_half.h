// Two full siblings and their paternal half sibling; all parents are untyped.
#pragma once

#include "engine/two_full_siblings_one_half.h"

namespace relatix {

class CTwoFullSiblingsOnePaternalHalf : public CTwoFullSiblingsOneHalf {
public:
    CTwoFullSiblingsOnePaternalHalf(int firstNumber = 1, int secondNumber = 2, int halfNumber = 3)
        : CTwoFullSiblingsOneHalf(true, firstNumber, secondNumber, halfNumber) {}
};

}  // namespace relatix
