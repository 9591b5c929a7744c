// Frequency files (".freq", blocks of "M marker" and "A allele frequency" lines),
// marker maps (".map", chromosome, marker and position per line) and the export
// of the active population as a text, a freq and a map file.
#pragma once

#include <optional>
#include <string>

namespace relatix {

class Core;
class UserInterface;

inline constexpr const char* kAppendFrequenciesQuestion =
    "Population already defined, append frequencies?";
inline constexpr const char* kMapFormatNotice =
    "The .map file should have the format\n\n Chromosome (1-22) [tab] Marker id [tab] Position "
    "(cM)";

// The file name without folder and without its last `suffix` characters.
std::string fileStem(const std::string& path, size_t suffix);

// Reads the blocks of a frequency file into the population named after the file
// (created when missing; appended to after the question when present). Blocks
// whose marker cannot be placed on the map are dropped. False when the file
// cannot be read or the user cancels.
// The position of the population of that name that an import fills: an existing
// one after "Population already defined, append frequencies?" (nothing on
// Cancel), else a new one at the end.
std::optional<size_t> populationToFill(Core& core, UserInterface& ui, const std::string& name);

bool importFreqFile(Core& core, UserInterface& ui, const std::string& path);

// Adds every line with a chromosome from 1 to 22 to the marker map.
bool importMapFile(Core& core, UserInterface& ui, const std::string& path);

// Writes base.txt, base.map and base.freq (base: the path up to its last ".")
// for the map's markers that the active population holds with alleles.
// False when a file cannot be created or no population is active.
bool exportDatabase(const Core& core, UserInterface& ui, const std::string& path);

}  // namespace relatix
