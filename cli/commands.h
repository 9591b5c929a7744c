// The commands of relatix2-cli, callable in-process so tests can run them.
#pragma once

#include <iosfwd>

namespace relatix::cli {

// Parses the arguments and runs one command; returns the process exit status.
int run(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace relatix::cli
