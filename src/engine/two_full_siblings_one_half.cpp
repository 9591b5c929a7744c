#include "engine/two_full_siblings_one_half.h"

namespace relatix {

// Genotypes: full sibling 1's, full sibling 2's, the half sibling's. Setups
// [f1, f2, m1, m2, o3]: the full siblings' father's pair, their mother's pair,
// the half sibling's allele from the parent it does not share with them.
// Pattern bits: the father's and the mother's slot passed to full sibling 1,
// the same for full sibling 2, the shared parent's slot passed to the half
// sibling. Each of the five meioses that reach a typed person through a shared
// parent needs its own bit: along linked markers the pattern transition
// multiplies one recombination fraction per bit.
CTwoFullSiblingsOneHalf::CTwoFullSiblingsOneHalf(bool paternal, int firstNumber, int secondNumber,
                                                 int halfNumber)
    : first(firstNumber), second(secondNumber), half(halfNumber) {
    addTypedPerson(first);
    addTypedPerson(second);
    addTypedPerson(half);
    const int f = addUntypedFounder();
    const int m = addUntypedFounder();
    const int o = addOtherParentAllele(half);
    addChild(first, {f, 0, Transmission::Male}, {m, 1, Transmission::Female});
    addChild(second, {f, 2, Transmission::Male}, {m, 3, Transmission::Female});
    const Source shared =
        paternal ? Source{f, 4, Transmission::Male} : Source{m, 4, Transmission::Female};
    addChild(half, shared, {o});
    setMeioses(5);
}

}  // namespace relatix
