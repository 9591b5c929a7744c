#include "engine_files_command.h"

#include <cmath>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>

#include "core/core.h"
#include "core/decimal_text.h"
#include "json_output.h"
#include "platform/program_folder.h"
#include "simulation/simulation_run.h"
#include "simulation/simulation_statistics.h"
#include "tools/merlin_files.h"

namespace relatix::cli {

namespace {

struct Arguments {
    MerlinFiles files;
    std::optional<long long> simulations;
    std::optional<long long> seed;
    long long scale = 2;
    bool json = false;
};

bool parse(const std::vector<std::string>& args, Arguments& parsed, std::ostream& err) {
    parsed.files = {"", "", "", "", "", ""};
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string* {
            if (i + 1 >= args.size()) {
                err << "relatix2-cli: " << a << " needs a value\n";
                return nullptr;
            }
            return &args[++i];
        };
        std::string* file = a == "--ped"    ? &parsed.files.pedigreeFile
                            : a == "--dat"  ? &parsed.files.dataFile
                            : a == "--freq" ? &parsed.files.frequencyFile
                            : a == "--map"  ? &parsed.files.mapFile
                            : a == "--map2" ? &parsed.files.secondMapFile
                            : a == "-o"     ? &parsed.files.outputFile
                                            : nullptr;
        if (file) {
            const std::string* v = value();
            if (!v) return false;
            if (v->empty()) {
                err << "relatix2-cli: " << a << " needs a file name\n";
                return false;
            }
            *file = *v;
        } else if (a == "--json") {
            parsed.json = true;
        } else if (a == "-n" || a == "--seed" || a == "--scale") {
            const std::string* v = value();
            if (!v) return false;
            const std::optional<long long> number = parseInteger(*v);
            if (a == "-n") {
                if (!number || *number < kMinimumSimulations || *number > kMaximumSimulations) {
                    err << "relatix2-cli: -n takes a number of simulations from 10 to 100000, "
                           "got '"
                        << *v << "'\n";
                    return false;
                }
                parsed.simulations = number;
            } else if (a == "--seed") {
                if (!number || *number < 1 || *number > 4294967295LL) {
                    err << "relatix2-cli: --seed takes a number from 1 to 4294967295, got '" << *v
                        << "'\n";
                    return false;
                }
                parsed.seed = number;
            } else {
                if (!number || *number < 1) {
                    err << "relatix2-cli: --scale takes a pedigree number from 1, got '" << *v
                        << "'\n";
                    return false;
                }
                parsed.scale = *number;
            }
        } else {
            err << "relatix2-cli: unknown argument '" << a << "' for engine-files\n";
            return false;
        }
    }
    const std::pair<const std::string*, const char*> required[] = {
        {&parsed.files.pedigreeFile, "--ped"},   {&parsed.files.dataFile, "--dat"},
        {&parsed.files.frequencyFile, "--freq"}, {&parsed.files.mapFile, "--map"},
        {&parsed.files.secondMapFile, "--map2"}, {&parsed.files.outputFile, "-o"}};
    for (const auto& [field, option] : required)
        if (field->empty()) {
            err << "relatix2-cli: engine-files needs " << option << " FILE\n";
            return false;
        }
    if (!parsed.simulations) {
        err << "relatix2-cli: engine-files needs the number of simulations (-n N)\n";
        return false;
    }
    return true;
}

std::optional<double> known(double v, bool available) {
    if (!available || !std::isfinite(v)) return std::nullopt;
    return v;
}

nlohmann::json json(const std::optional<double>& v) {
    if (!v) return nullptr;
    return *v;
}

std::string text(const std::optional<double>& v) {
    return v ? formatGeneral(*v, 6) : std::string("NA");
}

// The statistics of the lists per method and true pedigree, as text or JSON; a
// list that is empty (its run failed) gives NA everywhere.
void writeStatistics(const Arguments& parsed, const MerlinRun& run,
                     const std::vector<std::string>& names, const SimulatedDataSets& linked,
                     const SimulatedDataSets& unlinked, std::ostream& out) {
    const int families = static_cast<int>(names.size());
    const int scale = static_cast<int>(parsed.scale) - 1;
    const int numerator = numeratorHypothesis(scale);
    const std::pair<const char*, const SimulatedDataSets*> methods[] = {{"linked", &linked},
                                                                        {"unlinked", &unlinked}};

    nlohmann::json document;
    if (parsed.json) {
        document["pedigreeFile"] = parsed.files.pedigreeFile;
        document["table"] = parsed.files.outputFile;
        document["simulations"] = run.simulations;
        document["seed"] = run.seed;
        document["families"] = families;
        // The linkage files are read by the linkage program, which reports no findings.
        document["importWarnings"] = nlohmann::json::array();
        document["scale"] = {{"number", scale + 1}, {"name", names[static_cast<size_t>(scale)]}};
        document["numerator"] = {{"number", numerator + 1},
                                 {"name", names[static_cast<size_t>(numerator)]}};
        document["methods"] = nlohmann::json::object();
    } else {
        out << "# seed " << run.seed << ", " << run.simulations << " simulations, LR = L("
            << numerator + 1 << ")/L(" << scale + 1 << "), table " << parsed.files.outputFile
            << "\n";
        out << "method\tTrue\tPedigree\tmedian\tmean\tminimum\tmaximum\tq5%\tq1%\tLR=0\tNA\t"
               "P(LR>1000)\tP(LR>10000)\tP(LR>100000)\n";
    }
    for (const auto& [method, sets] : methods) {
        nlohmann::json rows = nlohmann::json::array();
        for (int t = 0; t < families; ++t) {
            const SimulationStatistics s = simulationStatistics(*sets, t, scale);
            const bool enough = s.ratioCount >= kMinimumRatios;
            const bool any = s.ratioCount > 0;
            const std::optional<double> values[] = {known(s.median, enough),
                                                    known(s.mean, enough),
                                                    known(s.minimum, any),
                                                    known(s.maximum, any),
                                                    known(s.quantile5, s.ratioCount >= 21),
                                                    known(s.quantile1, s.ratioCount >= 101),
                                                    known(s.above1000, enough),
                                                    known(s.above10000, enough),
                                                    known(s.above100000, enough)};
            const std::string& name = names[static_cast<size_t>(t)];
            if (parsed.json) {
                rows.push_back({{"true", t + 1},
                                {"name", name},
                                {"ratios", s.ratioCount},
                                {"median", json(values[0])},
                                {"mean", json(values[1])},
                                {"minimum", json(values[2])},
                                {"maximum", json(values[3])},
                                {"quantile5", json(values[4])},
                                {"quantile1", json(values[5])},
                                {"zeroCount", s.zeroCount},
                                {"notAvailableCount", s.notAvailableCount},
                                {"pAbove1000", json(values[6])},
                                {"pAbove10000", json(values[7])},
                                {"pAbove100000", json(values[8])}});
            } else {
                out << method << '\t' << t + 1 << '\t' << name;
                for (int v = 0; v < 6; ++v) out << '\t' << text(values[v]);
                out << '\t' << s.zeroCount << '\t' << s.notAvailableCount;
                for (int v = 6; v < 9; ++v) out << '\t' << text(values[v]);
                out << '\n';
            }
        }
        if (parsed.json) document["methods"][method] = rows;
    }
    if (parsed.json) writeJson(out, document);
}

bool scaleFits(const Arguments& parsed, int families, std::ostream& err, const char* what) {
    if (families >= 2 && parsed.scale <= families) return true;
    err << "relatix2-cli: " << what << ", but statistics need a scale pedigree among the "
        << families << " families of " << parsed.files.pedigreeFile << "\n";
    return false;
}

}  // namespace

