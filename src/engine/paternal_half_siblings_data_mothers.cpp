#include "engine/paternal_half_siblings_data_mothers.h"

namespace relatix {

// Genotypes: mother 1's, mother 2's, child 1's, child 2's. Setups [m1, m2, n1,
// n2, f1, f2]: each mother's alleles in both orders, then the father's pair.
// Pattern bits: the father's slot passed to child 1, to child 2; mother 1's
// slot to child 1; mother 2's slot to child 2.
CPaternalHalfSiblingsDataMothers::CPaternalHalfSiblingsDataMothers(int firstMotherNumber,
                                                                   int secondMotherNumber,
                                                                   int firstChildNumber,
                                                                   int secondChildNumber)
    : firstMother(firstMotherNumber),
      secondMother(secondMotherNumber),
      firstChild(firstChildNumber),
      secondChild(secondChildNumber) {
    addTypedPerson(firstMother);
    addTypedPerson(secondMother);
    addTypedPerson(firstChild);
    addTypedPerson(secondChild);
    const int m = addTypedFounder(firstMother);
    const int n = addTypedFounder(secondMother);
    const int f = addUntypedFounder();
    addChild(firstChild, {m, 2, Transmission::Female}, {f, 0, Transmission::Male});
    addChild(secondChild, {n, 3, Transmission::Female}, {f, 1, Transmission::Male});
    setMeioses(4);
}

}  // namespace relatix
