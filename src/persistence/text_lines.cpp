#include "persistence/text_lines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace relatix {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

TextFile failed(std::string error) {
    return {std::nullopt, std::move(error), false};
}
TextFile refused(std::string error) {
    return {std::nullopt, std::move(error), true};
}

std::string notRegular(const std::string& path) {
    return path + " is not a regular file";
}
std::string tooLarge(const std::string& path) {
    return path + " is larger than " + std::to_string(kMaximumTextFileSize >> 20) +
           " MB and is not read";
}

}  // namespace

TextFile readTextFile(const std::string& path) {
    // The type is checked before opening: opening a FIFO for reading would wait
    // for a writer.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return failed("Could not open " + path + ": " + std::strerror(errno));
    if (!S_ISREG(info.st_mode)) return refused(notRegular(path));
    if (static_cast<std::uintmax_t>(info.st_size) > kMaximumTextFileSize)
        return refused(tooLarge(path));
    // Non-blocking, in case the path was replaced by something else meanwhile;
    // the opened file is checked again.
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) return failed("Could not open " + path + ": " + std::strerror(errno));
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return refused(notRegular(path));
    std::string text;
    text.reserve(static_cast<size_t>(info.st_size));
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            return failed("Could not read " + path + ": " + std::strerror(errno));
        }
        if (text.size() + static_cast<size_t>(got) > kMaximumTextFileSize)
            return refused(tooLarge(path));
        text.append(buffer, static_cast<size_t>(got));
    }
    return {std::move(text), {}, false};
}

std::vector<std::string> splitTextLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    // A line ends at LF, CR LF, or CR alone (files saved by old Mac programs).
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n' ? 2 : 1);
    }
    return lines;
}

std::optional<std::vector<std::string>> readTextLines(const std::string& path) {
    TextFile file = readTextFile(path);
    if (!file.text) return std::nullopt;
    return splitTextLines(*file.text);
}

std::string firstTextLine(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

}  // namespace relatix
