#include "genotypes_command.h"

#include <charconv>
#include <map>
#include <optional>
#include <ostream>

#include "core/allele_check.h"
#include "core/core.h"
#include "core/frequency_database.h"
#include "dialogs/dialog_questions.h"
#include "persistence/genotype_export.h"
#include "persistence/genotype_import.h"
#include "persistence/import_questions.h"
#include "persistence/open_project.h"
#include "persistence/project_file.h"
#include "platform/console_user_interface.h"
#include "platform/program_folder.h"

namespace relatix::cli {

namespace {

enum class PgmForm { None, Single, Multi };

struct ImportOptions {
    std::string casePath, file, outPath;
    bool indexAlleles = false;
    PgmForm pgm = PgmForm::None;
    std::map<std::string, int> assignments;  // sample name -> 1-based person
    bool inOrder = false;
    bool rename = false;
};

// The console answers with the reader's own questions answered from the
// options: the ped file follows the database's marker order, its alleles are
// values unless --index-alleles, a "Chrom" file is a PGM export only with
// --pgm-single or --pgm-multi, and a sample named like a person is merged.
class GenotypeImportUserInterface : public ConsoleUserInterface {
public:
    GenotypeImportUserInterface(std::ostream& messages, const ImportOptions& options)
        : ConsoleUserInterface(messages), options_(options) {}

    Answer messageBox(const std::string& text, const std::string& caption, MessageButtons buttons,
                      MessageIcon icon) override {
        const std::optional<Answer> answer = fixed(text);
        if (!answer || buttons == MessageButtons::Ok)
            return ConsoleUserInterface::messageBox(text, caption, buttons, icon);
        ConsoleUserInterface::messageBox(text, caption, MessageButtons::Ok, icon);
        return *answer;
    }

private:
    std::optional<Answer> fixed(const std::string& text) const {
        auto yesIf = [](bool yes) { return yes ? Answer::Yes : Answer::No; };
        if (text == kPedMarkerOrderQuestion) return Answer::Yes;
        if (text == kPedAlleleValuesQuestion) return yesIf(!options_.indexAlleles);
        if (text == kPgmQuestion) return yesIf(options_.pgm != PgmForm::None);
        if (text == kPgmSingleSampleQuestion) return yesIf(options_.pgm == PgmForm::Single);
        if (text.rfind(kMergeQuestionStart, 0) == 0) return Answer::Yes;
        return std::nullopt;
    }

    const ImportOptions& options_;
};

// Where each sample that matches no person goes, from --assign and
// --in-order; what was skipped, for the report.
class SampleRouting {
public:
    explicit SampleRouting(const ImportOptions& options) : options_(options) {}

    ImportTarget target(const std::string& sample, size_t personCount) {
        ImportTarget target;
        target.importName = options_.rename;
        if (const auto it = options_.assignments.find(sample); it != options_.assignments.end())
            target.person = it->second;
        else if (options_.inOrder)
            target.person = ++unmatched_;
        if (target.person && *target.person > static_cast<int>(personCount)) target.person.reset();
        if (!target.person) skipped.push_back(sample);
        return target;
    }

    std::vector<std::string> skipped;

private:
    const ImportOptions& options_;
    int unmatched_ = 0;
};

// Installs the run's answers to "Import options" and "New allele!", and puts
// the dialogs back when the run ends.
class InstalledAnswers {
public:
    InstalledAnswers(SampleRouting& routing, std::vector<std::string>& newAlleles) {
        ImportQuestions questions = importQuestions();
        questions.importOptions = [&routing](UserInterface&, const std::string& sample,
                                             const std::vector<std::string>& persons) {
            return routing.target(sample, persons.size());
        };
        setImportQuestions(std::move(questions));
        // A new allele enters the population's marker with that marker's
        // new-allele frequency; the person keeps the allele either way.
        setNewAlleleQuestion([&newAlleles](UserInterface&, Population* population,
                                           const std::string& markerName,
                                           const std::string& allele) {
            Marker* marker = population ? findMarker(*population, markerName) : nullptr;
            const bool added =
                marker && addAllele(*marker, allele, marker->markerNewAlleleFrequency);
            newAlleles.push_back(markerName + " " + allele +
                                 (added ? "" : " (not added: the population has no such marker)"));
            return added;
        });
    }
    ~InstalledAnswers() { installDialogQuestions(); }
    InstalledAnswers(const InstalledAnswers&) = delete;
    InstalledAnswers& operator=(const InstalledAnswers&) = delete;
};

std::optional<int> positiveNumber(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto parsed = std::from_chars(text.data(), end, value);
    if (parsed.ec != std::errc() || parsed.ptr != end || value < 1) return std::nullopt;
    return value;
}

constexpr const char* kImportUsage =
    "relatix2-cli: usage: relatix2-cli import-genotypes CASE.sav FILE -o OUT.sav "
    "[--index-alleles] [--pgm-single|--pgm-multi] [--assign SAMPLE=K]... [--in-order] "
    "[--rename]\n";

// Reads the arguments; the message for a bad one, nothing when they are sound.
std::optional<std::string> parseImportArguments(const std::vector<std::string>& args,
                                                ImportOptions& options) {
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-o" || a == "--assign") {
            if (i + 1 >= args.size()) return a + " needs a value";
            const std::string& value = args[++i];
            if (a == "-o") {
                if (!options.outPath.empty()) return std::string("-o given twice");
                options.outPath = value;
                continue;
            }
            const size_t equals = value.rfind('=');
            const std::optional<int> person = equals == std::string::npos
                                                  ? std::nullopt
                                                  : positiveNumber(value.substr(equals + 1));
            if (!person || equals == 0)
                return "--assign expects SAMPLE=K with K a person number, got '" + value + "'";
            options.assignments[value.substr(0, equals)] = *person;
        } else if (a == "--index-alleles") {
            options.indexAlleles = true;
        } else if (a == "--pgm-single" || a == "--pgm-multi") {
            if (options.pgm != PgmForm::None)
                return std::string("give one of --pgm-single and --pgm-multi");
            options.pgm = a == "--pgm-single" ? PgmForm::Single : PgmForm::Multi;
        } else if (a == "--in-order") {
            options.inOrder = true;
        } else if (a == "--rename") {
            options.rename = true;
        } else if (!a.empty() && a[0] == '-') {
            return "unknown option '" + a + "'";
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 2 || options.outPath.empty()) return std::string();
    options.casePath = positional[0];
    options.file = positional[1];
    return std::nullopt;
}

}  // namespace

