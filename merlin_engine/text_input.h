// Line-by-line reading of text files of any size, and the small token and
// number helpers every input reader shares. Lines may end in LF or CR LF;
// fields are separated by blanks, tabs and other ASCII white space. Only regular
// files are read: a FIFO would wait for a writer and a device such as /dev/zero
// never ends, so both are refused at once instead of hanging or filling memory.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace merlin {

// The data, map and frequency files are read whole in spirit (a few lines per
// marker): none may be larger than this. The pedigree file is streamed and may
// be of any size, but none of its lines may be longer.
inline constexpr long long kLargestInputSize = 512LL * 1024 * 1024;

class LineReader {
public:
    LineReader() = default;
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Opens the file; a path written with backslashes is also tried with slashes.
    // Refuses what is not a regular file and, with a limit, a file larger than it;
    // why, when given, then tells the reason ("is not a regular file", ...).
    bool open(const std::string& path, std::string* why = nullptr, long long sizeLimit = -1);
    // Reads the next line without its line end; false at the end of the file, and
    // also at a line longer than kLargestInputSize (then lineTooLong() is true).
    bool next(std::string& line);
    bool lineTooLong() const { return lineTooLong_; }
    long lineNumber() const { return lineNumber_; }
    // Byte offset in the file of the line that next() returned last.
    long long lineOffset() const { return lineOffset_; }
    // Goes to a line start that an earlier pass noted with lineOffset(); the next
    // line read is that line, counted as line `lineNumber`.
    bool seek(long long offset, long lineNumber);

private:
    bool fill();

    std::FILE* file_ = nullptr;
    std::vector<char> buffer_;
    size_t begin_ = 0;
    size_t end_ = 0;
    bool eof_ = false;
    long lineNumber_ = 0;
    long long bufferOffset_ = 0;  // file offset of buffer_[0]
    long long lineOffset_ = 0;
    size_t readSize_ = 0;  // bytes asked of the file at a time: small after a seek
    bool lineTooLong_ = false;
};

// "cannot open '<path>': not a regular file" and the like, for a file that
// open() refused.
std::string describeRefusal(const std::string& path, const std::string& why);

bool isFieldSeparator(char c);
// Splits a line into its fields (views into the line).
void splitFields(std::string_view line, std::vector<std::string_view>& fields);

// Whole-field conversions: nothing may follow the number, and NaN or infinity is refused.
std::optional<double> parseFiniteDouble(std::string_view text);
std::optional<long long> parseInteger(std::string_view text);

// The path as given, or with backslashes turned into slashes when only that form exists.
std::string resolvePath(const std::string& path);

}  // namespace merlin
