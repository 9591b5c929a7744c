// relatix2-cli quick: the quick analysis of Kovarian case files, each on a thread
// of its own, results printed in the order the files were given.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace relatix::cli {

extern const char* const kQuickUsage;

int runQuickCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace relatix::cli
