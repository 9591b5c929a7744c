#include "import_database_command.h"

#include <ostream>

#include "core/core.h"
#include "dialogs/select_systems_presenter.h"
#include "persistence/database_files.h"
#include "persistence/database_import.h"
#include "persistence/open_project.h"
#include "persistence/project_file.h"
#include "platform/console_user_interface.h"
#include "platform/program_folder.h"

namespace relatix::cli {

namespace {

// The console answers, with the import's own questions answered so that every
// file is taken in: frequencies are appended to a population of the same name,
// commas in allele names become points, a text database replaces the database,
// and "Select systems" imports the systems it preselects.
class ImportUserInterface : public ConsoleUserInterface {
public:
    using ConsoleUserInterface::ConsoleUserInterface;

    Answer messageBox(const std::string& text, const std::string& caption, MessageButtons buttons,
                      MessageIcon icon) override {
        const bool yes = text == kAppendFrequenciesQuestion || text == kReplaceDatabaseQuestion ||
                         text.rfind("Detected ',' in allele name", 0) == 0;
        if (!yes || buttons == MessageButtons::Ok)
            return ConsoleUserInterface::messageBox(text, caption, buttons, icon);
        ConsoleUserInterface::messageBox(text, caption, MessageButtons::Ok, icon);
        return Answer::Yes;
    }
    DialogResult runDialog(Presenter& presenter) override {
        if (auto* select = dynamic_cast<SelectSystemsPresenter*>(&presenter)) {
            select->import();
            return DialogResult::Ok;
        }
        return ConsoleUserInterface::runDialog(presenter);
    }
};

}  // namespace

const char* const kImportDatabaseAnswers =
    "  import-database answers: \"Population already defined, append frequencies?\": Yes;\n"
    "  \"Detected ',' in allele name ...\": Yes; \"This will replace the current\n"
    "  database, continue?\": Yes; \"Select systems\": the first two systems\n";

int runImportDatabaseCommand(const std::vector<std::string>& args, std::ostream& out,
                             std::ostream& err) {
    std::string casePath, outPath;
    std::vector<std::string> files;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o") {
            if (i + 1 >= args.size() || !outPath.empty()) {
                err << "relatix2-cli: import-database needs one output file after -o\n";
                return 2;
            }
            outPath = args[++i];
        } else if (!args[i].empty() && args[i][0] == '-') {
            err << "relatix2-cli: import-database: unknown option '" << args[i] << "'\n";
            return 2;
        } else if (casePath.empty()) {
            casePath = args[i];
        } else {
            files.push_back(args[i]);
        }
    }
    if (casePath.empty() || files.empty() || outPath.empty()) {
        err << "relatix2-cli: usage: relatix2-cli import-database CASE.sav FILE... -o OUT.sav\n";
        return 2;
    }
    ImportUserInterface ui(err);
    Core core(programFolder());
    if (!openProject(core, casePath, ui)) {
        err << "relatix2-cli: cannot read the case file '" << casePath << "'\n";
        return 1;
    }
    for (const std::string& file : files) {
        if (!readDatabase(core, ui, file)) {
            err << "relatix2-cli: cannot import '" << file << "'\n";
            return 1;
        }
    }
    if (!saveProject(core, outPath, ui)) {
        err << "relatix2-cli: cannot write '" << outPath << "'\n";
        return 1;
    }
    out << "Populations: " << core.populations.size() << "\n";
    for (const Population& p : core.populations)
        out << "  " << p.name << "\t" << p.markers.size() << " markers\n";
    out << "Markers: " << core.markerMap.markers.size() << "\n";
    return 0;
}

}  // namespace relatix::cli
