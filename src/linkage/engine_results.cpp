#include "linkage/engine_results.h"

#include <cmath>
#include <fstream>
#include <optional>
#include <sstream>

#include "core/decimal_text.h"
#include "linkage/linkage_markers.h"
#include "platform/trace_file.h"

namespace relatix {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Reading positions in the text the way a stream reads words and lines.
class Cursor {
  public:
    explicit Cursor(std::string_view text) : text_(text) {}

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

    void skipRestOfLine() {
        const size_t end = text_.find('\n', pos_);
        pos_ = end == std::string_view::npos ? text_.size() : end + 1;
    }

  private:
    std::string_view wordHere() {
        const size_t start = pos_;
        while (!atEnd() && !isBlank(text_[pos_]) && text_[pos_] != '\n') ++pos_;
        return text_.substr(start, pos_ - start);
    }

    std::string_view text_;
    size_t pos_ = 0;
};

bool marksFamily(std::string_view word) {
    return word == "Skipping" || word == "Cluster";
}

std::optional<std::string> readWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

}  // namespace

bool readFamilyLikelihoods(std::string_view text, int n, std::vector<double>& target,
                           TraceFile* trace, const std::string& tracePrefix) {
    target.assign(static_cast<size_t>(std::max(n, 0)), 0.0);
    Cursor cursor(text);
    std::string_view line;
    bool found = false;
    while (!found && cursor.readLine(line)) found = line.substr(0, 6) == "Family";
    if (!found) return false;

    for (size_t family = 0; family < target.size(); ++family) {
        std::string_view word = cursor.readWord();
        bool marked = marksFamily(word);
        int skippedLines = 0;
        while (word != "lnLikelihood") {
            if (cursor.atEnd()) return false;
            cursor.skipRestOfLine();
            word = cursor.firstWordOfLine();
            marked = marked || marksFamily(word);
            if (++skippedLines > kMaximumSkippedLines) return false;
        }
        cursor.readWord();  // the separator, whatever it is
        const std::string_view numberWord = cursor.readWord();
        if (numberWord.empty()) return false;
        cursor.skipRestOfLine();
        double value = readDecimal(numberWord);
        if (trace) *trace << tracePrefix << formatGeneral(value, 12) << "\n";
        if (!std::isfinite(value)) value = 0.0;
        target[family] = marked ? 0.0 : value;
    }
    return true;
}

bool readEngineResults(Core& core) {
    const std::optional<std::string> unlinked =
        readWholeFile(tempFilePath(core.programDirectory, "tempResults.txt"));
    const std::optional<std::string> linked =
        readWholeFile(tempFilePath(core.programDirectory, "tempResults2.txt"));
    if (!unlinked || !linked) return false;
    TraceFile trace("extractMerlinInfo");
    const int n = core.hypothesisCount();
    if (!readFamilyLikelihoods(*unlinked, n, core.unlinkedResults, &trace)) return false;
    return readFamilyLikelihoods(*linked, n, core.merlinResults, &trace, "Second likelihood: ");
}

}  // namespace relatix
