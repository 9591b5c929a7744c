// config.dat: the frequency parameters and the cluster database that a new
// project starts from. It lives in the program folder, or in the per-user
// configuration folder ($XDG_CONFIG_HOME/relatix2 or ~/.config/relatix2) when the
// program folder is not writable, as for an installed program.
#pragma once

#include <string>
#include <vector>

namespace relatix {

class Core;

// The file read: the per-user config.dat when it exists, otherwise the program
// folder's.
std::string defaultConfigurationPath(const Core& core);
// The file written: the per-user config.dat when it exists or when the program
// folder is not writable, otherwise the program folder's.
std::string defaultConfigurationWritePath(const Core& core);
// Writes config.dat (replacing the old file only once the new one is complete);
// false when it cannot be written.
[[nodiscard]] bool writeDefaultConfiguration(const Core& core);
// Reads config.dat into the Core; a missing file or a wrong header keeps the
// defaults. A value outside its range (a frequency not in (0, 1], an error rate
// not in [0, 1], a position that is not a number of cM from 0) keeps its default,
// an allele with such a frequency is left out; the result lists each of them with
// its line ("config.dat line 12: ...").
std::vector<std::string> readDefaultConfiguration(Core& core);

}  // namespace relatix
