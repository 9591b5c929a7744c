#include "engine/three_full_siblings.h"

namespace relatix {

// Genotypes: the siblings' in order. Setups [f1, f2, m1, m2]: the father's and
// the mother's pairs. Pattern bits: per sibling, the father's slot it receives,
// then the mother's.
CThreeFullSiblings::CThreeFullSiblings(int firstNumber, int secondNumber, int thirdNumber)
    : first(firstNumber), second(secondNumber), third(thirdNumber) {
    const int siblings[3] = {first, second, third};
    for (int person : siblings) addTypedPerson(person);
    const int f = addUntypedFounder();
    const int m = addUntypedFounder();
    for (int s = 0; s < 3; ++s)
        addChild(siblings[s], {f, 2 * s, Transmission::Male}, {m, 2 * s + 1, Transmission::Female});
    setMeioses(6);
}

}  // namespace relatix
