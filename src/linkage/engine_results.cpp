#include "linkage/engine_results.h"

#include <cmath>
#include <fstream>
#include <limits>
#include <optional>
#include <sstream>

#include "core/decimal_text.h"
#include "linkage/engine_output_cursor.h"
#include "linkage/linkage_markers.h"
#include "platform/trace_file.h"

namespace relatix {

namespace {

// The number the engine printed: a finite decimal, or "-inf" / "inf".
std::optional<double> engineNumber(std::string_view word) {
    if (word == "-inf" || word == "-Inf" || word == "-INF")
        return -std::numeric_limits<double>::infinity();
    return parseDecimal(word);
}

}  // namespace

Status readFamilyLikelihoods(std::string_view text, int n, LogLikelihoods& target, TraceFile* trace,
                             const std::string& tracePrefix) {
    const size_t count = static_cast<size_t>(std::max(n, 0));
    auto incomplete = [&](const std::string& why) {
        target = missingLikelihoods(count, why);
        return Status::failure(why);
    };
    target.assign(count, LogLikelihood::missing("not read"));
    EngineOutputCursor cursor(text);
    std::string_view line;
    bool found = false;
    while (!found && cursor.readLine(line)) found = line.substr(0, 6) == "Family";
    if (!found) return incomplete("the linkage program's output holds no family");

    for (size_t family = 0; family < count; ++family) {
        std::string reason;
        std::string_view word = cursor.readWord();
        int skippedLines = 0;
        while (word != "lnLikelihood") {
            if (marksFamily(word)) {
                std::string_view rest;
                cursor.readLine(rest);  // the rest of the line, with its end
                if (reason.empty()) reason = skipReason(rest);
            } else {
                cursor.skipRestOfLine();
            }
            if (cursor.atEnd())
                return incomplete("the linkage program's output ends before family " +
                                  std::to_string(family + 1) + " of " + std::to_string(count));
            word = cursor.firstWordOfLine();
            if (++skippedLines > kMaximumSkippedLines)
                return incomplete("the linkage program's output has no value for family " +
                                  std::to_string(family + 1));
        }
        cursor.readWord();  // the separator, whatever it is
        const std::string_view numberWord = cursor.readWord();
        if (numberWord.empty() || !cursor.lineEnded())
            return incomplete("the linkage program's output is cut in the value of family " +
                              std::to_string(family + 1));
        cursor.skipRestOfLine();
        const std::optional<double> value = engineNumber(numberWord);
        if (trace) *trace << tracePrefix << std::string(numberWord) << "\n";
        if (!reason.empty()) {
            target[family] = meansInconsistent(reason)
                                 ? LogLikelihood(-std::numeric_limits<double>::infinity())
                                 : LogLikelihood::missing(reason);
        } else if (!value) {
            target[family] = LogLikelihood::missing("the linkage program printed '" +
                                                    std::string(numberWord) + "'");
        } else if (*value > 0) {
            target[family] =
                LogLikelihood::missing("the linkage program printed a positive log-likelihood (" +
                                       std::string(numberWord) + ")");
        } else {
            target[family] = *value;
        }
    }
    return {};
}

Status readEngineResults(Core& core) {
    const int n = core.hypothesisCount();
    const size_t count = static_cast<size_t>(std::max(n, 0));
    auto fail = [&](const std::string& why) {
        core.unlinkedResults = missingLikelihoods(count, why);
        core.merlinResults = missingLikelihoods(count, why);
        return Status::failure(why);
    };
    const std::optional<std::string> unlinked =
        readWholeFile(workFilePath(core, "tempResults.txt"));
    const std::optional<std::string> linked = readWholeFile(workFilePath(core, "tempResults2.txt"));
    if (!unlinked || !linked) return fail("the linkage program wrote no results file");
    TraceFile trace("extractMerlinInfo");
    LogLikelihoods first, second;
    Status status = readFamilyLikelihoods(*unlinked, n, first, &trace);
    if (status) status = readFamilyLikelihoods(*linked, n, second, &trace, "Second likelihood: ");
    if (!status) return fail(status.message());
    core.unlinkedResults = std::move(first);
    core.merlinResults = std::move(second);
    return {};
}

}  // namespace relatix
