#include "persistence/token_reader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>

#include "core/decimal_text.h"

namespace relatix {

namespace {
bool isSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}
}  // namespace

std::string TokenReader::readLine() {
    if (atEnd()) return {};
    size_t end = text_.find('\n', position_);
    if (end == std::string::npos) end = text_.size();
    std::string line = text_.substr(position_, end - position_);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    position_ = end < text_.size() ? end + 1 : end;
    return line;
}

void TokenReader::skipSpace() {
    while (!atEnd() && isSpace(text_[position_])) ++position_;
}

std::string TokenReader::readWord() {
    skipSpace();
    const size_t start = position_;
    while (!atEnd() && !isSpace(text_[position_])) ++position_;
    return text_.substr(start, position_ - start);
}

double TokenReader::readNumber() {
    skipSpace();
    if (atEnd()) return 0;
    // The longest number at the position, read without the process locale.
    size_t at = position_;
    bool negative = false;
    if (text_[at] == '+' || text_[at] == '-') {
        negative = text_[at] == '-';
        ++at;
    }
    if (at >= text_.size() || text_[at] == '+' || text_[at] == '-') return 0;
    double value = 0;
    const char* begin = text_.data() + at;
    const auto result =
        std::from_chars(begin, text_.data() + text_.size(), value, std::chars_format::general);
    if (result.ptr == begin) return 0;
    position_ = static_cast<size_t>(result.ptr - text_.data());
    if (result.ec == std::errc::result_out_of_range) return 0;
    return negative ? -value : value;
}

std::optional<double> TokenReader::readCheckedNumber() {
    return parseDecimal(readWord());
}

std::optional<double> TokenReader::readKeyCheckedNumber() {
    skipKey();
    const std::optional<double> value = readCheckedNumber();
    readLine();
    return value;
}

int TokenReader::lineNumber() const {
    const size_t end = std::min(position_, text_.size());
    return 1 + static_cast<int>(std::count(text_.begin(), text_.begin() + end, '\n'));
}

long TokenReader::readInteger() {
    const double value = readNumber();
    if (!(value > LONG_MIN && value < LONG_MAX)) return 0;
    return static_cast<long>(value);
}

void TokenReader::skipKey() {
    readWord();  // key
    readWord();  // "="
}

double TokenReader::readKeyNumber() {
    skipKey();
    const double value = readNumber();
    readLine();
    return value;
}

long TokenReader::readKeyInteger() {
    skipKey();
    const long value = readInteger();
    readLine();
    return value;
}

std::string TokenReader::readKeyWord() {
    skipKey();
    std::string value = readWord();
    readLine();
    return value;
}

std::string TokenReader::readKeyRest() {
    skipKey();
    std::string rest = readLine();
    if (!rest.empty() && rest.front() == ' ') rest.erase(0, 1);
    if (!rest.empty() && rest.back() == '\t') rest.pop_back();
    return rest;
}

}  // namespace relatix
