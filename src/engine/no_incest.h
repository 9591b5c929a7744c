// A father, his daughter and her child by an unrelated man, whom the data do not
// include.
#pragma once

#include "engine/incest.h"

namespace relatix {

class CNoIncest : public CDaughterChild {
public:
    CNoIncest(int fatherNumber = 1, int daughterNumber = 2, int childNumber = 3)
        : CDaughterChild(false, fatherNumber, daughterNumber, childNumber) {}
};

}  // namespace relatix
