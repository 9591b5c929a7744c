#include "platform/atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>
#include <thread>

#include "support/temp_folder.h"

namespace relatix {
namespace {

namespace fs = std::filesystem;

AtomicWriteStatus write(const std::string& path, const std::string& text,
                        std::string* error = nullptr) {
    return writeFileAtomically(
        path, [&text](std::ostream& out) { out << text; }, error);
}

size_t entries(const fs::path& folder) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++n;
    return n;
}

TEST(AtomicFile, aFailedWriteKeepsTheOldFileLeavesNothingBehindAndSaysWhy) {
    testing::TempFolder folder;
    const std::string path = folder.write("report.txt", "the good report");
    struct DiskFull {
        DiskFull() { simulateDiskFullAfter(70000); }  // beyond the first buffer's worth
        ~DiskFull() { simulateDiskFullAfter(std::nullopt); }
    };
    {
        const DiskFull full;
        std::string why;
        EXPECT_EQ(write(path, std::string(200000, 'x'), &why), AtomicWriteStatus::WriteFailed);
        EXPECT_EQ(why, std::strerror(ENOSPC));
    }
    EXPECT_EQ(testing::readFile(path), "the good report");
    EXPECT_EQ(entries(folder.path()), 1u);

    std::string why;
    EXPECT_EQ(write(folder.file("no/such/folder/x.txt"), "x", &why),
              AtomicWriteStatus::CannotCreate);
    EXPECT_EQ(why, std::strerror(ENOENT));
    fs::create_directory(folder.file("folder"));
    EXPECT_EQ(write(folder.file("folder"), "x", &why), AtomicWriteStatus::CannotCreate);
    EXPECT_EQ(why, std::strerror(EISDIR));
    EXPECT_TRUE(fs::is_directory(folder.file("folder")));
    EXPECT_EQ(atomicWriteProblem(folder.file("no/such/folder/x.txt")), std::strerror(ENOENT));
    EXPECT_EQ(atomicWriteProblem(path), "");
    EXPECT_EQ(testing::readFile(path), "the good report");
}

TEST(AtomicFile, theLongestNameAFolderTakesIsWrittenAndKeepsItsPermissions) {
    testing::TempFolder folder;
    const std::string path = folder.write(std::string(251, 'n') + ".rtf", "old");
    ::chmod(path.c_str(), 0640);
    std::string why;
    EXPECT_EQ(write(path, "new", &why), AtomicWriteStatus::Written) << why;
    EXPECT_EQ(testing::readFile(path), "new");
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(entries(folder.path()), 1u);
}

TEST(AtomicFile, aLinkIsWrittenThroughAndSpecialFilesAreWrittenDirectly) {
    testing::TempFolder folder;
    // A link to a file: the file gets the content, the link stays a link.
    const std::string target = folder.write("target.txt", "old");
    fs::create_symlink("target.txt", folder.file("link.txt"));
    EXPECT_EQ(write(folder.file("link.txt"), "new"), AtomicWriteStatus::Written);
    EXPECT_TRUE(fs::is_symlink(folder.file("link.txt")));
    EXPECT_EQ(testing::readFile(target), "new");
    // A link pointing nowhere gets its file.
    fs::create_symlink("later.txt", folder.file("dangling"));
    EXPECT_EQ(write(folder.file("dangling"), "made"), AtomicWriteStatus::Written);
    EXPECT_EQ(testing::readFile(folder.file("later.txt")), "made");

    // A link to a character device: written to, never renamed over.
    fs::create_symlink("/dev/null", folder.file("null"));
    EXPECT_EQ(write(folder.file("null"), "gone"), AtomicWriteStatus::Written);
    EXPECT_TRUE(fs::is_symlink(folder.file("null")));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));

    // A FIFO: its reader gets the content, and it stays a FIFO.
    const std::string fifo = folder.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = testing::readFile(fifo); });
    EXPECT_EQ(write(fifo, "through the pipe"), AtomicWriteStatus::Written);
    reader.join();
    EXPECT_EQ(received, "through the pipe");
    EXPECT_TRUE(fs::is_fifo(fifo));

    // One of the process's descriptors, as /dev/stdout is: written through it.
    const std::string file = folder.file("descriptor.txt");
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "before;", 7), 7);
    EXPECT_EQ(write("/dev/fd/" + std::to_string(fd), "report"), AtomicWriteStatus::Written);
    ASSERT_EQ(::write(fd, ";after", 6), 6);
    ::close(fd);
    EXPECT_EQ(testing::readFile(file), "before;report;after");
    EXPECT_EQ(entries(folder.path()), 7u);
}

}  // namespace
}  // namespace relatix
