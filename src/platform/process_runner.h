// Starts a program directly (no command shell, so blanks, quotes and "$" in
// names are safe), in a given working directory, with stdout (and optionally
// stderr) sent to files, and waits for it.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace relatix {

struct ProcessRequest {
    std::string executable;              // full path of the program
    std::vector<std::string> arguments;  // without the program name
    std::string workingDirectory;        // empty: the current directory
    std::string stdoutPath;              // empty: inherit; otherwise created or truncated
    std::string stderrPath;              // empty: inherit; "/dev/null" discards
    // Called about every 20 ms while the program runs (a window repaints from it).
    std::function<void()> whileWaiting;
    // Asked as often; true ends the program (SIGTERM), as the user's Cancel does.
    std::function<bool()> stopRequested;
};

// The exit status of the program; -1 when it could not be started (missing
// executable, unusable working directory or output file) or did not exit normally.
int runProcess(const ProcessRequest& request);

// Makes SIGINT and SIGTERM end the program that runProcess is waiting for and
// refuse to start further ones, so that an interrupted command leaves no engine
// running and its callers can clean up and return. Installed once by a front end.
void installInterruptHandling();
// True once SIGINT, SIGTERM or SIGHUP arrived after installInterruptHandling.
bool interrupted();
// The signal that interrupted the process, 0 when none.
int interruptSignal();

}  // namespace relatix
