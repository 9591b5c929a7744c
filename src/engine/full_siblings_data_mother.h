// Two full siblings with their typed mother; the father is untyped.
#pragma once

#include "engine/sibship.h"

namespace relatix {

class CFullSiblingsDataMother : public CSibship {
public:
    CFullSiblingsDataMother(int mother = 1, int firstChild = 2, int secondChild = 3);

    int mother;  // 1-based analysis persons
    int firstChild;
    int secondChild;
};

}  // namespace relatix
