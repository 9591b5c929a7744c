#include "engine/full_siblings_data_mother.h"

namespace relatix {

// Genotypes: the mother's, child 1's, child 2's. Setups [m1, m2, f1, f2]: the
// mother's alleles in both orders, the father's pair. Pattern bits: the
// mother's slot passed to child 1, to child 2; the father's to child 1, to child 2.
CFullSiblingsDataMother::CFullSiblingsDataMother(int motherNumber, int firstChildNumber,
                                                 int secondChildNumber)
    : mother(motherNumber), firstChild(firstChildNumber), secondChild(secondChildNumber) {
    addTypedPerson(mother);
    addTypedPerson(firstChild);
    addTypedPerson(secondChild);
    const int m = addTypedFounder(mother);
    const int f = addUntypedFounder();
    addChild(firstChild, {m, 0, Transmission::Female}, {f, 2, Transmission::Male});
    addChild(secondChild, {m, 1, Transmission::Female}, {f, 3, Transmission::Male});
    setMeioses(4);
}

}  // namespace relatix
