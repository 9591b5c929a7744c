#include "core/hypothesis_labels.h"

#include "core/catalogue.h"
#include "core/core.h"

namespace relatix {

std::string hypothesisLabel(const Core& core, int row) {
    if (row < 1) return {};
    if (core.mainHypothesis == kCreatedPedigrees) {
        return row <= static_cast<int>(core.createdPedigrees.size())
                   ? core.createdPedigrees[static_cast<size_t>(row - 1)].name
                   : std::string();
    }
    const int mainCode = core.mainHypothesis + 1;
    if (row == 1) return catalogueName(mainCode, NameSeparator::Space);
    const size_t index = static_cast<size_t>(row - 2);
    if (index >= core.alternativeHypotheses.size()) return {};
    const std::vector<int> alternatives = catalogueAlternatives(mainCode);
    const int position = core.alternativeHypotheses[index];
    if (position < 0 || position >= static_cast<int>(alternatives.size())) return {};
    return catalogueName(alternatives[static_cast<size_t>(position)], NameSeparator::Space);
}

}  // namespace relatix
