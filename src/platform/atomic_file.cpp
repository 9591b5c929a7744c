#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <ostream>
#include <random>
#include <streambuf>
#include <thread>
#include <vector>

namespace relatix {
namespace {

std::optional<std::size_t> diskFullAfter;

std::string systemError(int number) {
    return std::strerror(number);
}

// How the content reaches the target.
enum class Mode {
    Replace,     // a temporary file beside the target, renamed over it
    Direct,      // the target itself, opened for writing (a special file)
    Descriptor,  // one of the process's own descriptors (/dev/stdout, /dev/fd/N)
};

struct Target {
    Mode mode = Mode::Replace;
    std::string path;
    int descriptor = -1;
    std::string error;  // the target cannot be written at all
};

bool allDigits(const std::string& text) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// The descriptor a path of the process's descriptor folders names (/dev/fd/1,
// /proc/self/fd/1 and the like), if it is one.
std::optional<int> descriptorNamed(const std::string& path) {
    const std::string prefixes[] = {"/dev/fd/", "/proc/self/fd/", "/proc/thread-self/fd/",
                                    "/proc/" + std::to_string(::getpid()) + "/fd/"};
    for (const std::string& prefix : prefixes) {
        if (path.rfind(prefix, 0) != 0) continue;
        const std::string rest = path.substr(prefix.size());
        if (allDigits(rest)) return std::stoi(rest);
    }
    return std::nullopt;
}

// Follows the symbolic links of a path to the file it names and tells how that
// file is to be written.
Target resolveTarget(const std::string& path) {
    std::string current = path;
    bool throughProc = false;  // the kernel's own links: their targets are no paths
    for (int hop = 0; hop < 40; ++hop) {
        if (const std::optional<int> descriptor = descriptorNamed(current))
            return {Mode::Descriptor, current, *descriptor, {}};
        if (current.rfind("/proc/", 0) == 0) throughProc = true;
        struct stat status {};
        if (::lstat(current.c_str(), &status) != 0)
            // No file yet (or one that cannot be looked at: creating the
            // temporary file beside it gives the reason).
            return {
                throughProc ? Mode::Direct : Mode::Replace, throughProc ? path : current, -1, {}};
        if (S_ISLNK(status.st_mode)) {
            std::vector<char> buffer(static_cast<size_t>(PATH_MAX) + 1);
            const ssize_t length = ::readlink(current.c_str(), buffer.data(), buffer.size() - 1);
            if (length < 0) return {Mode::Replace, current, -1, systemError(errno)};
            const std::filesystem::path linked(
                std::string(buffer.data(), static_cast<size_t>(length)));
            const std::filesystem::path folder = std::filesystem::path(current).parent_path();
            current = linked.is_absolute() || folder.empty() ? linked.string()
                                                             : (folder / linked).string();
            continue;
        }
        if (S_ISDIR(status.st_mode)) return {Mode::Replace, current, -1, systemError(EISDIR)};
        if (S_ISREG(status.st_mode) && !throughProc) return {Mode::Replace, current, -1, {}};
        return {Mode::Direct, throughProc ? path : current, -1, {}};
    }
    return {Mode::Replace, path, -1, systemError(ELOOP)};
}

// A short hidden name in the target's folder, so that the temporary name is
// never longer than a name the folder already takes.
std::string temporaryName(const std::string& target) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 random(
        std::random_device{}() ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        std::hash<std::thread::id>{}(std::this_thread::get_id()));
    std::string name = ".relatix-";
    for (int i = 0; i < 8; ++i) name += letters[random() % (sizeof(letters) - 1)];
    const std::filesystem::path folder = std::filesystem::path(target).parent_path();
    return folder.empty() ? name : (folder / name).string();
}

}  // namespace

// The stream buffer of the file: collects the content and writes it out in
// pieces, remembering the first failure.
class AtomicFile::Impl : public std::streambuf {
public:
    explicit Impl(const std::string& path) : buffer_(64 * 1024), out_(this) {
        const Target target = resolveTarget(path);
        mode_ = target.mode;
        target_ = target.path;
        budget_ = diskFullAfter;
        if (!target.error.empty()) {
            fail(target.error);
        } else if (mode_ == Mode::Descriptor) {
            // What the program printed to the stream before comes first.
            if (target.descriptor == STDOUT_FILENO || target.descriptor == STDERR_FILENO) {
                std::cout.flush();
                std::cerr.flush();
                std::fflush(nullptr);
            }
            fd_ = ::fcntl(target.descriptor, F_DUPFD_CLOEXEC, 0);
            if (fd_ < 0) fail(systemError(errno));
        } else if (mode_ == Mode::Direct) {
            fd_ = ::open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
            if (fd_ < 0) fail(systemError(errno));
        } else {
            createTemporary();
        }
        opened_ = fd_ >= 0;
        setp(buffer_.data(), buffer_.data() + buffer_.size());
        if (fd_ < 0) out_.setstate(std::ios::badbit);
    }

    ~Impl() override { discard(); }

    std::ostream& stream() { return out_; }
    bool isOpen() const { return fd_ >= 0; }
    const std::string& error() const { return error_; }

