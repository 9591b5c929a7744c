#include "engine/setup_enumeration.h"

#include <cstdlib>

namespace relatix {

std::vector<int> bothOrders(int first, int second) {
    if (first == second) return {first, second};
    return {first, second, second, first};
}

std::vector<int> eitherAllele(int first, int second) {
    if (first == second) return {first};
    return {first, second};
}

bool passesStepsTest(int a, const std::vector<int>& typed, int steps) {
    for (int q : typed)
        if (q >= 0 && std::abs(q - a) <= steps) return true;
    return false;
}

std::vector<int> ancestorPairs(int alleleCount, const std::vector<int>& typed, int steps) {
    std::vector<bool> passes(static_cast<size_t>(alleleCount));
    for (int a = 0; a < alleleCount; ++a)
        passes[static_cast<size_t>(a)] = passesStepsTest(a, typed, steps);
    std::vector<int> pairs;
    for (int a = 0; a < alleleCount; ++a)
        for (int b = 0; b < alleleCount; ++b)
            if (passes[static_cast<size_t>(a)] || passes[static_cast<size_t>(b)]) {
                pairs.push_back(a);
                pairs.push_back(b);
            }
    return pairs;
}

}  // namespace relatix
