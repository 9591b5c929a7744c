// Starts a program directly (no command shell, so blanks, quotes and "$" in
// names are safe), in a given working directory, with stdout (and optionally
// stderr) sent to files, and waits for it.
#pragma once

#include <string>
#include <vector>

namespace relatix {

struct ProcessRequest {
    std::string executable;          // full path of the program
    std::vector<std::string> arguments;  // without the program name
    std::string workingDirectory;    // empty: the current directory
    std::string stdoutPath;          // empty: inherit; otherwise created or truncated
    std::string stderrPath;          // empty: inherit; "/dev/null" discards
};

// The exit status of the program; -1 when it could not be started (missing
// executable, unusable working directory or output file) or did not exit normally.
int runProcess(const ProcessRequest& request);

}  // namespace relatix
