// relatix2-cli convert: one map distance to a recombination fraction or back.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace relatix::cli {

int runConvertCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace relatix::cli
