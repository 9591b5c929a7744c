// Reading a text file as lines: LF or CR LF line ends, a CR before the line
// break dropped, any bytes (NUL included) kept. Only regular files are read, each
// once and whole, and none above kMaximumTextFileSize: a FIFO, a device or a
// folder given as a file is refused at once instead of blocking or filling memory.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace relatix {

inline constexpr std::uintmax_t kMaximumTextFileSize = 512ull * 1024 * 1024;

// The whole file, or nothing with a message naming the file ("<path> is not a
// regular file", "... is larger than 512 MB", "Could not open ...").
struct TextFile {
    std::optional<std::string> text;
    std::string error;
    // The file is there but is not read: not a regular file, or too large.
    bool refused = false;
};
TextFile readTextFile(const std::string& path);

// The file's lines, or nothing when it cannot be read (see readTextFile).
std::optional<std::vector<std::string>> readTextLines(const std::string& path);
// The lines of a text; a line ends at LF, CR LF or CR alone.
std::vector<std::string> splitTextLines(const std::string& text);
// The first line of a text (without its line end).
std::string firstTextLine(const std::string& text);

}  // namespace relatix
