#include "simulation/random_generator.h"

namespace relatix {

int drawIndex(RandomGenerator& random, const double* cumulative, int count) {
    const double u = random.uniform();
    for (int j = 0; j < count; ++j)
        if (u < cumulative[j]) return j + 1;
    return count;
}

}  // namespace relatix
