#include "engine/aunt_data_mother.h"
#include "engine/component_factories.h"
#include "engine/grand_mother.h"
#include "engine/grand_parents.h"
#include "engine/grand_parents_data_mother.h"
#include "engine/grandmother_data_mother.h"
#include "engine/incest.h"
#include "engine/no_incest.h"

namespace relatix {
std::unique_ptr<CTableSetup> createDescentComponent(const ExactComponent& component, const Core&) {
    using C = ComponentClass;
    const auto p = [&component](size_t position) { return personAt(component, position); };
    switch (component.componentClass) {
        case C::GrandMother: return std::make_unique<CGrandMother>(p(0), p(1));
        case C::GrandmotherDataMother:
            return std::make_unique<CGrandmotherDataMother>(p(0), p(1), p(2));
        case C::GrandParents: return std::make_unique<CGrandParents>(p(0), p(1), p(2));
        case C::GrandParentsDataMother:
            return std::make_unique<CGrandParentsDataMother>(p(0), p(1), p(2), p(3));
        case C::AuntDataMother: return std::make_unique<CAuntDataMother>(p(0), p(1), p(2));
        case C::Incest: return std::make_unique<CIncest>(p(0), p(1), p(2));
        case C::NoIncest: return std::make_unique<CNoIncest>(p(0), p(1), p(2));
        default: return nullptr;
    }
}

}  // namespace relatix
