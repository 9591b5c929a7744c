#include "platform/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <streambuf>

namespace relatix {
namespace {

std::optional<std::size_t> diskFullAfter;

// Passes bytes on to another buffer until a limit, then fails like a full disk.
class LimitedBuffer : public std::streambuf {
public:
    LimitedBuffer(std::streambuf& target, std::size_t limit) : target_(target), left_(limit) {}

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        if (left_ == 0) return traits_type::eof();
        --left_;
        return target_.sputc(traits_type::to_char_type(c));
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        std::streamsize written = 0;
        while (written < n && left_ > 0) {
            if (target_.sputc(s[written]) == traits_type::eof()) break;
            ++written;
            --left_;
        }
        return written;
    }
    int sync() override { return target_.pubsync(); }

private:
    std::streambuf& target_;
    std::size_t left_;
};

std::string temporarySibling(const std::string& path) {
    std::random_device device;
    return path + ".saving-" + std::to_string(::getpid()) + "-" +
           std::to_string(device() % 1000000);
}

}  // namespace

void simulateDiskFullAfter(std::optional<std::size_t> bytes) {
    diskFullAfter = bytes;
}

AtomicWriteStatus writeFileAtomically(const std::string& path,
                                      const std::function<void(std::ostream&)>& write) {
    const std::string temporary = temporarySibling(path);
    bool ok = false;
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file) return AtomicWriteStatus::CannotCreate;
        if (diskFullAfter) {
            LimitedBuffer limited(*file.rdbuf(), *diskFullAfter);
            std::ostream out(&limited);
            write(out);
            out.flush();
            ok = out.good();
        } else {
            write(file);
            file.flush();
            ok = file.good();
        }
        file.close();
        ok = ok && !file.fail();
    }
    std::error_code ec;
    if (ok) {
        std::filesystem::rename(temporary, path, ec);
        ok = !ec;
    }
    if (!ok) {
        std::filesystem::remove(temporary, ec);
        return AtomicWriteStatus::WriteFailed;
    }
    return AtomicWriteStatus::Written;
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
