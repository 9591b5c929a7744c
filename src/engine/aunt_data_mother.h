// An uncle, the typed mother of his nephew and the nephew.
#pragma once

#include "engine/aunt.h"

namespace relatix {

class CAuntDataMother : public CAunt {
public:
    CAuntDataMother(int uncleNumber = 1, int motherNumber = 2, int nephewNumber = 3)
        : CAunt(uncleNumber, nephewNumber) {
        mother = motherNumber;
    }
};

}  // namespace relatix
