#include "persistence/open_project.h"

#include "core/core.h"
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
    const auto first = readFirstLine(path);
    if (!first) {
        trace << "Cannot open the file\n";
        return false;
    }
    core.resetCore();
    const std::string& line = *first;
    trace << "First line: " << line << "\n";
    if (line == "<RELATIX>") {
        trace << "Project file\n";
        return readProjectFile(core, path, ui);
    }
    if (line.size() > 1 && line.compare(1, 20, "Output from Kovarian") == 0) {
        trace << "Kovarian case file\n";
        tell(ui, "Kovarian case files cannot be opened by this version of Relatix2 yet");
        return false;
    }
    if (line.size() >= 21) {
        if (line.compare(0, 22, "[Save file - RelatixX ") == 0) {
            tell(ui, "Not a Relatix sav file, possibly a RelatixX save file");
            return false;
        }
        if (line.compare(0, 21, "[Save file - Relatix ") == 0) {
            trace << "Legacy save file\n";
            tell(ui, "Save files of earlier Relatix versions cannot be opened by this version of "
                     "Relatix2 yet");
            return false;
        }
        tell(ui, "Not a Relatix sav file");
        return false;
    }
    tell(ui, "Bad input format");
    return false;
}

}  // namespace relatix
