// Gene dropping: genotypes drawn for a family from the allele frequencies, with
// crossovers between neighbouring markers of a chromosome by Haldane's map.
#pragma once

#include <cstdint>
#include <ostream>

#include "marker_set.h"
#include "pedigree.h"
#include "pedigree_file.h"

namespace merlin {

// A small, fast generator with a fixed, documented sequence (xoshiro256**),
// seeded through splitmix64 so that the same seed always gives the same data.
class Random {
public:
    explicit Random(std::uint64_t seed);
    std::uint64_t next();
    double uniform();  // in [0, 1)

private:
    std::uint64_t s_[4];
};

// Replaces every typed genotype of the family by a simulated one; untyped persons
// stay untyped. The draws depend only on the seed and the family's position in
// the file, so every pass over the file sees the same data.
void simulateFamily(const Pedigree& pedigree, FamilyRecord& record, const MarkerSet& set,
                    std::uint64_t seed);

// Writes the family's lines with one "a/b" word per marker ("0/0" when untyped).
void writeReplicateLines(const FamilyRecord& record, const MarkerSet& set, std::ostream& out);

}  // namespace merlin
