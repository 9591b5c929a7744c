// config.dat in the program folder: the frequency parameters and the cluster
// database that a new project starts from.
#pragma once

#include <string>

namespace relatix {

class Core;

std::string defaultConfigurationPath(const Core& core);
// Writes config.dat; a file that cannot be created is silently not written.
void writeDefaultConfiguration(const Core& core);
// Reads config.dat into the Core; a missing file or a wrong header keeps the defaults.
void readDefaultConfiguration(Core& core);

}  // namespace relatix
