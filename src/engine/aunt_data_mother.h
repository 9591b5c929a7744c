// An uncle, the typed mother of his nephew and the nephew.
#pragma once

#include "engine/aunt.h"

namespace relatix {

class CAuntDataMother : public CAunt {
public:
    CAuntDataMother(int uncle = 1, int mother = 2, int nephew = 3) : CAunt(uncle, nephew) {
        this->mother = mother;
    }
};

}  // namespace relatix
