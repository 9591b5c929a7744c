#include "commands.h"

#include <ostream>
#include <string>
#include <vector>

#include "calculate_command.h"
#include "closest_population_command.h"
#include "convert_command.h"
#include "core/catalogue.h"
#include "dialogs/dialog_questions.h"
#include "engine_files_command.h"
#include "genotypes_command.h"
#include "import_database_command.h"
#include "info_command.h"
#include "platform/console_user_interface.h"
#include "quick_command.h"
#include "relatix_version.h"
#include "report_command.h"
#include "simulate_command.h"

namespace relatix::cli {
namespace {

constexpr const char* kUsage =
    "Usage: relatix2-cli COMMAND [OPTIONS]\n"
    "\n"
    "The getting-started guide in the program folder, Gettingstarted_relatix2.pdf\n"
    "(or .html; docs/guide.md in the sources), shows every command at work.\n"
    "\n"
    "Commands:\n"
    "  catalogue     list the 26 predefined relationships: code, name, number of\n"
    "                persons, default sexes (1 male, 2 female), codes of the alternatives\n"
    "  calculate [CASE] [--reference K] [--theta X] [--no-mutation] [--json]\n"
    "            [--per-marker] [--lr-file FILE [--hypothesis H]]\n"
    "                open a case the way Open does (the bundled example without\n"
    "                CASE) and calculate it: one row per hypothesis with the exact,\n"
    "                unlinked and linked log-likelihoods, likelihood ratios against\n"
    "                hypothesis K (default: the case's reference) and posteriors;\n"
    "                --theta sets the case's theta (Fst) first (from 0 to below 1;\n"
    "                above 0.1 it is used with a warning); --no-mutation\n"
    "                calculates without mutation (as a case saved with mutations\n"
    "                turned off always is); --json prints JSON;\n"
    "                --per-marker adds per hypothesis and marker the chromosome,\n"
    "                position, accumulated and marginal LR against K (NA or null\n"
    "                for a skipped marker's marginal); --lr-file writes the exact\n"
    "                LR of hypothesis H (default 1) against K alone into FILE\n"
    "  simulate [CASE] -n N [--seed S] [--threads K] [--raw FILE] [--no-mutation]\n"
    "           [--json]\n"
    "                open a case the way Open does (the bundled example without\n"
    "                CASE), draw N data sets (10 to 100000) under every hypothesis\n"
    "                and compute them exactly and with the linkage engine on both\n"
    "                maps; prints per method and true hypothesis the statistics of\n"
    "                the LR against the case's reference hypothesis; --seed fixes\n"
    "                the seed (default: from the time), --raw writes the raw-data\n"
    "                table, --no-mutation draws and calculates without\n"
    "                mutation, --threads computes on K threads (1 to 256, default:\n"
    "                every core; the results are the same for any K), --json\n"
    "                prints JSON\n"
    "  report CASE -o FILE [--simulation N] [--seed S] [--no-mutation]\n"
    "                open CASE the way Open does, calculate it and write its case\n"
    "                report to FILE (RTF); with --simulation N it then draws N data\n"
    "                sets (10 to 100000) under every hypothesis and writes the\n"
    "                simulation report instead; --seed fixes the seed (default:\n"
    "                from the time, printed on stderr); --no-mutation calculates\n"
    "                and draws without mutation; prints the report's path\n"
    "  import-database CASE FILE... -o OUT\n"
    "                open CASE the way Open does, add the frequency (.freq), map\n"
    "                (.map), Kovarian (.kov) or text databases FILE as the Import\n"
    "                of \"Edit markers\" does and save the case as project file OUT\n"
    "  import-genotypes CASE FILE -o OUT [--index-alleles] [--pgm-single|--pgm-multi]\n"
    "                   [--assign SAMPLE=K]... [--in-order] [--rename]\n"
    "                open CASE the way Open does, read the persons' genotypes from\n"
    "                FILE (a .ped file, a delimited table with one row per sample,\n"
    "                or a PGM Genotyper export) as \"Import data\" does and save the\n"
    "                case as project file OUT; --index-alleles reads ped alleles as\n"
    "                indices into the active population; a sample named like a\n"
    "                person goes to that person, --assign sends sample SAMPLE to\n"
    "                person K, --in-order sends the k-th other sample to person k,\n"
    "                --rename gives the person the sample's name; other samples\n"
    "                are skipped; exits 1 without saving when the import fails\n"
    "  export-genotypes CASE -o FILE [--samples-as-rows]\n"
    "                open CASE the way Open does and write its persons' genotypes\n"
    "                as a tab-separated table: one row per marker with chromosome\n"
    "                and position, or one row per person with --samples-as-rows\n"
    "  convert (--haldane|--kosambi|--morgan) (--cm D | --theta R) [--json]\n"
    "                convert a map distance D in cM to a recombination fraction, or\n"
    "                a fraction R back to cM (R between 1 and 100 is read as a\n"
    "                percentage); prints the result with six significant digits;\n"
    "                exits 1 when the fraction has no finite distance (>= 0.5)\n";

// The commands after quick, whose text comes with its command.
constexpr const char* kUsageTail =
    "  engine-files --ped F --dat F --freq F --map F --map2 F -n N [--seed S]\n"
    "               -o OUT.txt [--scale K] [--json]\n"
    "                the analysis of your own linkage files: simulate N (10 to\n"
    "                100000) replicates of the families of the pedigree file F\n"
    "                (toy genotypes mark whom to simulate), copy each family's\n"
    "                genotypes into the matching persons (same sex and toy\n"
    "                genotypes) of the other families, compute every family with\n"
    "                the map and the second map and write the LR table OUT.txt;\n"
    "                writes P_to_simulate.ped, P_simulated_data.ped and\n"
    "                Q_modified.freq beside the pedigree (P) and frequency (Q)\n"
    "                files; prints per map and true pedigree the statistics of the\n"
    "                LR of pedigree 1 against pedigree K (default 2; pedigree 2\n"
    "                against 1 when K is 1); --seed fixes the seed (default: from\n"
    "                the time), --json prints JSON\n"
    "  info CASE     read a case file the way Open does and print its markers,\n"
    "                populations, persons and hypotheses (the import summary goes\n"
    "                to stderr)\n"
    "\n"
    "JSON output:\n"
    "  Every --json output holds \"importWarnings\": [{\"line\": N, \"text\": T}], what\n"
    "  the readers found wrong in the files the command read (a marker dropped, a\n"
    "  value refused or unusually large, a line not recognised, a section cut\n"
    "  short), with the line of the file, or null when a finding has none; [] when\n"
    "  there is none. quick gives each file's object its own. The same findings\n"
    "  go to stderr, as in a run without --json.\n"
    "\n"
    "Options:\n"
    "  --help        show this text\n"
    "  --version     show the program version\n";

std::string joined(const std::vector<int>& values, char separator) {
    std::string text;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i) text += separator;
        text += std::to_string(values[i]);
    }
    return text;
}

