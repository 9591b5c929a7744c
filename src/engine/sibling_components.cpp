#include "engine/component_factories.h"
#include "engine/full_siblings_data_mother.h"
#include "engine/half_siblings.h"
#include "engine/half_siblings_data_mother.h"
#include "engine/paternal_half_siblings_data_mothers.h"
#include "engine/three_full_siblings.h"
#include "engine/two_full_siblings_one_half.h"
#include "engine/two_full_siblings_one_paternal_half.h"

namespace relatix {
std::unique_ptr<CTableSetup> createSiblingComponent(const ExactComponent& component, const Core&) {
    using C = ComponentClass;
    auto p = [&component](size_t position) { return personAt(component, position); };
    switch (component.componentClass) {
        case C::HalfSiblings: return std::make_unique<CHalfSiblings>(p(0), p(1));
        case C::HalfSiblingsDataMother:
            return std::make_unique<CHalfSiblingsDataMother>(p(0), p(1), p(2));
        case C::FullSiblingsDataMother:
            return std::make_unique<CFullSiblingsDataMother>(p(0), p(1), p(2));
        case C::PaternalHalfSiblingsDataMothers:
            return std::make_unique<CPaternalHalfSiblingsDataMothers>(p(0), p(1), p(2), p(3));
        case C::ThreeFullSiblings: return std::make_unique<CThreeFullSiblings>(p(0), p(1), p(2));
        case C::TwoFullSiblingsOneHalf:
            return std::make_unique<CTwoFullSiblingsOneHalf>(p(0), p(1), p(2));
        case C::TwoFullSiblingsOnePaternalHalf:
            return std::make_unique<CTwoFullSiblingsOnePaternalHalf>(p(0), p(1), p(2));
        default: return nullptr;
    }
}

}  // namespace relatix
