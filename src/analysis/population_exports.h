// The files the closest-population tool writes for outside analysis: the input
// of the STRUCTURE program (reference individuals drawn from every population's
// allele frequencies beside the profiles of interest), the "Marker;Genotype"
// list of one profile for GenoGeographer, and the table of every profile's log
// likelihoods. Lines end CR LF; numbers are written locale-independently.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/records.h"
#include "platform/atomic_file.h"

namespace relatix {

class Core;
class RandomGenerator;

// Reference individuals drawn per population.
inline constexpr int kStructureIndividualsPerPopulation = 50;
// The code of an allele the STRUCTURE allele table lacks, and of a missing genotype.
inline constexpr int kStructureMissingCode = -9;

// For every marker of the marker map, the union of the allele names of all
// populations in order of first appearance (populations and alleles in list order).
class StructureAlleleTable {
public:
    StructureAlleleTable() = default;
    explicit StructureAlleleTable(const Core& core);

    bool built() const { return built_; }
    // The 1-based position of the allele in the map marker's list (0-based marker),
    // or kStructureMissingCode when it is not there.
    int code(size_t mapMarker, const std::string& allele) const;
    const std::vector<std::string>& alleles(size_t mapMarker) const;

private:
    std::vector<std::vector<std::string>> alleles_;
    bool built_ = false;
};

// The map-distance line: per marker "-1" for the first marker and for each one on
// another chromosome than the marker before it, otherwise the distance in cM to
// that marker (six significant digits); each entry followed by a blank.
std::string structureDistanceLine(const std::vector<Marker>& mapMarkers);

// One genotype drawn from a marker's allele frequencies: the genotypes (a_i, a_j),
// i <= j, in list order weigh f_i^2 or 2 f_i f_j; the first whose cumulative weight
// exceeds a uniform draw is taken, the last one when none does. Gives the two
// 0-based allele positions, or nothing (and draws nothing) for a marker without alleles.
std::optional<std::pair<size_t, size_t>> drawStructureGenotype(const Marker& marker,
                                                               RandomGenerator& random);

// STRUCTURE reads its files as blank-separated words: a name with a blank or a
// tab would shift every column after it. Such names are written with "_" in
// their place.
std::string structureName(const std::string& name);
struct StructureRename {
    std::string from;
    std::string to;
};
// The marker and profile names of the case that the STRUCTURE file writes
// otherwise than they are, in file order.
std::vector<StructureRename> structureRenames(const Core& core);
// "Names written otherwise in the STRUCTURE file:" and a line "from -> to" for
// each rename; empty without renames.
std::string structureRenamesText(const std::vector<StructureRename>& renames);

// The whole STRUCTURE file, the reference individuals drawn with the generator
// seeded with the given seed.
void writeStructureFile(const Core& core, std::uint32_t seed, std::ostream& out);
AtomicWriteStatus exportStructureFile(const Core& core, std::uint32_t seed,
                                      const std::string& path);

// The population marker whose alleles decide whether a map marker counts as a
// SNP for the GenoGeographer list: the active population's marker of that name,
// else the first population's that holds it; nullptr when no population does
// (then the marker is written).
const Marker* genoGeographerFilterMarker(const Core& core, const std::string& markerName);
// "Marker;Genotype", then per typed marker of the map that passes the SNP filter
// the name, ";" and both alleles written together.
void writeGenoGeographerFile(const Core& core, const Person& profile, std::ostream& out);
AtomicWriteStatus exportGenoGeographerFile(const Core& core, const Person& profile,
                                           const std::string& path);

// "Sample id\t" and every population name with a tab, then per ancestry profile
// its name and its log likelihood per population (population order), each followed by a tab.
void writeLikelihoodTable(const Core& core, std::ostream& out);
AtomicWriteStatus exportLikelihoodTable(const Core& core, const std::string& path);

}  // namespace relatix
