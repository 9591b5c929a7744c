// Reading a text file as lines: LF or CR LF line ends, a CR before the line
// break dropped, any bytes (NUL included) kept.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace relatix {

// The file's lines, or nothing when it cannot be opened.
std::optional<std::vector<std::string>> readTextLines(const std::string& path);
std::vector<std::string> splitTextLines(const std::string& text);
// The first line of a file (without its line end), or nothing when it cannot be opened.
std::optional<std::string> readFirstLine(const std::string& path);

}  // namespace relatix
