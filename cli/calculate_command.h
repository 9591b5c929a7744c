// relatix2-cli calculate [CASE.sav] [--reference K] [--theta X] [--json]
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace relatix::cli {

// The bundled example case in the program folder.
std::string bundledExamplePath();

int runCalculateCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace relatix::cli