int runEngineFilesCommand(const std::vector<std::string>& args, std::ostream& out,
                          std::ostream& err) {
    Arguments parsed;
    if (!parse(args, parsed, err)) return 2;
    Core core(programFolder());
    MerlinRun run;
    run.files = parsed.files;
    run.simulations = static_cast<int>(*parsed.simulations);
    run.seed = parsed.seed ? static_cast<std::uint32_t>(*parsed.seed) : simulationSeed(true, {});
    run.warn = [&err](const std::string& text) {
        err << "relatix2-cli: warning: " << text << "\n";
    };
    MerlinPartialResults partial;
    if (const Status status = runMerlinAnalysis(core, run, &partial); !status) {
        err << "relatix2-cli: " << status.message() << "\n";
        // One of the two likelihood runs failed: the other's values are still shown,
        // and the status tells that the run as a whole failed.
        if (partial.any() && scaleFits(parsed, partial.families, err, "no table is written"))
            writeStatistics(parsed, run, merlinPedigreeNames(partial.families), partial.linked,
                            partial.unlinked, out);
        return 1;
    }
    const int families = static_cast<int>(core.simulatedPedigreeNames.size());
    if (!scaleFits(parsed, families, err, "the table is written")) return 1;
    writeStatistics(parsed, run, core.simulatedPedigreeNames, core.simulatedLinkedLikelihoods,
                    core.simulatedUnlinkedLikelihoods, out);
    return 0;
}

}  // namespace relatix::cli
