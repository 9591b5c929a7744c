#include "persistence/token_reader.h"

#include <cctype>
#include <climits>
#include <cstdlib>

namespace relatix {

namespace {
bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
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
    const char* begin = text_.c_str() + position_;
    char* end = nullptr;
    const double value = std::strtod(begin, &end);
    position_ += static_cast<size_t>(end - begin);
    return value;
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
