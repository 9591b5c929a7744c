#include "platform/process_runner.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "support/temp_folder.h"

namespace relatix {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempFolder;

// A folder whose name holds a blank, a quote and a "$", with copies of small
// system programs in it, the way the program folder holds the engine.
struct AwkwardFolder {
    TempFolder root{"runner"};
    fs::path folder = root.path() / "my prog's $HOME dir";
    AwkwardFolder() {
        fs::create_directories(folder / "temp");
        fs::copy_file("/bin/echo", folder / "echo it");
        fs::copy_file("/bin/pwd", folder / "pwd");
        fs::copy_file("/bin/false", folder / "false");
    }
};

// A hang-up (a closed terminal) interrupts a command as SIGINT and SIGTERM do,
// instead of ending it before it can clean up; checked in a child process.
TEST(InterruptHandling, aHangUpInterruptsLikeTerminate) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            installInterruptHandling();
            ::raise(signal);
            ::_exit(interrupted() && interruptSignal() == signal ? 0 : 3);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status)) << "signal " << signal << " ended the process";
        if (WIFEXITED(status)) EXPECT_EQ(WEXITSTATUS(status), 0) << "signal " << signal;
    }
}

TEST(ProcessRunner, passesArgumentsLiterallyAndRedirectsStdout) {
    AwkwardFolder f;
    ProcessRequest request;
    request.executable = (f.folder / "echo it").string();
    request.arguments = {"-n", "a b", "'q'", "$HOME", "x;y|z"};
    request.stdoutPath = (f.folder / "temp" / "out put.txt").string();
    EXPECT_EQ(runProcess(request), 0);
    EXPECT_EQ(readFile(request.stdoutPath), "a b 'q' $HOME x;y|z");
}

TEST(ProcessRunner, runsInTheWorkingDirectoryWithRelativeOutput) {
    AwkwardFolder f;
    ProcessRequest request;
    request.executable = (f.folder / "pwd").string();
    request.arguments = {"-P"};
    request.workingDirectory = f.folder.string();
    request.stdoutPath = "temp/where.txt";  // relative to the working directory
    EXPECT_EQ(runProcess(request), 0);
    EXPECT_EQ(readFile((f.folder / "temp" / "where.txt").string()),
              fs::canonical(f.folder).string() + "\n");
}

TEST(ProcessRunner, reportsExitStatusAndFailuresToStart) {
    AwkwardFolder f;
    ProcessRequest request;
    request.executable = (f.folder / "false").string();
    EXPECT_EQ(runProcess(request), 1);
    request.executable = (f.folder / "missing engine").string();
    EXPECT_EQ(runProcess(request), -1);
    request.executable.clear();
    EXPECT_EQ(runProcess(request), -1);
    // An output file in a folder that does not exist: the program does not run.
    request.executable = (f.folder / "echo it").string();
    request.stdoutPath = (f.folder / "no such folder" / "out.txt").string();
    EXPECT_NE(runProcess(request), 0);
    EXPECT_FALSE(fs::exists(request.stdoutPath));
}

}  // namespace
}  // namespace relatix
