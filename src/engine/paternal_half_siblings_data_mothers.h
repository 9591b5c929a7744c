// Two paternal half siblings with their two typed mothers; the common father
// is untyped.
#pragma once

#include "engine/sibship.h"

namespace relatix {

class CPaternalHalfSiblingsDataMothers : public CSibship {
public:
    CPaternalHalfSiblingsDataMothers(int firstMother = 1, int secondMother = 2, int firstChild = 3,
                                     int secondChild = 4);

    int firstMother;  // 1-based analysis persons
    int secondMother;
    int firstChild;
    int secondChild;
};

}  // namespace relatix
