// Runs relatix2-cli in the test's own process, as its main() would, and keeps
// what it printed.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "commands.h"

namespace relatix::testing {

struct CliResult {
    int status;
    std::string out;
    std::string err;
};

inline CliResult runCli(std::vector<std::string> args) {
    args.insert(args.begin(), "relatix2-cli");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::ostringstream out, err;
    const int status = cli::run(static_cast<int>(args.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

}  // namespace relatix::testing
