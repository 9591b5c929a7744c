// A father, his daughter and her child by an unrelated man, whom the data do not
// include.
#pragma once

#include "engine/incest.h"

namespace relatix {

class CNoIncest : public CDaughterChild {
public:
    CNoIncest(int father = 1, int daughter = 2, int child = 3)
        : CDaughterChild(false, father, daughter, child) {}
};

}  // namespace relatix
