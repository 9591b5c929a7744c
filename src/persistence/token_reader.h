// The reading primitives of the older line formats: a line read takes the rest
// of the current line; a word read skips white space and takes the next word; a
// number read skips white space and reads a number, leaving the rest of its
// line. A key line is "key = value": key and "=" as words, then the value, then
// the rest of the line. Reads past the end give empty texts and 0.
#pragma once

#include <optional>
#include <string>

namespace relatix {

class TokenReader {
public:
    explicit TokenReader(std::string text) : text_(std::move(text)) {}

    bool atEnd() const { return position_ >= text_.size(); }
    // The rest of the current line without its line end (CR LF or LF).
    std::string readLine();
    std::string readWord();
    // 0 when no number stands at the position (nothing is consumed then but blanks).
    double readNumber();
    long readInteger();
    // The next word as a whole finite number; nothing (the word consumed) when
    // it is not one, so that "abc" or "1e999" is not taken for 0.
    std::optional<double> readCheckedNumber();
    std::optional<double> readKeyCheckedNumber();
    // The 1-based line of the reading position.
    int lineNumber() const;
    // Key lines whose value is a number, a word, or the rest of the line.
    double readKeyNumber();
    long readKeyInteger();
    std::string readKeyWord();
    std::string readKeyRest();
    void skipLine() { readLine(); }

private:
    void skipSpace();
    void skipKey();
    std::string text_;
    size_t position_ = 0;
};

}  // namespace relatix
