#include "engine/two_full_siblings_one_half.h"

namespace relatix {

// Genotypes: full sibling 1's, full sibling 2's, the half sibling's. Setups
// [f1, f2, m1, m2, o3]: the full siblings' father's pair, the common mother's
// pair, the half sibling's allele from its own father. Pattern bits: the
// father's and the mother's slot passed to full sibling 1, the same for full
// sibling 2, the mother's slot passed to the half sibling.
CTwoFullSiblingsOneHalf::CTwoFullSiblingsOneHalf(int first, int second, int half)
    : first(first), second(second), half(half) {
    addTypedPerson(first);
    addTypedPerson(second);
    addTypedPerson(half);
    const int f = addUntypedFounder();
    const int m = addUntypedFounder();
    const int o = addOtherParentAllele(half);
    addChild(first, {f, 0, Transmission::Male}, {m, 1, Transmission::Female});
    addChild(second, {f, 2, Transmission::Male}, {m, 3, Transmission::Female});
    addChild(half, {m, 4, Transmission::Female}, {o});
    setMeioses(5);
}

}  // namespace relatix
