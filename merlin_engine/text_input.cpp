#include "text_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace merlin {

namespace {
constexpr size_t kChunk = 1 << 16;
constexpr size_t kSmallRead = 1 << 12;
}  // namespace

LineReader::~LineReader() {
    if (file_) std::fclose(file_);
}

std::string resolvePath(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::exists(path, ec) || path.find('\\') == std::string::npos) return path;
    std::string slashed = path;
    for (char& c : slashed)
        if (c == '\\') c = '/';
    return std::filesystem::exists(slashed, ec) ? slashed : path;
}

bool LineReader::open(const std::string& path, std::string* why, long long sizeLimit) {
    auto refuse = [&](std::string reason) {
        if (why) *why = std::move(reason);
        return false;
    };
    const std::string resolved = resolvePath(path);
    // The type is checked before opening, since opening a FIFO waits for a writer;
    // the opening itself does not block either, and the opened file is checked
    // again in case the path was replaced meanwhile.
    struct stat info {};
    if (::stat(resolved.c_str(), &info) != 0) return refuse(std::strerror(errno));
    if (!S_ISREG(info.st_mode)) return refuse("not a regular file");
    auto tooLarge = [&] {
        return refuse("larger than " + std::to_string(sizeLimit >> 20) + " MB");
    };
    if (sizeLimit >= 0 && info.st_size > sizeLimit) return tooLarge();
    const int descriptor = ::open(resolved.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) return refuse(std::strerror(errno));
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(descriptor);
        return refuse("not a regular file");
    }
    if (sizeLimit >= 0 && info.st_size > sizeLimit) {
        ::close(descriptor);
        return tooLarge();
    }
    file_ = ::fdopen(descriptor, "rb");
    if (!file_) {
        ::close(descriptor);
        return refuse(std::strerror(errno));
    }
    buffer_.resize(kChunk);
    readSize_ = kChunk;
    return true;
}

std::string describeRefusal(const std::string& path, const std::string& why) {
    return "cannot open '" + path + "'" + (why.empty() ? "" : ": " + why);
}

bool LineReader::seek(long long offset, long lineNumber) {
    if (!file_) return false;
    lineNumber_ = lineNumber - 1;
    if (offset >= bufferOffset_ && offset < bufferOffset_ + static_cast<long long>(end_)) {
        begin_ = static_cast<size_t>(offset - bufferOffset_);  // still in the buffer
        return true;
    }
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) return false;
    begin_ = end_ = 0;
    bufferOffset_ = offset;
    eof_ = false;
    // Lines reached by seeking are mostly read one at a time: a small read first.
    readSize_ = kSmallRead;
    return true;
}

bool LineReader::fill() {
    if (eof_ || !file_) return false;
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        bufferOffset_ += static_cast<long long>(begin_);
        begin_ = 0;
    }
    if (buffer_.size() - end_ < kChunk) buffer_.resize(buffer_.size() * 2);
    const size_t want = std::min(buffer_.size() - end_, readSize_);
    readSize_ = std::min(readSize_ * 2, kChunk);
    const size_t got = std::fread(buffer_.data() + end_, 1, want, file_);
    if (got == 0) {
        eof_ = true;
        return false;
    }
    end_ += got;
    return true;
}

bool LineReader::next(std::string& line) {
    size_t scanned = begin_;
    for (;;) {
        const void* hit =
            scanned < end_ ? std::memchr(buffer_.data() + scanned, '\n', end_ - scanned) : nullptr;
        if (hit) {
            const size_t stop = static_cast<const char*>(hit) - buffer_.data();
            size_t length = stop - begin_;
            if (length > 0 && buffer_[begin_ + length - 1] == '\r') --length;
            line.assign(buffer_.data() + begin_, length);
            lineOffset_ = bufferOffset_ + static_cast<long long>(begin_);
            begin_ = stop + 1;
            ++lineNumber_;
            return true;
        }
        const size_t offset = scanned - begin_;
        const size_t pending = end_ - begin_;
        if (pending > static_cast<size_t>(kLargestInputSize)) {
            // A line without end in sight: stop rather than grow the buffer further.
            lineTooLong_ = true;
            eof_ = true;
            begin_ = end_ = 0;
            return false;
        }
        if (!fill()) {
            if (end_ == begin_) return false;
            size_t length = end_ - begin_;
            if (buffer_[begin_ + length - 1] == '\r') --length;
            line.assign(buffer_.data() + begin_, length);
            lineOffset_ = bufferOffset_ + static_cast<long long>(begin_);
            begin_ = end_;
            ++lineNumber_;
            return true;
        }
        scanned = begin_ + std::max(offset, pending);
    }
}

bool isFieldSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

void splitFields(std::string_view line, std::vector<std::string_view>& fields) {
    fields.clear();
    size_t i = 0;
    const size_t n = line.size();
    while (i < n) {
        while (i < n && isFieldSeparator(line[i])) ++i;
        if (i >= n) break;
        const size_t start = i;
        while (i < n && !isFieldSeparator(line[i])) ++i;
        fields.push_back(line.substr(start, i - start));
    }
}

std::optional<double> parseFiniteDouble(std::string_view text) {
    // from_chars reads without the process locale; it takes no "+" of its own.
    if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
    if (text.empty() || text.size() > 64) return std::nullopt;
    double value = 0.0;
    const char* last = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), last, value, std::chars_format::general);
    if (ec != std::errc() || stop != last || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<long long> parseInteger(std::string_view text) {
    long long value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+') ++first;
    const auto [stop, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || stop != last || first == last) return std::nullopt;
    return value;
}

}  // namespace merlin
