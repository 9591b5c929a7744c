#include "linkage/engine_results.h"

#include <cmath>
#include <fstream>
#include <optional>
#include <sstream>

#include "core/decimal_text.h"
#include "linkage/engine_output_cursor.h"
#include "linkage/linkage_markers.h"
#include "platform/trace_file.h"

namespace relatix {

bool readFamilyLikelihoods(std::string_view text, int n, std::vector<double>& target,
                           TraceFile* trace, const std::string& tracePrefix) {
    target.assign(static_cast<size_t>(std::max(n, 0)), 0.0);
    EngineOutputCursor cursor(text);
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
        readWholeFile(workFilePath(core, "tempResults.txt"));
    const std::optional<std::string> linked = readWholeFile(workFilePath(core, "tempResults2.txt"));
    if (!unlinked || !linked) return false;
    TraceFile trace("extractMerlinInfo");
    const int n = core.hypothesisCount();
    if (!readFamilyLikelihoods(*unlinked, n, core.unlinkedResults, &trace)) return false;
    return readFamilyLikelihoods(*linked, n, core.merlinResults, &trace, "Second likelihood: ");
}

}  // namespace relatix
