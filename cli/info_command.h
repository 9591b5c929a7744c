// relatix2-cli info CASE.sav: reads a case the way Open does and prints a summary.
#pragma once

#include <iosfwd>
#include <string>

namespace relatix::cli {

int printCaseInfo(const std::string& path, std::ostream& out, std::ostream& err);

}  // namespace relatix::cli
