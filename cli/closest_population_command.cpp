#include "closest_population_command.h"

#include <cmath>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>

#include "analysis/closest_population.h"
#include "analysis/population_exports.h"
#include "core/core.h"
#include "core/decimal_text.h"
#include "import_warnings_output.h"
#include "json_output.h"
#include "persistence/genotype_import.h"
#include "persistence/open_project.h"
#include "platform/console_user_interface.h"
#include "platform/program_folder.h"
#include "simulation/simulation_run.h"

namespace relatix::cli {

const char* const kClosestPopulationUsage =
    "  closest-population CASE [--profiles FILE [--pgm-single|--pgm-multi]] [--json]\n"
    "                     [--structure FILE [--seed S]]\n"
    "                open CASE the way Open does and take as ancestry profiles its\n"
    "                persons with DNA data, or with --profiles the samples of the\n"
    "                delimited table FILE (a PGM Genotyper export with\n"
    "                --pgm-single: one sample, genotypes in column 5, or --pgm-multi:\n"
    "                column 7); a sample named like an earlier one becomes a\n"
    "                profile of its own with \" (COPY)\" added; prints per profile\n"
    "                every population with the log likelihood of the profile over\n"
    "                the markers all populations hold and the posterior under equal\n"
    "                priors, most likely first; --json prints JSON; --structure\n"
    "                writes the STRUCTURE input file (50 individuals drawn per\n"
    "                population, then the profiles), --seed fixes its seed\n"
    "                (default: from the time; the seed is printed on stderr)\n";

namespace {

constexpr const char* kUsageLine =
    "relatix2-cli: usage: relatix2-cli closest-population CASE.sav [--profiles FILE "
    "[--pgm-single|--pgm-multi]] [--json] [--structure FILE [--seed S]]\n";

enum class PgmForm { None, Single, Multi };

struct Arguments {
    std::string casePath;
    std::string profilesPath;
    std::string structurePath;
    std::optional<long long> seed;
    PgmForm pgm = PgmForm::None;
    bool json = false;
};

// The console answers, with the genotype reader's questions on PGM Genotyper
// exports answered from the options.
class ProfileImportUserInterface : public ConsoleUserInterface {
public:
    ProfileImportUserInterface(std::ostream& messages, PgmForm pgm)
        : ConsoleUserInterface(messages), pgm_(pgm) {}

    Answer messageBox(const std::string& text, const std::string& caption, MessageButtons buttons,
                      MessageIcon icon) override {
        std::optional<Answer> answer;
        if (text == kPgmQuestion) answer = pgm_ != PgmForm::None ? Answer::Yes : Answer::No;
        if (text == kPgmSingleSampleQuestion)
            answer = pgm_ == PgmForm::Single ? Answer::Yes : Answer::No;
        if (!answer) return ConsoleUserInterface::messageBox(text, caption, buttons, icon);
        ConsoleUserInterface::messageBox(text, caption, MessageButtons::Ok, icon);
        return *answer;
    }

private:
    PgmForm pgm_;
};

bool parse(const std::vector<std::string>& args, Arguments& parsed, std::ostream& err) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--json") {
            parsed.json = true;
        } else if (a == "--pgm-single" || a == "--pgm-multi") {
            if (parsed.pgm != PgmForm::None) {
                err << "relatix2-cli: give one of --pgm-single and --pgm-multi\n";
                return false;
            }
            parsed.pgm = a == "--pgm-single" ? PgmForm::Single : PgmForm::Multi;
        } else if (a == "--profiles" || a == "--structure" || a == "--seed") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                err << "relatix2-cli: " << a << " needs a value\n";
                return false;
            }
            const std::string& v = args[++i];
            if (a == "--profiles") {
                parsed.profilesPath = v;
            } else if (a == "--structure") {
                parsed.structurePath = v;
            } else {
                parsed.seed = parseInteger(v);
                if (!parsed.seed || *parsed.seed < 1 || *parsed.seed > 4294967295LL) {
                    err << "relatix2-cli: --seed takes a number from 1 to 4294967295, got '" << v
                        << "'\n";
                    return false;
                }
            }
        } else if (!a.empty() && a[0] == '-') {
            err << "relatix2-cli: closest-population: unknown option '" << a << "'\n";
            return false;
        } else if (parsed.casePath.empty()) {
            parsed.casePath = a;
        } else {
            err << "relatix2-cli: closest-population takes one case file, got '" << a << "'\n";
            return false;
        }
    }
    if (parsed.casePath.empty()) return false;
    if (parsed.pgm != PgmForm::None && parsed.profilesPath.empty()) {
        err << "relatix2-cli: --pgm-single and --pgm-multi describe the --profiles file\n";
        return false;
    }
    if (parsed.seed && parsed.structurePath.empty()) {
        err << "relatix2-cli: --seed is the seed of the --structure file\n";
        return false;
    }
    return true;
}

