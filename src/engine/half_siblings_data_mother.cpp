#include "engine/half_siblings_data_mother.h"

namespace relatix {

// Genotypes: the mother's, child 1's, child 2's. Setups [o1, m1, m2, o2]: child
// 1's allele from its father, the mother's alleles in both orders, child 2's
// allele from its father. Pattern bits: the mother's slot passed to child 1, to child 2.
CHalfSiblingsDataMother::CHalfSiblingsDataMother(int motherNumber, int firstChildNumber,
                                                 int secondChildNumber)
    : mother(motherNumber), firstChild(firstChildNumber), secondChild(secondChildNumber) {
    addTypedPerson(mother);
    addTypedPerson(firstChild);
    addTypedPerson(secondChild);
    const int o1 = addOtherParentAllele(firstChild);
    const int m = addTypedFounder(mother);
    const int o2 = addOtherParentAllele(secondChild);
    addChild(firstChild, {m, 0, Transmission::Female}, {o1});
    addChild(secondChild, {m, 1, Transmission::Female}, {o2});
    setMeioses(2);
}

}  // namespace relatix
