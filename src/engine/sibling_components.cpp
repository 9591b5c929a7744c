#include "engine/component_factories.h"
#include "engine/table_setup.h"

namespace relatix {

std::unique_ptr<CTableSetup> createSiblingComponent(const ExactComponent&, const Core&) {
    return nullptr;
}

}  // namespace relatix
