#include "simulation/simulated_engine_results.h"

#include <cmath>
#include <limits>
#include <optional>
#include <sstream>

#include "core/catalogue.h"
#include "core/decimal_text.h"
#include "linkage/engine_output_cursor.h"
#include "linkage/linkage_markers.h"
#include "linkage/linkage_ped_file.h"
#include "platform/atomic_file.h"
#include "platform/process_runner.h"
#include "platform/trace_file.h"

namespace relatix {

namespace {

std::string number(double value) {
    return formatGeneral(value, 6);
}

// The cells of one group of a raw-data row for the data sets of simulation s.
// The raw-data file keeps the linkage program's own convention: 0 for a family
// without a value, whether it is missing or impossible (ln L = -inf).
void appendRatioGroup(std::string& out, const SimulatedDataSets* first,
                      const SimulatedDataSets* second, size_t s, size_t k) {
    static const LogLikelihoods none;
    auto setOf = [&](const SimulatedDataSets* sets, size_t t) -> const auto& {
        const size_t index = s * k + t;
        return sets && index < sets->size() ? (*sets)[index] : none;
    };
    auto value = [](const LogLikelihoods& w, size_t i) {
        return i < w.size() && w[i] && std::isfinite(*w[i]) ? *w[i] : 0.0;
    };
    for (size_t t = 0; t < k; ++t) {
        for (size_t u = 0; u < k; ++u) {
            if (u == t) {
                out += "-\t";
                continue;
            }
            const LogLikelihoods& a = setOf(first, t);
            if (!second) {
                if (value(a, u) == 0.0)
                    out += "-*";
                else if (value(a, t) == 0.0)
                    out += "0";
                else
                    out += number(std::exp(value(a, t) - value(a, u)));
            } else {
                const LogLikelihoods& b = setOf(second, t);
                if (value(a, t) == 0.0 || value(a, u) == 0.0 || value(b, t) == 0.0 ||
                    value(b, u) == 0.0)
                    out += "1";
                else
                    out += number(std::exp(value(a, t) - value(a, u)) /
                                  std::exp(value(b, t) - value(b, u)));
            }
            out += "\t";
        }
        out += "\t";
    }
}

}  // namespace

bool readSimulatedBlocks(std::string_view text, int n, int k, SimulatedDataSets& target,
                         TraceFile* trace) {
    const size_t families = static_cast<size_t>(std::max(k, 0));
    const size_t blocks = static_cast<size_t>(std::max(n, 0)) * families;
    target.assign(blocks, missingLikelihoods(families, "not read"));
    EngineOutputCursor cursor(text);
    for (size_t b = 0; b < blocks; ++b) {
        std::string_view line;
        bool found = false;
        for (int read = 0; read < kMaximumBlockSearchLines && !found; ++read) {
            if (!cursor.readLine(line)) return false;
            if (trace) *trace << line << "\r\nChecking the line...\r\n";
            if (line.find("ERROR") != std::string_view::npos) return false;
            found = line.substr(0, 6) == "Family";
        }
        if (!found) return false;
        if (trace) *trace << "Done with looping...\r\n";

        for (size_t i = 0; i < families; ++i) {
            // A family the engine skipped has no value, or ln L = -inf when it is
            // inconsistent with the data; the families after it keep theirs.
            std::string reason;
            std::string_view word = cursor.readWord();
            int skipped = 0;
            while (word != "lnLikelihood") {
                if (marksFamily(word)) {
                    std::string_view rest;
                    cursor.readLine(rest);
                    if (reason.empty()) reason = skipReason(rest);
                } else {
                    cursor.skipRestOfLine();
                }
                if (cursor.atEnd() || ++skipped > kMaximumFamilyLines) return false;
                word = cursor.firstWordOfLine();
            }
            cursor.readWord();  // the separator, whatever it is
            const std::string_view numberWord = cursor.readWord();
            if (numberWord.empty() || !cursor.lineEnded()) return false;  // cut output
            cursor.skipRestOfLine();
            const std::optional<double> value = parseDecimal(numberWord);
            if (!reason.empty())
                target[b][i] = meansInconsistent(reason)
                                   ? LogLikelihood(-std::numeric_limits<double>::infinity())
                                   : LogLikelihood::missing(reason);
            else if (value && *value <= 0)
                target[b][i] = *value;
            else
                target[b][i] = LogLikelihood::missing("the linkage program printed '" +
                                                      std::string(numberWord) + "'");
        }
    }
    return true;
}

std::vector<std::string> simulationHypothesisNames(const Core& core, bool lineBreakSeparator) {
    if (!core.simulatedPedigreeNames.empty()) return core.simulatedPedigreeNames;
    std::vector<std::string> names;
    for (int code : hypothesisCodes(core))
        names.push_back(catalogueName(
            code, lineBreakSeparator ? NameSeparator::LineBreak : NameSeparator::Space));
    return names;
}

std::string rawDataHeader(const Core& core, int n) {
    const size_t k = static_cast<size_t>(core.hypothesisCount());
    std::string out =
        "Likelihoods ratios (LR) L(Data|True hypothesis)/L(Data|Alternative hypothesis)\r\n";
    out += "NumberOfSimulations:\t" + std::to_string(n) + "\r\n\r\n";
    out += "(Assuming LE)\t";
    for (size_t i = 0; i + 1 < k * (k + 1); ++i) out += "-\t";
    out += "| (Assuming LD)\t";
    for (size_t i = 0; i < k * (k + 1); ++i) out += "-\t";
    out += "| LR(Assuming LE)/LR(Assuming LD)\r\n";
    const std::vector<std::string> names = simulationHypothesisNames(core, true);
    for (int group = 0; group < 3; ++group) {
        if (group) out += "|\t";
        for (size_t t = 0; t < k; ++t) {
            for (size_t u = 0; u < k; ++u) {
                out += u < names.size() ? names[u] : std::string();
                if (u == t) out += " (TRUE)";
                out += "\t";
            }
            out += "\t";
        }
    }
    return out + "\r\n";
}

std::string rawDataRows(const Core& core, int n) {
    const size_t k = static_cast<size_t>(core.hypothesisCount());
    std::string out;
    for (size_t s = 0; s < static_cast<size_t>(std::max(n, 0)); ++s) {
        appendRatioGroup(out, &core.simulatedLinkedLikelihoods, nullptr, s, k);
        out += "|\t";
        appendRatioGroup(out, &core.simulatedUnlinkedLikelihoods, nullptr, s, k);
        out += "|\t";
        appendRatioGroup(out, &core.simulatedLinkedLikelihoods, &core.simulatedUnlinkedLikelihoods,
                         s, k);
        out += "\r\n";
    }
    return out;
}

Status writeRawDataFile(const Core& core, int n, const std::string& path, bool withRows) {
    std::string why;
    const AtomicWriteStatus status = writeFileAtomically(
        path,
        [&](std::ostream& out) {
            out << rawDataHeader(core, n);
            if (withRows) out << rawDataRows(core, n);
        },
        &why);
    if (status == AtomicWriteStatus::Written) return {};
    return Status::failure("Could not write the raw data file " + path +
                           (why.empty() ? "" : ": " + why) +
                           "; any earlier file of that name is left as it was");
}

bool readSimulatedEngineResults(Core& core, int n, const std::string& rawDataPath,
                                Status* rawData) {
    const std::optional<std::string> linked = readWholeFile(workFilePath(core, "tempResults.txt"));
    const std::optional<std::string> unlinked =
        readWholeFile(workFilePath(core, "tempResults2.txt"));
    TraceFile trace("extractSimulatedInformation");
    const int k = core.hypothesisCount();
    trace << "Starting to extract information from file 1\r\n"
          << "#Simulations: " << n << "\r\n#Families: " << k << "\r\n";
    const size_t sets = static_cast<size_t>(std::max(n, 0)) * static_cast<size_t>(std::max(k, 0));
    const SimulatedDataSets none(
        sets, missingLikelihoods(static_cast<size_t>(std::max(k, 0)), "not read"));
    core.simulatedLinkedLikelihoods = none;
    core.simulatedUnlinkedLikelihoods = none;

    trace << "First file...\r\n";
    bool read =
        linked && readSimulatedBlocks(*linked, n, k, core.simulatedLinkedLikelihoods, &trace);
    if (read) {
        trace << "Second file...\r\n";
        read = unlinked &&
               readSimulatedBlocks(*unlinked, n, k, core.simulatedUnlinkedLikelihoods, &trace);
    }
    // The table is written whole at the end, and not at all when the run was
    // interrupted: an earlier table of that name is then left as it was. A
    // reading that stopped early gives the header alone.
    if (!rawDataPath.empty() && !interrupted()) {
        const Status written = writeRawDataFile(core, n, rawDataPath, read);
        if (rawData) *rawData = written;
    }
    return read;
}

}  // namespace relatix
