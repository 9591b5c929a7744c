// Writing the case's genotypes as a tab-separated table: one row per person
// (samples as rows) or one row per marker of the marker map with its chromosome
// and position. Every cell is followed by a tab; lines end CR LF.
#pragma once

#include <iosfwd>
#include <string>

#include "platform/atomic_file.h"

namespace relatix {

class Core;

// "a, b" for an observation (its one allele twice when it holds only one);
// "" without one.
std::string exportedGenotype(const Core& core, size_t person, const std::string& markerName);

void writeGenotypeTable(const Core& core, bool samplesAsRows, std::ostream& out);

// Writes the table to the path; an existing file is replaced only once the new
// one is complete.
AtomicWriteStatus exportGenotypes(const Core& core, const std::string& path, bool samplesAsRows);

}  // namespace relatix
