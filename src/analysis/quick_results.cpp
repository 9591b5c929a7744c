#include "analysis/quick_results.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/quick_linkage_files.h"
#include "core/decimal_text.h"
#include "linkage/engine_output_cursor.h"

namespace relatix {

namespace {

std::optional<double> engineNumber(std::string_view word) {
    if (word == "-inf" || word == "-Inf" || word == "-INF")
        return -std::numeric_limits<double>::infinity();
    return parseDecimal(word);
}

// Reads one chromosome's block of n families; fails with the reason when the
// block or a family's value is not there.
Status readChromosome(EngineOutputCursor& cursor, size_t n, int chromosome,
                      LogLikelihoods& values) {
    std::string_view line;
    bool found = false;
    while (!found && cursor.readLine(line)) found = line.substr(0, 6) == "Family";
    if (!found)
        return Status::failure("the linkage program gave no result for chromosome " +
                               std::to_string(chromosome));
    for (size_t p = 0; p < n; ++p) {
        std::string reason;
        std::string_view word = cursor.readWord();
        while (word != "lnLikelihood") {
            if (word.empty())
                return Status::failure("the linkage program gave no result for pedigree " +
                                       std::to_string(p + 1) + " on chromosome " +
                                       std::to_string(chromosome));
            if (marksFamily(word)) {
                std::string_view rest;
                cursor.readLine(rest);
                if (reason.empty()) reason = skipReason(rest);
            } else {
                cursor.skipRestOfLine();
            }
            word = cursor.readWord();
        }
        cursor.readWord();  // the separator
        const std::string_view numberWord = cursor.readWord();
        cursor.skipRestOfLine();
        const std::optional<double> value = engineNumber(numberWord);
        if (!reason.empty()) {
            values[p] = meansInconsistent(reason)
                            ? LogLikelihood(-std::numeric_limits<double>::infinity())
                            : LogLikelihood::missing(reason);
        } else if (!value) {
            values[p] = LogLikelihood::missing("the linkage program printed '" +
                                               std::string(numberWord) + "'");
        } else if (*value > 0) {
            values[p] =
                LogLikelihood::missing("the linkage program printed a positive log-likelihood (" +
                                       std::string(numberWord) + ")");
        } else {
            values[p] = *value;
        }
    }
    return {};
}

}  // namespace

QuickResults readQuickResults(const QuickCase& quickCase,
                              const std::optional<std::string>& engineOutput,
                              const std::string& whyNoOutput) {
    QuickResults results;
    const size_t n = quickCase.pedigrees.size();
    const std::vector<int> systems = quickLinkageSystems(quickCase);
    EngineOutputCursor cursor(engineOutput ? std::string_view(*engineOutput) : std::string_view());
    for (int chromosome : quickChromosomes(quickCase)) {
        QuickChromosome block;
        block.chromosome = chromosome;
        for (int s : systems)
            if (quickCase.systems[s].chromosome == chromosome)
                block.systems.push_back(quickCase.systems[s].name);
        block.lnLikelihood.assign(n, LogLikelihood::missing("not read"));
        if (results.engineProblem.empty()) {
            if (!engineOutput) {
                results.engineProblem =
                    whyNoOutput.empty() ? "the linkage program wrote no results" : whyNoOutput;
            } else {
                const Status status = readChromosome(cursor, n, chromosome, block.lnLikelihood);
                if (!status) results.engineProblem = status.message();
            }
        }
        if (!results.engineProblem.empty()) {
            // Reading has ended: every value not read is missing for that reason.
            for (LogLikelihood& value : block.lnLikelihood)
                if (!value && value.reason() == "not read")
                    value = LogLikelihood::missing(results.engineProblem);
        }
        results.chromosomes.push_back(std::move(block));
    }

    results.total.assign(n, LogLikelihood(0.0));
    for (const QuickChromosome& block : results.chromosomes) {
        for (size_t p = 0; p < n; ++p) {
            if (!results.total[p]) continue;
            const LogLikelihood& value = block.lnLikelihood[p];
            results.total[p] = value ? LogLikelihood(*results.total[p] + *value)
                                     : LogLikelihood::missing(value.reason());
        }
    }
    computeQuickRatios(results);
    return results;
}

void computeQuickRatios(QuickResults& results) {
    const size_t n = results.total.size();
    results.lr.assign(n, std::vector<std::optional<double>>(n));
    for (size_t p = 0; p < n; ++p) {
        for (size_t q = 0; q < n; ++q) {
            const LogLikelihood& a = results.total[p];
            const LogLikelihood& b = results.total[q];
            if (!a || !b) continue;
            if (std::isinf(*a) && std::isinf(*b)) continue;  // both impossible: no ratio
            results.lr[p][q] = p == q ? 1.0 : std::exp(*a - *b);
        }
    }
    results.posterior.assign(n, std::nullopt);
    double top = -std::numeric_limits<double>::infinity();
    for (const LogLikelihood& value : results.total) {
        if (!value) return;
        top = std::max(top, *value);
    }
    if (n == 0 || std::isinf(top)) return;
    double sum = 0.0;
    for (const LogLikelihood& value : results.total) sum += std::exp(*value - top);
    for (size_t p = 0; p < n; ++p) results.posterior[p] = std::exp(*results.total[p] - top) / sum;
}

std::string quickNumber(const std::optional<double>& value) {
    return value ? formatGeneral(*value, 6) : std::string("NA");
}

std::string quickMatrixText(const QuickResults& results) {
    const size_t n = results.lr.size();
    std::string text = "LR versus ->\t";
    for (size_t q = 0; q < n; ++q) text += "Ped " + std::to_string(q + 1) + "\t";
    text += "\r\n";
    for (size_t p = 0; p < n; ++p) {
        text += "Ped " + std::to_string(p + 1) + "\t";
        for (size_t q = 0; q < n; ++q) text += quickNumber(results.lr[p][q]) + "\t";
        text += "\r\n";
    }
    return text;
}

}  // namespace relatix