    AtomicWriteStatus commit() {
        if (fd_ < 0 && !opened_) return AtomicWriteStatus::CannotCreate;
        if (fd_ < 0) return AtomicWriteStatus::WriteFailed;  // committed or discarded before
        const bool written = flushBuffer() && out_.good();
        if (!written && error_.empty()) fail(systemError(EIO));
        const int descriptor = fd_;
        fd_ = -1;
        const bool closed = ::close(descriptor) == 0;
        if (!closed && error_.empty()) fail(systemError(errno));
        if (mode_ != Mode::Replace)
            return written && closed ? AtomicWriteStatus::Written : AtomicWriteStatus::WriteFailed;
        if (written && closed && ::rename(temporary_.c_str(), target_.c_str()) == 0)
            return AtomicWriteStatus::Written;
        if (error_.empty()) fail(systemError(errno));
        ::unlink(temporary_.c_str());
        return AtomicWriteStatus::WriteFailed;
    }

    void discard() {
        if (fd_ < 0) return;
        ::close(fd_);
        fd_ = -1;
        if (mode_ == Mode::Replace) ::unlink(temporary_.c_str());
        out_.setstate(std::ios::badbit);
    }

protected:
    int_type overflow(int_type c) override {
        if (!flushBuffer()) return traits_type::eof();
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
        return c;
    }
    int sync() override { return flushBuffer() ? 0 : -1; }

private:
    void fail(const std::string& reason) {
        if (error_.empty()) error_ = reason;
    }

    void createTemporary() {
        struct stat existing {};
        const bool replacing = ::stat(target_.c_str(), &existing) == 0;
        // A file that may not be written is not replaced either.
        if (replacing && ::access(target_.c_str(), W_OK) != 0) {
            fail(systemError(errno));
            return;
        }
        for (int attempt = 0; attempt < 100; ++attempt) {
            temporary_ = temporaryName(target_);
            fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ >= 0 || errno != EEXIST) break;
        }
        if (fd_ < 0) {
            fail(systemError(errno));
            return;
        }
        // The new file keeps the permissions of the one it replaces.
        if (replacing) (void)::fchmod(fd_, existing.st_mode & 07777);
    }

    // Writes out the buffered bytes; false once any write failed.
    bool flushBuffer() {
        if (fd_ < 0 || !error_.empty()) return false;
        const char* data = pbase();
        std::size_t length = static_cast<std::size_t>(pptr() - pbase());
        bool full = false;
        if (budget_ && length > *budget_) {
            length = *budget_;
            full = true;
        }
        std::size_t done = 0;
        while (done < length) {
            const ssize_t n = ::write(fd_, data + done, length - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                fail(systemError(n < 0 ? errno : EIO));
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
        if (budget_) *budget_ -= done;
        if (full) {
            fail(systemError(ENOSPC));
            return false;
        }
        setp(buffer_.data(), buffer_.data() + buffer_.size());
        return true;
    }

    std::vector<char> buffer_;
    std::ostream out_;
    Mode mode_ = Mode::Replace;
    std::string target_;
    std::string temporary_;
    int fd_ = -1;
    bool opened_ = false;
    std::string error_;
    std::optional<std::size_t> budget_;
};

AtomicFile::AtomicFile(const std::string& path) : impl_(std::make_unique<Impl>(path)) {}
AtomicFile::~AtomicFile() = default;
bool AtomicFile::isOpen() const {
    return impl_->isOpen();
}
std::ostream& AtomicFile::stream() {
    return impl_->stream();
}
AtomicWriteStatus AtomicFile::commit() {
    return impl_->commit();
}
void AtomicFile::discard() {
    impl_->discard();
}
const std::string& AtomicFile::error() const {
    return impl_->error();
}

void simulateDiskFullAfter(std::optional<std::size_t> bytes) {
    diskFullAfter = bytes;
}

AtomicWriteStatus writeFileAtomically(const std::string& path,
                                      const std::function<void(std::ostream&)>& write,
                                      std::string* error) {
    AtomicFile file(path);
    AtomicWriteStatus status = AtomicWriteStatus::CannotCreate;
    if (file.isOpen()) {
        write(file.stream());
        status = file.commit();
    }
    if (error) *error = file.error();
    return status;
}

std::string atomicWriteProblem(const std::string& path) {
    const Target target = resolveTarget(path);
    if (!target.error.empty()) return target.error;
    if (target.mode != Mode::Replace) return {};
    if (::access(target.path.c_str(), F_OK) == 0 && ::access(target.path.c_str(), W_OK) != 0)
        return systemError(errno);
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = temporaryName(target.path);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) break;
    }
    if (fd < 0) return systemError(errno);
    ::close(fd);
    ::unlink(temporary.c_str());
    return {};
}

bool writeWorkFile(const std::string& path, const std::string& text, bool append) {
    const int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | (append ? O_APPEND : O_TRUNC);
    const int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) return false;
    std::size_t length = text.size();
    bool full = false;
    if (diskFullAfter && *diskFullAfter < length) {
        length = *diskFullAfter;
        full = true;
    }
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n = ::write(fd, text.data() + done, length - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    const bool closed = ::close(fd) == 0;
    return !full && done == length && closed;
}

}  // namespace relatix
