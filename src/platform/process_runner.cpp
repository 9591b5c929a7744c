#include "platform/process_runner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>

namespace relatix {

namespace {

// The programs being waited for, one slot per waiting thread (several files are
// analysed at once); a fixed array, so that the signal handler may read it.
constexpr int kChildSlots = 256;
std::atomic<pid_t> runningChildren[kChildSlots];
std::atomic<int> receivedSignal{0};

extern "C" void onInterrupt(int signal) {
    receivedSignal.store(signal);
    for (std::atomic<pid_t>& slot : runningChildren) {
        const pid_t child = slot.load();
        if (child > 0) ::kill(child, SIGTERM);
    }
}

// Takes a free slot for the child; -1 when all are taken (the child is then not
// ended by an interrupt, only waited for).
int rememberChild(pid_t pid) {
    for (int i = 0; i < kChildSlots; ++i) {
        pid_t free = 0;
        if (runningChildren[i].compare_exchange_strong(free, pid)) return i;
    }
    return -1;
}

void forgetChild(int slot) {
    if (slot >= 0) runningChildren[slot].store(0);
}

}  // namespace

void installInterruptHandling() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    // A closed terminal ends the command the same way, so that its work folder goes too.
    ::sigaction(SIGHUP, &action, nullptr);
}

bool interrupted() {
    return receivedSignal.load() != 0;
}
int interruptSignal() {
    return receivedSignal.load();
}

int runProcess(const ProcessRequest& request) {
    if (interrupted()) return -1;
    if (request.executable.empty() || ::access(request.executable.c_str(), X_OK) != 0) return -1;

    // Everything the child needs is prepared before fork: after it only
    // async-signal-safe calls are made.
    std::vector<std::string> words;
    words.push_back(request.executable);
    words.insert(words.end(), request.arguments.begin(), request.arguments.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        if (!request.workingDirectory.empty() && ::chdir(request.workingDirectory.c_str()) != 0)
            ::_exit(127);
        auto redirect = [](const std::string& path, int target) {
            if (path.empty()) return true;
            const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            if (fd < 0) return false;
            const bool ok = ::dup2(fd, target) >= 0;
            ::close(fd);
            return ok;
        };
        if (!redirect(request.stdoutPath, STDOUT_FILENO)) ::_exit(127);
        if (!redirect(request.stderrPath, STDERR_FILENO)) ::_exit(127);
        ::execv(request.executable.c_str(), argv.data());
        ::_exit(127);
    }
    const int slot = rememberChild(pid);
    if (interrupted()) ::kill(pid, SIGTERM);  // the signal came between fork and the store
    int status = 0;
    const bool polling = request.whileWaiting || request.stopRequested;
    bool stopping = false;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, polling ? WNOHANG : 0);
        if (done == pid) break;
        if (done < 0 && errno != EINTR) {
            forgetChild(slot);
            return -1;
        }
        if (done == 0) {
            if (request.whileWaiting) request.whileWaiting();
            if (!stopping && request.stopRequested && request.stopRequested()) {
                stopping = true;
                ::kill(pid, SIGTERM);
            }
            ::usleep(20000);
        }
    }
    forgetChild(slot);
    if (stopping || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

}  // namespace relatix
