// The R script that plots a created pedigree with the Kovarian R package, and the
// names of the PNG and JPEG plots it writes into "Pedigree plots" beside the
// project file once the case has been saved.
#pragma once

#include <string>

#include "core/core.h"
#include "core/records.h"

namespace relatix {

// The image base name of a pedigree: the project file's name without its folder
// and its last four characters (the extension), " - ", and the pedigree name with
// every ":" replaced by "-".
std::string pedigreeImageBaseName(const Core& core, const std::string& pedigreeName);

// The image file of a pedigree: "<project folder>/Pedigree plots/<base name><extension>",
// extension with its dot (".png", ".jpg"). Empty while the case has never been saved.
std::string pedigreeImagePath(const Core& core, const std::string& pedigreeName,
                              const std::string& extension);

// The whole script, lines ended by CR LF. The persons are the pedigree persons of
// the genotype table; the pedigree's relations refer to them by 1-based position.
std::string pedigreePlotScript(const Core& core, const Pedigree& pedigree);

}  // namespace relatix
