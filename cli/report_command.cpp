#include "report_command.h"

#include <filesystem>
#include <optional>
#include <ostream>

#include "app/application.h"
#include "app/calculation_save.h"
#include "calculate_command.h"
#include "core/core.h"
#include "core/decimal_text.h"
#include "linkage/calculation_workflow.h"
#include "persistence/open_project.h"
#include "platform/console_user_interface.h"
#include "platform/program_folder.h"
#include "reporting/case_report.h"
#include "simulation/simulation_run.h"

namespace relatix::cli {

namespace {

struct Arguments {
    std::string casePath;
    std::string reportPath;
    std::optional<long long> simulations;
    std::optional<long long> seed;
    bool noMutation = false;
};

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
        if (a == "--no-mutation") {
            parsed.noMutation = true;
        } else if (a == "-o") {
            const std::string* v = value("-o");
            if (!v) return false;
            if (v->empty()) {
                err << "relatix2-cli: -o needs a file name\n";
                return false;
            }
            parsed.reportPath = *v;
        } else if (a == "--simulation") {
            const std::string* v = value("--simulation");
            if (!v) return false;
            parsed.simulations = parseInteger(*v);
            if (!parsed.simulations || *parsed.simulations < kMinimumSimulations ||
                *parsed.simulations > kMaximumSimulations) {
                err << "relatix2-cli: --simulation takes a number of simulations from 10 to "
                       "100000, got '"
                    << *v << "'\n";
                return false;
            }
        } else if (a == "--seed") {
            const std::string* v = value("--seed");
            if (!v) return false;
            parsed.seed = parseInteger(*v);
            if (!parsed.seed || *parsed.seed < 1 || *parsed.seed > 4294967295LL) {
                err << "relatix2-cli: --seed takes a number from 1 to 4294967295, got '" << *v
                    << "'\n";
                return false;
            }
        } else if (!a.empty() && a[0] == '-') {
            err << "relatix2-cli: unknown option '" << a << "' for report\n";
            return false;
        } else if (parsed.casePath.empty()) {
            parsed.casePath = a;
        } else {
            err << "relatix2-cli: report takes one case file, got also '" << a << "'\n";
            return false;
        }
    }
    if (parsed.casePath.empty()) {
        err << "relatix2-cli: report needs a case file (relatix2-cli report CASE.sav -o "
               "FILE.rtf)\n";
        return false;
    }
    if (parsed.reportPath.empty()) {
        err << "relatix2-cli: report needs the report file (-o FILE.rtf)\n";
        return false;
    }
    if (parsed.seed && !parsed.simulations) {
        err << "relatix2-cli: --seed is for --simulation only\n";
        return false;
    }
    return true;
}

}  // namespace

int runReportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Arguments parsed;
    if (!parse(args, parsed, err)) return 2;
    const std::string casePath = std::filesystem::absolute(parsed.casePath).string();
    const std::string reportPath = std::filesystem::absolute(parsed.reportPath).string();

    ConsoleUserInterface ui(err);
    Core core(programFolder());
    if (!openProject(core, casePath, ui)) {
        err << "relatix2-cli: cannot read the case file '" << parsed.casePath << "'\n";
        return 1;
    }
    core.setProjectName(projectNameFromFileName(casePath));
    core.projectPath = casePath;
    if (parsed.noMutation) core.mutationsOff = true;  // a case saved without mutation stays so
    const int n = core.hypothesisCount();
    if (n < 2) {
        err << "relatix2-cli: the case '" << parsed.casePath
            << "' has no alternative hypothesis to compare with\n";
        return 1;
    }
    if (core.referenceHypothesis < 0 || core.referenceHypothesis >= n)
        core.referenceHypothesis = 0;  // a stored reference out of range
    if (parsed.simulations && core.mainHypothesis < 0) {
        err << "relatix2-cli: simulations need a case with a predefined main relationship\n";
        return 1;
    }
    core.initialisePriors();
    const CalculationOutcome outcome = runCalculation(core, ui, offerToSaveBeforeCalculation);
    if (outcome.status != CalculationStatus::Calculated) {
        err << "relatix2-cli: the case '" << parsed.casePath << "' was not calculated\n";
        return 1;
    }
    if (parsed.simulations) {
        const std::uint32_t seed =
            parsed.seed ? static_cast<std::uint32_t>(*parsed.seed) : simulationSeed(true, {});
        if (!runSimulation(core, ui, static_cast<int>(*parsed.simulations), seed, {})) {
            err << "relatix2-cli: the simulation of '" << parsed.casePath << "' could not be run\n";
            return 1;
        }
        err << "relatix2-cli: " << *parsed.simulations << " simulations with seed " << seed << "\n";
    }
    const Status written = parsed.simulations ? writeSimulationReport(core, reportPath)
                                              : writeCaseReport(core, reportPath);
    if (!written) {
        err << "relatix2-cli: " << written.message() << "\n";
        return 1;
    }
    out << reportPath << "\n";
    // The report is written with what exists; a linkage program without values is a failure.
    return parsed.simulations ? simulationEngineStatus(core, err) : engineStatus(outcome, err);
}

}  // namespace relatix::cli
