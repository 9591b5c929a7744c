#include "dialogs/database_commands.h"

#include "core/core.h"
#include "persistence/database_files.h"
#include "persistence/database_import.h"
#include "platform/user_interface.h"

namespace relatix {

int importDatabaseFiles(Core& core, UserInterface& ui, const std::string& filter) {
    FileDialogRequest request;
    request.filter = filter;
    request.allowMultiple = true;
    const auto paths = ui.openFileDialog(request);
    if (!paths) return 0;
    int read = 0;
    for (const std::string& path : *paths)
        if (readDatabase(core, ui, path)) ++read;
    return read;
}

bool exportActivePopulation(Core& core, UserInterface& ui) {
    ui.messageBox(kExportNotice, "Notification", MessageButtons::Ok, MessageIcon::Information);
    const Population* active = core.populationAt(core.activePopulation);
    FileDialogRequest request;
    request.initialFileName = (active ? active->name : std::string("Unnamed")) + ".txt";
    request.defaultExtension = "txt";
    request.filter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||";
    request.confirmOverwrite = true;
    const auto path = ui.saveFileDialog(request);
    if (!path) return false;
    return exportDatabase(core, ui, *path);
}

}  // namespace relatix
