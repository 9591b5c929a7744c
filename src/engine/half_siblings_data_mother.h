// Two maternal half siblings with their typed mother; the fathers are untyped.
#pragma once

#include "engine/sibship.h"

namespace relatix {

class CHalfSiblingsDataMother : public CSibship {
public:
    CHalfSiblingsDataMother(int mother = 1, int firstChild = 2, int secondChild = 3);

    int mother;  // 1-based analysis persons
    int firstChild;
    int secondChild;
};

}  // namespace relatix