int printCatalogue(std::ostream& out) {
    for (int code = 1; code <= 26; ++code) {
        out << code << '\t' << catalogueName(code, NameSeparator::Space) << '\t'
            << catalogueSize(code) << '\t' << joined(catalogueSexes(code), ',') << '\t'
            << joined(catalogueAlternatives(code), ',') << '\n';
    }
    return 0;
}

}  // namespace

int run(int argc, char** argv, std::ostream& out, std::ostream& err) {
    installDialogQuestions();
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        err << "relatix2-cli: no command given (see relatix2-cli --help)\n";
        return 2;
    }
    const std::string& command = args[0];
    if (command == "--help" || command == "-h") {
        out << kUsage << kQuickUsage << kClosestPopulationUsage << kUsageTail
            << ConsoleUserInterface::answerTable() << kImportDatabaseAnswers
            << kGenotypeImportAnswers;
        return 0;
    }
    if (command == "--version") {
        out << "Relatix2 " << kRelatixVersion << "\n";
        return 0;
    }
    if (command == "catalogue") {
        if (args.size() > 1) {
            err << "relatix2-cli: catalogue takes no arguments, got '" << args[1] << "'\n";
            return 2;
        }
        return printCatalogue(out);
    }
    if (command == "convert")
        return runConvertCommand(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
    if (command == "calculate")
        return runCalculateCommand(std::vector<std::string>(args.begin() + 1, args.end()), out,
                                   err);
    if (command == "simulate")
        return runSimulateCommand(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
    if (command == "report")
        return runReportCommand(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
    if (command == "import-database")
        return runImportDatabaseCommand(std::vector<std::string>(args.begin() + 1, args.end()), out,
                                        err);
    if (command == "import-genotypes")
        return runImportGenotypesCommand(std::vector<std::string>(args.begin() + 1, args.end()),
                                         out, err);
    if (command == "export-genotypes")
        return runExportGenotypesCommand(std::vector<std::string>(args.begin() + 1, args.end()),
                                         out, err);
    if (command == "quick")
        return runQuickCommand(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
    if (command == "engine-files")
        return runEngineFilesCommand(std::vector<std::string>(args.begin() + 1, args.end()), out,
                                     err);
    if (command == "closest-population")
        return runClosestPopulationCommand(std::vector<std::string>(args.begin() + 1, args.end()),
                                           out, err);
    if (command == "info") {
        if (args.size() != 2) {
            err << "relatix2-cli: info takes one case file (relatix2-cli info CASE.sav)\n";
            return 2;
        }
        return printCaseInfo(args[1], out, err);
    }
    if (!command.empty() && command[0] == '-')
        err << "relatix2-cli: unknown option '" << command << "' (see relatix2-cli --help)\n";
    else
        err << "relatix2-cli: unknown command '" << command << "' (see relatix2-cli --help)\n";
    return 2;
}

}  // namespace relatix::cli