const char* const kGenotypeImportAnswers =
    "  import-genotypes answers: the ped-file marker-order question: Yes (the ped\n"
    "  file follows the database's markers); \"Is input format in real allele\n"
    "  values?\": Yes, No with --index-alleles; the PGM Genotyper question: No\n"
    "  unless --pgm-single (one sample, genotypes in column 5) or --pgm-multi\n"
    "  (column 7); \"Person with name: ... merge with new data?\": Yes; \"Import\n"
    "  options\": the person of --assign SAMPLE=K, else with --in-order the k-th\n"
    "  unmatched sample goes to person k, else the sample is skipped (skipped\n"
    "  samples are listed on stderr), with --rename the person takes the sample's\n"
    "  name; \"New allele!\": added to the active population with the marker's\n"
    "  new-allele frequency (new alleles are listed on stderr)\n";

int runImportGenotypesCommand(const std::vector<std::string>& args, std::ostream& out,
                              std::ostream& err) {
    ImportOptions options;
    if (const std::optional<std::string> problem = parseImportArguments(args, options)) {
        if (!problem->empty()) err << "relatix2-cli: import-genotypes: " << *problem << "\n";
        err << kImportUsage;
        return 2;
    }
    GenotypeImportUserInterface ui(err, options);
    Core core(programFolder());
    if (!openProject(core, options.casePath, ui)) {
        err << "relatix2-cli: cannot read the case file '" << options.casePath << "'\n";
        return 1;
    }
    SampleRouting routing(options);
    std::vector<std::string> newAlleles;
    GenotypeImportOutcome outcome;
    {
        InstalledAnswers answers(routing, newAlleles);
        outcome = importGenotypes(core, ui, options.file, false);
    }
    for (const std::string& sample : routing.skipped)
        err << "relatix2-cli: skipped sample '" << sample << "' (no person assigned)\n";
    for (const std::string& allele : newAlleles)
        err << "relatix2-cli: new allele " << allele << "\n";
    if (!outcome.success) {
        err << "relatix2-cli: cannot import '" << options.file << "'"
            << (outcome.reason.empty() ? std::string() : ": " + outcome.reason) << "\n";
        if (outcome.readingStarted)
            err << "relatix2-cli: " << partialImportSummary(outcome) << " The case is not saved.\n";
        return 1;
    }
    // An import that takes no sample changed nothing worth a case file.
    if (outcome.samplesImported == 0) {
        err << "relatix2-cli: cannot import '" << options.file
            << "': no sample was imported; the case is not saved\n";
        return 1;
    }
    if (!saveProject(core, options.outPath, ui)) {
        err << "relatix2-cli: cannot write '" << options.outPath << "'\n";
        return 1;
    }
    out << "Samples imported: " << outcome.samplesImported << "\n"
        << "Genotypes imported: " << outcome.genotypesImported << "\n"
        << "Samples skipped: " << routing.skipped.size() << "\n"
        << "New alleles: " << outcome.newAlleles.size();
    for (size_t i = 0; i < outcome.newAlleles.size(); ++i)
        out << (i == 0 ? " (" : ", ") << outcome.newAlleles[i];
    out << (outcome.newAlleles.empty() ? "\n" : ")\n");
    return 0;
}

int runExportGenotypesCommand(const std::vector<std::string>& args, std::ostream& out,
                              std::ostream& err) {
    std::string casePath, outPath;
    bool samplesAsRows = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o") {
            if (i + 1 >= args.size() || !outPath.empty()) {
                err << "relatix2-cli: export-genotypes needs one output file after -o\n";
                return 2;
            }
            outPath = args[++i];
        } else if (args[i] == "--samples-as-rows") {
            samplesAsRows = true;
        } else if (!args[i].empty() && args[i][0] == '-') {
            err << "relatix2-cli: export-genotypes: unknown option '" << args[i] << "'\n";
            return 2;
        } else if (casePath.empty()) {
            casePath = args[i];
        } else {
            err << "relatix2-cli: export-genotypes takes one case file, got '" << args[i] << "'\n";
            return 2;
        }
    }
    if (casePath.empty() || outPath.empty()) {
        err << "relatix2-cli: usage: relatix2-cli export-genotypes CASE.sav -o FILE.txt "
               "[--samples-as-rows]\n";
        return 2;
    }
    ConsoleUserInterface ui(err);
    Core core(programFolder());
    if (!openProject(core, casePath, ui)) {
        err << "relatix2-cli: cannot read the case file '" << casePath << "'\n";
        return 1;
    }
    if (exportGenotypes(core, outPath, samplesAsRows) != AtomicWriteStatus::Written) {
        err << "relatix2-cli: cannot write '" << outPath << "'\n";
        return 1;
    }
    out << "Persons: " << core.persons.size() << "\n"
        << "Markers: " << core.markerMap.markers.size() << "\n";
    return 0;
}

}  // namespace relatix::cli
