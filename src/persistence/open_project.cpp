#include "persistence/open_project.h"

#include "core/core.h"
#include "core/decimal_text.h"
#include "persistence/kovarian_file.h"
#include "persistence/legacy_save_files.h"
#include "persistence/project_file.h"
#include "persistence/text_lines.h"
#include "platform/trace_file.h"
#include "platform/user_interface.h"

namespace relatix {

namespace {
void tell(UserInterface& ui, const std::string& text) {
    ui.messageBox(text, kApplicationTitle, MessageButtons::Ok, MessageIcon::Error);
}
}  // namespace

bool openProject(Core& core, const std::string& path, UserInterface& ui) {
    TraceFile trace("openProject", true);
    trace << "Opening " << path << "\n";
    // Read once, whole: a pipe could not be read a second time by the reader.
    const TextFile file = readTextFile(path);
    if (!file.text) {
        trace << "Cannot read the file: " << file.error << "\n";
        if (file.refused) tell(ui, file.error);
        return false;
    }
    core.resetCore();
    const std::string line = firstTextLine(*file.text);
    trace << "First line: " << line << "\n";
    if (line == "<RELATIX>") {
        trace << "Project file\n";
        readProjectText(core, *file.text, ui);
        return true;
    }
    if (line.size() > 1 && line.compare(1, 20, "Output from Kovarian") == 0) {
        trace << "Kovarian case file\n";
        return readKovarianFile(core, ui, path);
    }
    if (line.size() >= 21) {
        if (line.compare(0, 22, "[Save file - RelatixX ") == 0) {
            tell(ui, "Not a Relatix sav file, possibly a RelatixX save file");
            return false;
        }
        if (line.compare(0, 21, "[Save file - Relatix ") == 0) {
            trace << "Legacy save file\n";
            const std::string number =
                line.size() > 30 ? line.substr(29, line.size() - 30) : std::string();
            return readLegacySaveFile(core, ui, path, readDecimal(number));
        }
        tell(ui, "Not a Relatix sav file");
        return false;
    }
    tell(ui, "Bad input format");
    return false;
}

}  // namespace relatix
