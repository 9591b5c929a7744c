// The person lines of the LINKAGE pedigree file, without the family number in
// front and without the line end: for a catalogue relationship its fixed rows
// completed with the analysis persons' sex codes and allele numbers, and for a
// pedigree drawn by the user one tab-separated line per pedigree person.
#pragma once

#include <string>
#include <vector>

#include "core/core.h"

namespace relatix {

// The rows of a catalogue code (1..26). A typed row is its prefix, the sex code
// of its analysis person and, per marker written, the two allele numbers, all
// followed by one blank; an untyped row is its prefix and "0 0 " per marker.
// Empty for a code outside 1..26.
std::vector<std::string> linkagePedigreeRows(int code, const Core& core,
                                             const std::vector<bool>& clusterSkipList);

// The lines of a created pedigree, one per pedigree person k (its 1-based
// position): k, father, mother (0 when the pedigree gives none), sex code, then
// the two allele numbers per marker, each field followed by a tab, "0\t0\t" at a
// marker where the person has no genotype.
std::vector<std::string> createdPedigreeRows(const Pedigree& pedigree, const Core& core,
                                             const std::vector<bool>& clusterSkipList);

}  // namespace relatix