bool endsWithPed(const std::string& path) {
    return path.size() >= 4 && path.compare(path.size() - 4, 4, ".ped") == 0;
}

nlohmann::json numberOrNull(double value) {
    return std::isfinite(value) ? nlohmann::json(value) : nlohmann::json(nullptr);
}

std::string numberText(double value) {
    return std::isfinite(value) ? formatFixed(value, 6) : "NA";
}

}  // namespace

int runClosestPopulationCommand(const std::vector<std::string>& args, std::ostream& out,
                                std::ostream& err) {
    Arguments arguments;
    if (!parse(args, arguments, err)) {
        err << kUsageLine;
        return 2;
    }
    ProfileImportUserInterface ui(err, arguments.pgm);
    Core core(programFolder());
    std::vector<ImportWarning> importWarnings;
    if (!readRecordingImportWarnings(ui, importWarnings, [&](UserInterface& reading) {
            return openProject(core, arguments.casePath, reading);
        })) {
        err << "relatix2-cli: cannot read the case file '" << arguments.casePath << "'\n";
        return 1;
    }
    core.ancestryPersons.clear();
    if (!arguments.profilesPath.empty()) {
        // A pedigree file always goes to the case's persons, never to profiles.
        if (endsWithPed(arguments.profilesPath)) {
            err << "relatix2-cli: cannot read profiles from the .ped file '"
                << arguments.profilesPath
                << "': give a delimited table or a PGM Genotyper export\n";
            return 1;
        }
        const GenotypeImportOutcome outcome =
            readRecordingImportWarnings(ui, importWarnings, [&](UserInterface& reading) {
                return importGenotypes(core, reading, arguments.profilesPath, true);
            });
        if (!outcome.success) {
            err << "relatix2-cli: cannot read profiles from '" << arguments.profilesPath << "'"
                << (outcome.reason.empty() ? std::string() : ": " + outcome.reason) << "\n";
            return 1;
        }
    } else if (!copyProjectPersonsToProfiles(core)) {
        err << "relatix2-cli: " << kNoProjectPersonsMessage << "\n";
        return 1;
    }
    if (core.ancestryPersons.empty()) {
        err << "relatix2-cli: no profile with DNA data\n";
        return 1;
    }
    if (core.populations.empty()) {
        err << "relatix2-cli: the case has no populations\n";
        return 1;
    }

    if (!arguments.structurePath.empty()) {
        const std::uint32_t seed =
            arguments.seed ? static_cast<std::uint32_t>(*arguments.seed) : simulationSeed(true, {});
        if (exportStructureFile(core, seed, arguments.structurePath) !=
            AtomicWriteStatus::Written) {
            err << "relatix2-cli: cannot write '" << arguments.structurePath << "'\n";
            return 1;
        }
        err << "relatix2-cli: STRUCTURE file written with seed " << seed << "\n";
        for (const StructureRename& rename : structureRenames(core))
            err << "relatix2-cli: '" << rename.from << "' is written '" << rename.to
                << "' in the STRUCTURE file\n";
    }

    const MarkerIndexTable table(core);
    nlohmann::json profiles = nlohmann::json::array();
    for (const Person& profile : core.ancestryPersons) {
        const std::vector<PopulationResult> results =
            populationLikelihoods(core, table, profile, true);
        const size_t used = sharedMarkers(core, table, profile).size();
        if (arguments.json) {
            nlohmann::json populations = nlohmann::json::array();
            for (const PopulationResult& result : results)
                populations.push_back({{"population", result.population},
                                       {"logLikelihood", numberOrNull(result.logLikelihood)},
                                       {"posterior", numberOrNull(result.posterior)}});
            profiles.push_back({{"name", profile.name},
                                {"markers", profile.dna.size()},
                                {"markersUsed", used},
                                {"populations", populations}});
            continue;
        }
        out << "Profile: " << profile.name << " (" << profile.dna.size() << " markers, " << used
            << " used)\n"
            << "Population\tlog likelihood\tPosterior\n";
        for (const PopulationResult& result : results)
            out << result.population << '\t' << numberText(result.logLikelihood) << '\t'
                << numberText(result.posterior) << '\n';
    }
    if (arguments.json)
        writeJson(out,
                  {{"profiles", profiles}, {"importWarnings", importWarningsJson(importWarnings)}});
    return 0;
}

}  // namespace relatix::cli
