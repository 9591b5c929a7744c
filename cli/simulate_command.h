// relatix2-cli simulate [CASE.sav] -n N [--seed S] [--raw FILE] [--json]
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace relatix::cli {

int runSimulateCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace relatix::cli
