#include "simulate_command.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>

#include "app/application.h"
#include "calculate_command.h"
#include "core/core.h"
#include "core/decimal_text.h"
#include "import_warnings_output.h"
#include "json_output.h"
#include "persistence/open_project.h"
#include "platform/atomic_file.h"
#include "platform/console_user_interface.h"
#include "platform/program_folder.h"
#include "simulation/simulated_engine_results.h"
#include "simulation/simulation_run.h"
#include "simulation/simulation_statistics.h"

namespace relatix::cli {

namespace {

constexpr long long kMaximumThreads = 256;

struct Arguments {
    std::string casePath;
    std::optional<long long> simulations;
    std::optional<long long> seed;
    int threads = 0;  // every core
    std::string rawPath;
    bool json = false;
    bool noMutation = false;
};

// A whole decimal integer, nothing else.
std::optional<long long> wholeInteger(const std::string& text) {
    return parseInteger(text);
}

bool parse(const std::vector<std::string>& args, Arguments& parsed, std::ostream& err) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](const char* option) -> const std::string* {
            if (i + 1 >= args.size()) {
                err << "relatix2-cli: " << option << " needs a value\n";
                return nullptr;
            }
            return &args[++i];
        };
        if (a == "--json") {
            parsed.json = true;
        } else if (a == "--no-mutation") {
            parsed.noMutation = true;
        } else if (a == "-n") {
            const std::string* v = value("-n");
            if (!v) return false;
            parsed.simulations = wholeInteger(*v);
            if (!parsed.simulations || *parsed.simulations < kMinimumSimulations ||
                *parsed.simulations > kMaximumSimulations) {
                err << "relatix2-cli: -n takes a number of simulations from 10 to 100000, got '"
                    << *v << "'\n";
                return false;
            }
        } else if (a == "--seed") {
            const std::string* v = value("--seed");
            if (!v) return false;
            parsed.seed = wholeInteger(*v);
            if (!parsed.seed || *parsed.seed < 1 || *parsed.seed > 4294967295LL) {
                err << "relatix2-cli: --seed takes a number from 1 to 4294967295, got '" << *v
                    << "'\n";
                return false;
            }
        } else if (a == "--threads") {
            const std::string* v = value("--threads");
            if (!v) return false;
            const std::optional<long long> threads = wholeInteger(*v);
            if (!threads || *threads < 1 || *threads > kMaximumThreads) {
                err << "relatix2-cli: --threads takes a number from 1 to " << kMaximumThreads
                    << ", got '" << *v << "'\n";
                return false;
            }
            parsed.threads = static_cast<int>(*threads);
        } else if (a == "--raw") {
            const std::string* v = value("--raw");
            if (!v) return false;
            if (v->empty()) {
                err << "relatix2-cli: --raw needs a file name\n";
                return false;
            }
            parsed.rawPath = *v;
        } else if (!a.empty() && a[0] == '-') {
            err << "relatix2-cli: unknown option '" << a << "' for simulate\n";
            return false;
        } else if (parsed.casePath.empty()) {
            parsed.casePath = a;
        } else {
            err << "relatix2-cli: simulate takes one case file, got also '" << a << "'\n";
            return false;
        }
    }
    if (!parsed.simulations) {
        err << "relatix2-cli: simulate needs the number of simulations (-n N)\n";
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

struct Method {
    const char* name;
    const SimulatedDataSets* sets;
};

}  // namespace

int runSimulateCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Arguments parsed;
    if (!parse(args, parsed, err)) return 2;
    if (parsed.casePath.empty()) parsed.casePath = bundledExamplePath();
    const std::string casePath = std::filesystem::absolute(parsed.casePath).string();
    const std::string rawPath =
        parsed.rawPath.empty() ? std::string() : std::filesystem::absolute(parsed.rawPath).string();

    ConsoleUserInterface ui(err);
    Core core(programFolder());
    std::vector<ImportWarning> importWarnings;
    if (!readRecordingImportWarnings(ui, importWarnings, [&](UserInterface& reading) {
            return openProject(core, casePath, reading);
        })) {
        err << "relatix2-cli: cannot read the case file '" << parsed.casePath << "'\n";
        return 1;
    }
    core.setProjectName(projectNameFromFileName(casePath));
    core.projectPath = casePath;
    if (parsed.noMutation) core.mutationsOff = true;  // a case saved without mutation stays so
    if (core.mainHypothesis < 0) {
        err << "relatix2-cli: simulations need a case with a predefined main relationship\n";
        return 1;
    }
    const int k = core.hypothesisCount();
    if (k < 2) {
        err << "relatix2-cli: the case has no alternative hypothesis to simulate against\n";
        return 1;
    }
    const int n = static_cast<int>(*parsed.simulations);
    const std::uint32_t seed =
        parsed.seed ? static_cast<std::uint32_t>(*parsed.seed) : simulationSeed(true, {});

    if (!rawPath.empty()) {
        // Known before the run, not after it: the raw data file can be written. An
        // earlier file of that name stays as it is until the run has its table.
        if (const std::string problem = atomicWriteProblem(rawPath); !problem.empty()) {
            err << "relatix2-cli: cannot write the raw data file '" << parsed.rawPath
                << "': " << problem << "\n";
            return 1;
        }
    }
    Status rawData;
    if (!runSimulation(core, ui, n, seed, rawPath, parsed.threads, &rawData)) {
        err << "relatix2-cli: the simulation of '" << parsed.casePath << "' could not be run\n";
        return 1;
    }

    const int scale = core.referenceHypothesis >= 0 && core.referenceHypothesis < k
                          ? core.referenceHypothesis
                          : 0;
    const std::vector<std::string> names = simulationHypothesisNames(core, false);
    const Method methods[] = {{"exact", &core.simulatedExactLikelihoods},
                              {"linked", &core.simulatedLinkedLikelihoods},
                              {"unlinked", &core.simulatedUnlinkedLikelihoods}};
    const int numerator = numeratorHypothesis(scale);

    nlohmann::json document;
    if (parsed.json) {
        document["case"] = parsed.casePath;
        document["importWarnings"] = importWarningsJson(importWarnings);
        document["simulations"] = n;
        document["seed"] = seed;
        document["scale"] = {{"number", scale + 1}, {"name", names[static_cast<size_t>(scale)]}};
        document["numerator"] = {{"number", numerator + 1},
                                 {"name", names[static_cast<size_t>(numerator)]}};
        document["methods"] = nlohmann::json::object();
    } else {
        out << "# seed " << seed << ", " << n << " simulations, LR = L(" << numerator + 1 << ")/L("
            << scale + 1 << ")\n";
        out << "method\tTrue\tHypothesis\tmedian\tmean\tminimum\tmaximum\tq5%\tq1%\tLR=0\tNA\t"
               "P(LR>1000)\tP(LR>10000)\tP(LR>100000)\n";
    }
    for (const Method& method : methods) {
        nlohmann::json rows = nlohmann::json::array();
        for (int t = 0; t < k; ++t) {
            const SimulationStatistics s = simulationStatistics(*method.sets, t, scale);
            // Fewer than ten usable ratios give no median, mean or fractions.
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
                out << method.name << '\t' << t + 1 << '\t' << name;
                for (int v = 0; v < 6; ++v) out << '\t' << text(values[v]);
                out << '\t' << s.zeroCount << '\t' << s.notAvailableCount;
                for (int v = 6; v < 9; ++v) out << '\t' << text(values[v]);
                out << '\n';
            }
        }
        if (parsed.json) document["methods"][method.name] = rows;
    }
    if (parsed.json) writeJson(out, document);
    // A raw-data table that could not be written is a failure, told above.
    if (!rawData) return 1;
    return simulationEngineStatus(core, err);
}

}  // namespace relatix::cli
