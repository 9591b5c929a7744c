#include "simulation/simulated_engine_results.h"

#include <cmath>
#include <fstream>
#include <optional>
#include <sstream>

#include "core/catalogue.h"
#include "core/decimal_text.h"
#include "linkage/engine_output_cursor.h"
#include "linkage/linkage_markers.h"
#include "linkage/linkage_ped_file.h"
#include "platform/trace_file.h"

namespace relatix {

namespace {

std::string number(double value) {
    return formatGeneral(value, 6);
}

// The cells of one group of a raw-data row for the data sets of simulation s.
void appendRatioGroup(std::string& out, const std::vector<std::vector<double>>* first,
                      const std::vector<std::vector<double>>* second, size_t s, size_t k) {
    static const std::vector<double> none;
    auto setOf = [&](const std::vector<std::vector<double>>* sets, size_t t) -> const auto& {
        const size_t index = s * k + t;
        return sets && index < sets->size() ? (*sets)[index] : none;
    };
    auto value = [](const std::vector<double>& w, size_t i) { return i < w.size() ? w[i] : 0.0; };
    for (size_t t = 0; t < k; ++t) {
        for (size_t u = 0; u < k; ++u) {
            if (u == t) {
                out += "-\t";
                continue;
            }
            const std::vector<double>& a = setOf(first, t);
            if (!second) {
                if (value(a, u) == 0.0)
                    out += "-*";
                else if (value(a, t) == 0.0)
                    out += "0";
                else
                    out += number(std::exp(value(a, t) - value(a, u)));
            } else {
                const std::vector<double>& b = setOf(second, t);
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

bool readSimulatedBlocks(std::string_view text, int n, int k,
                         std::vector<std::vector<double>>& target, TraceFile* trace) {
    const size_t families = static_cast<size_t>(std::max(k, 0));
    const size_t blocks = static_cast<size_t>(std::max(n, 0)) * families;
    target.assign(blocks, std::vector<double>(families, 0.0));
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
            std::string_view word = cursor.readWord();
            // A family the engine skipped has no value; the families after it keep theirs.
            bool marked = marksFamily(word);
            int skipped = 0;
            while (word != "lnLikelihood") {
                if (cursor.atEnd() || ++skipped > kMaximumFamilyLines) return false;
                cursor.skipRestOfLine();
                word = cursor.firstWordOfLine();
                marked = marked || marksFamily(word);
            }
            cursor.readWord();  // the separator, whatever it is
            const std::string_view numberWord = cursor.readWord();
            cursor.skipRestOfLine();
            const double value = readDecimal(numberWord);
            if (!marked && std::isfinite(value)) target[b][i] = value;
        }
    }
    return true;
}

std::vector<std::string> simulationHypothesisNames(const Core& core, bool lineBreakSeparator) {
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

bool readSimulatedEngineResults(Core& core, int n, const std::string& rawDataPath) {
    const std::optional<std::string> linked = readWholeFile(workFilePath(core, "tempResults.txt"));
    const std::optional<std::string> unlinked =
        readWholeFile(workFilePath(core, "tempResults2.txt"));
    TraceFile trace("extractSimulatedInformation");
    std::ofstream raw;
    if (!rawDataPath.empty()) {
        raw.open(rawDataPath, std::ios::binary | std::ios::trunc);
        if (raw) raw << rawDataHeader(core, n);
    }
    const int k = core.hypothesisCount();
    trace << "Starting to extract information from file 1\r\n"
          << "#Simulations: " << n << "\r\n#Families: " << k << "\r\n";
    const size_t sets = static_cast<size_t>(std::max(n, 0)) * static_cast<size_t>(std::max(k, 0));
    const std::vector<std::vector<double>> zeros(sets,
                                                 std::vector<double>(static_cast<size_t>(k), 0.0));
    core.simulatedLinkedLikelihoods = zeros;
    core.simulatedUnlinkedLikelihoods = zeros;

    trace << "First file...\r\n";
    if (!linked || !readSimulatedBlocks(*linked, n, k, core.simulatedLinkedLikelihoods, &trace))
        return false;
    trace << "Second file...\r\n";
    if (!unlinked ||
        !readSimulatedBlocks(*unlinked, n, k, core.simulatedUnlinkedLikelihoods, &trace))
        return false;
    if (raw) raw << rawDataRows(core, n);
    return true;
}

}  // namespace relatix
