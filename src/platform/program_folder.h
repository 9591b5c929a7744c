// Where the program lives: the folder of the running executable, which holds
// relatix2, relatix2-cli, merlinEngine, their temp/ folder and their data files.
#pragma once

#include <string>

namespace relatix {

// The folder of the running executable, without a trailing separator.
std::string programFolder();
// Everything before the last path separator of a path ("" when it has none).
std::string directoryPart(const std::string& path);

}  // namespace relatix
