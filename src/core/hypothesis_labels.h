// The name a hypothesis is shown by: the created pedigree's name for drawn
// pedigrees, otherwise the catalogue name of the main relationship (row 1) or of
// the chosen alternative.
#pragma once

#include <string>

namespace relatix {

class Core;

// Row is 1-based; "" for a row the case does not have.
std::string hypothesisLabel(const Core& core, int row);

}  // namespace relatix
