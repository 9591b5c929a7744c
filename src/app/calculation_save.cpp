#include "app/calculation_save.h"

#include "core/core.h"
#include "persistence/project_file.h"
#include "platform/user_interface.h"

namespace relatix {

bool offerToSaveBeforeCalculation(Core& core, UserInterface& ui) {
    const Answer answer = ui.messageBox("Save project?", "Question", MessageButtons::YesNoCancel,
                                        MessageIcon::Question);
    if (answer == Answer::Cancel) return false;
    if (answer == Answer::No) return true;
    if (core.savedToPath)
        return mayWriteProjectTo(core.projectPath, ui) && saveProject(core, core.projectPath, ui);
    FileDialogRequest request;
    request.initialFileName = core.projectName + "_Relatix.sav";
    request.defaultExtension = ".sav";
    request.filter = "Save Files (*.sav)|*.sav||All Files (*.*)|*.*||";
    request.confirmOverwrite = true;
    const auto path = ui.saveFileDialog(request);
    if (!path || !mayWriteProjectTo(*path, ui)) return false;
    // A failed save leaves the project as it was (unsaved) and stops the calculation.
    if (!saveProject(core, *path, ui)) return false;
    core.projectPath = *path;
    core.savedToPath = true;
    return true;
}

}  // namespace relatix
