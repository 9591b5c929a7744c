// Three full siblings whose parents are untyped.
#pragma once

#include "engine/sibship.h"

namespace relatix {

class CThreeFullSiblings : public CSibship {
public:
    CThreeFullSiblings(int first = 1, int second = 2, int third = 3);

    int first;  // 1-based analysis persons
    int second;
    int third;
};

}  // namespace relatix
