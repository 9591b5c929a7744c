// The relationship classes beyond the first five, created from a component of
// the catalogue. Each returns null for a class it does not create.
#pragma once

#include <memory>

#include "core/catalogue.h"

namespace relatix {

class Core;
class CTableSetup;

// The analysis person at a position of a component (1-based numbers); a
// component without that many persons gives position + 1.
int personAt(const ExactComponent& component, size_t position);

// Half and full siblings with or without a typed mother, three siblings,
// grandparents: HalfSiblings, HalfSiblingsDataMother, FullSiblingsDataMother,
// PaternalHalfSiblingsDataMothers, ThreeFullSiblings, TwoFullSiblingsOneHalf,
// TwoFullSiblingsOnePaternalHalf.
std::unique_ptr<CTableSetup> createSiblingComponent(const ExactComponent& component,
                                                    const Core& core);
// Descent over two generations and inbreeding: GrandMother, GrandmotherDataMother,
// GrandParents, GrandParentsDataMother, AuntDataMother, Incest, NoIncest.
std::unique_ptr<CTableSetup> createDescentComponent(const ExactComponent& component,
                                                    const Core& core);

}  // namespace relatix
