// Reading the older line formats in the manner of formatted stream input: a line
// read takes the rest of the current line; a word read skips white space and
// takes the next word; a number read skips white space (line ends included) and
// reads a decimal number, consuming nothing but the blanks when none stands
// there. Reads past the end give "" and 0 and are remembered (pastEnd), so that
// a reader can tell a file cut inside an item from one that is complete.
// Numbers never depend on the locale.
#pragma once

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>

namespace relatix {

// The leading whole number of a text as atoi reads it (blanks, a sign, digits);
// 0 when there is none, clamped to the range of int.
inline int leadingInteger(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min<long long>(value * 10 + (text[i] - '0'), 1LL << 32);
    value = negative ? -value : value;
    return static_cast<int>(std::clamp<long long>(value, -2147483647LL - 1, 2147483647LL));
}

// A whole line as one decimal number (blanks around it allowed), or nothing.
inline std::optional<double> wholeNumber(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
    if (begin < end && text[begin] == '+') ++begin;
    double value = 0;
    const auto result = std::from_chars(text.data() + begin, text.data() + end, value);
    if (begin == end || result.ec != std::errc() || result.ptr != text.data() + end) return {};
    return value;
}

// What a reader says of a file cut inside an item or of an item whose index
// points outside its list: the file, the 1-based line and the item.
inline std::string endsInside(const std::string& path, int line, const std::string& item) {
    return path + ", line " + std::to_string(line) + ": the file ends inside " + item;
}
inline std::string damagedAt(const std::string& path, int line, const std::string& what) {
    return path + ", line " + std::to_string(line) + ": " + what;
}

class LineCursor {
public:
    explicit LineCursor(std::string text) : text_(std::move(text)) {}

    bool atEnd() const { return position_ >= text_.size(); }
    // True once a read asked for a line, a word or a number the text does not
    // hold. The rest of a last line without a line break, read after a number
    // or a word on it, is still part of the text.
    bool pastEnd() const { return pastEnd_; }
    // The 1-based line of the reading position.
    int lineNumber() const { return line_; }
    std::string line() {
        if (atEnd()) {
            if (!midLine_) pastEnd_ = true;
            midLine_ = false;
            return {};
        }
        midLine_ = false;
        size_t end = text_.find('\n', position_);
        if (end == std::string::npos) end = text_.size();
        std::string result = text_.substr(position_, end - position_);
        if (!result.empty() && result.back() == '\r') result.pop_back();
        if (end < text_.size()) ++line_;
        position_ = std::min(end + 1, text_.size());
        return result;
    }
    void skip(long long lines) {
        for (long long i = 0; i < lines && !pastEnd_; ++i) line();
    }
    double number() {
        skipBlanks();
        if (atEnd()) {
            pastEnd_ = true;
            return 0;
        }
        midLine_ = true;
        size_t p = position_;
        bool negative = false;
        if (text_[p] == '+' || text_[p] == '-') negative = text_[p++] == '-';
        double value = 0;
        const auto result = std::from_chars(text_.data() + p, text_.data() + text_.size(), value);
        if (result.ec != std::errc() && result.ec != std::errc::result_out_of_range) return 0;
        position_ = static_cast<size_t>(result.ptr - text_.data());
        return negative ? -value : value;
    }
    // A count read from the file: negative or non-numbers give 0, huge values are
    // capped; loops over counts also stop at the end of the text.
    long long count() {
        const double value = number();
        if (!(value > 0)) return 0;
        return value > 1e12 ? 1000000000000LL : static_cast<long long>(value);
    }
    int integer() {
        const double value = number();
        if (!(value > -2147483648.0 && value < 2147483648.0)) return 0;
        return static_cast<int>(value);
    }
    std::string word() {
        skipBlanks();
        if (atEnd()) pastEnd_ = true;
        midLine_ = true;
        const size_t start = position_;
        while (!atEnd() && !isBlank(text_[position_])) ++position_;
        return text_.substr(start, position_ - start);
    }
    // Key lines "key = value": the key and "=" as words, then the value, then the
    // rest of the line.
    void key() {
        word();
        word();
    }
    double keyNumber() {
        key();
        const double value = number();
        line();
        return value;
    }
    long long keyCount() {
        key();
        const long long value = count();
        line();
        return value;
    }
    int keyInteger() {
        key();
        const int value = integer();
        line();
        return value;
    }
    std::string keyWord() {
        key();
        std::string value = word();
        line();
        return value;
    }
    // The rest of the line as value, without the blank after "=" and a trailing tab.
    std::string keyRest() {
        key();
        std::string rest = line();
        if (!rest.empty()) rest.erase(0, 1);
        if (!rest.empty() && rest.back() == '\t') rest.pop_back();
        return rest;
    }

private:
    static bool isBlank(char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    }
    void skipBlanks() {
        while (!atEnd() && isBlank(text_[position_])) {
            if (text_[position_] == '\n') ++line_;
            ++position_;
        }
    }
    std::string text_;
    size_t position_ = 0;
    int line_ = 1;
    bool pastEnd_ = false;
    // A number or a word was read on the current line: a line read takes its rest.
    bool midLine_ = false;
};

}  // namespace relatix
