#include "engine/two_full_siblings_one_paternal_half.h"

namespace relatix {

// Genotypes: full sibling 1's, full sibling 2's, the half sibling's. Setups
// [f1, f2, m1, m2, o3]: the common father's pair, the full siblings' mother's
// pair, the half sibling's allele from its own mother. Pattern bits: the
// father's and the mother's slot passed to full sibling 1, the same for full
// sibling 2, the father's slot passed to the half sibling. Each of the five
// meioses that reach a typed person through a shared parent needs its own bit:
// along linked markers the pattern transition multiplies one recombination
// fraction per bit.
CTwoFullSiblingsOnePaternalHalf::CTwoFullSiblingsOnePaternalHalf(int first, int second, int half)
    : first(first), second(second), half(half) {
    addTypedPerson(first);
    addTypedPerson(second);
    addTypedPerson(half);
    const int f = addUntypedFounder();
    const int m = addUntypedFounder();
    const int o = addOtherParentAllele(half);
    addChild(first, {f, 0, Transmission::Male}, {m, 1, Transmission::Female});
    addChild(second, {f, 2, Transmission::Male}, {m, 3, Transmission::Female});
    addChild(half, {f, 4, Transmission::Male}, {o});
    setMeioses(5);
}

}  // namespace relatix
