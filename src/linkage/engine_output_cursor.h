// Reading the linkage engine's results files the way a stream reads words and
// lines: the cursor shared by the calculation's and the simulation's readers.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace relatix {

class EngineOutputCursor {
public:
    explicit EngineOutputCursor(std::string_view text) : text_(text) {}

    bool atEnd() const { return pos_ >= text_.size(); }

    bool readLine(std::string_view& line) {
        if (atEnd()) return false;
        const size_t end = text_.find('\n', pos_);
        const size_t stop = end == std::string_view::npos ? text_.size() : end;
        line = text_.substr(pos_, stop - pos_);
        pos_ = stop == text_.size() ? stop : stop + 1;
        return true;
    }

    // The next word, across line ends; empty at the end of the text.
    std::string_view readWord() {
        while (!atEnd() && (isBlank(text_[pos_]) || text_[pos_] == '\n')) ++pos_;
        return wordHere();
    }

    // The first word of the line the cursor is at the start of; empty for a blank line.
    std::string_view firstWordOfLine() {
        while (!atEnd() && isBlank(text_[pos_])) ++pos_;
        return wordHere();
    }

    // Whether only blanks stand between the cursor and a line end ("\n"); false
    // at the end of the text, where the last line was cut before its end.
    bool lineEnded() const {
        size_t p = pos_;
        while (p < text_.size() && isBlank(text_[p])) ++p;
        return p < text_.size() && text_[p] == '\n';
    }

    void skipRestOfLine() {
        const size_t end = text_.find('\n', pos_);
        pos_ = end == std::string_view::npos ? text_.size() : end + 1;
    }

private:
    static bool isBlank(char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
    }
    std::string_view wordHere() {
        const size_t start = pos_;
        while (!atEnd() && !isBlank(text_[pos_]) && text_[pos_] != '\n') ++pos_;
        return text_.substr(start, pos_ - start);
    }

    std::string_view text_;
    size_t pos_ = 0;
};

// A word that marks a family the engine gave no value for.
inline bool marksFamily(std::string_view word) {
    return word == "Skipping" || word == "Cluster";
}

// The reason of a "Skipping family F: reason" line, given the text after "Skipping".
inline std::string skipReason(std::string_view rest) {
    const size_t colon = rest.find(':');
    std::string_view reason =
        colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
    while (!reason.empty() && (reason.front() == ' ' || reason.front() == '\t'))
        reason.remove_prefix(1);
    while (!reason.empty() && (reason.back() == '\r' || reason.back() == ' '))
        reason.remove_suffix(1);
    return reason.empty() ? std::string("skipped by the linkage program")
                          : "skipped by the linkage program: " + std::string(reason);
}

inline bool meansInconsistent(const std::string& reason) {
    return reason.find(": inconsistent") != std::string::npos;
}

// The whole content of a file, or nothing when it cannot be opened.
std::optional<std::string> readWholeFile(const std::string& path);

}  // namespace relatix
