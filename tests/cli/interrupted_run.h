// Runs the installed relatix2-cli as a child process and interrupts it with
// SIGINT, as Ctrl+C in a terminal does.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_folder.h"

namespace relatix::testing {

struct InterruptedRun {
    bool interrupted = false;  // the signal was sent before the program ended
    int status = -1;           // its exit status (-1 when it did not exit normally)
    std::string err;
};

// Starts the program in the folder (stdout and stderr to files there) and sends
// it SIGINT as soon as `ready` says so, at the latest after `latest`.
inline InterruptedRun runAndInterrupt(const std::vector<std::string>& args,
                                      const TempFolder& folder, const std::function<bool()>& ready,
                                      std::chrono::milliseconds latest) {
    std::vector<std::string> words = {RELATIX_CLI_PATH};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    const std::string folderPath = folder.path().string();
    const std::string out = folder.file("interrupted.out"), err = folder.file("interrupted.err");

    InterruptedRun run;
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (::chdir(folderPath.c_str()) != 0 || o < 0 || e < 0 || ::dup2(o, 1) < 0 ||
            ::dup2(e, 2) < 0)
            ::_exit(127);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (pid < 0) return run;
    const auto start = std::chrono::steady_clock::now();
    int status = 0;
    for (;;) {
        if (::waitpid(pid, &status, WNOHANG) == pid) break;  // ended before the signal
        if (ready() || std::chrono::steady_clock::now() - start >= latest) {
            run.interrupted = ::kill(pid, SIGINT) == 0;
            ::waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = readFile(err);
    return run;
}

}  // namespace relatix::testing
