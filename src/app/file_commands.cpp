// New project, Save, Save As and Open.
#include "app/application.h"
#include "persistence/default_configuration.h"
#include "persistence/open_project.h"
#include "persistence/project_file.h"

namespace relatix {

namespace {

FileDialogRequest saveRequest(const std::string& initialFileName) {
    FileDialogRequest request;
    request.initialFileName = initialFileName;
    request.defaultExtension = "sav";
    request.filter = kSaveFileFilter;
    request.confirmOverwrite = true;
    return request;
}

}  // namespace

void Application::newProject() {
    const Answer answer =
        ui_.messageBox("Save project?", "Question", MessageButtons::YesNoCancel,
                       MessageIcon::Question);
    if (answer == Answer::Cancel) return;
    if (answer == Answer::Yes && !saveProjectFlow(false)) return;
    auto fresh = std::make_unique<Core>(programDirectory_);
    readDefaultConfiguration(*fresh);
    core_ = std::move(fresh);
    setTitleFromName("Untitled");
}

bool Application::saveProjectFlow(bool updateBookkeeping) {
    Core& core = *core_;
    if (!core.projectPath.empty() && core.savedToPath) {
        saveProject(core, core.projectPath, ui_);
        return true;
    }
    const auto path = ui_.saveFileDialog(
        saveRequest(core.projectPath.empty() ? core.projectName + ".sav" : core.projectPath));
    if (!path) return false;
    saveProject(core, *path, ui_);
    if (updateBookkeeping) {
        core.projectPath = *path;
        core.setProjectName(projectNameFromFileName(*path));
        core.savedToPath = true;
        setTitleFromName(core.projectName);
    }
    return true;
}

void Application::saveProjectAs() {
    Core& core = *core_;
    const auto path = ui_.saveFileDialog(saveRequest(core.projectPath));
    if (!path) return;
    saveProject(core, *path, ui_);
    core.projectPath = *path;
    core.setProjectName(projectNameFromFileName(*path));
    core.savedToPath = true;
    setTitleFromName(core.projectName);
}

void Application::openProjectFlow() {
    FileDialogRequest request;
    request.filter = kOpenFileFilter;
    const auto paths = ui_.openFileDialog(request);
    if (!paths || paths->empty()) return;
    const std::string& path = paths->front();
    Core& core = *core_;
    if (!openProject(core, path, ui_)) {
        ui_.notify("Could not open project");
        return;
    }
    core.setProjectName(projectNameFromFileName(path));
    core.savedToPath = false;
    core.projectPath = path;
    setTitleFromName(core.projectName);
}

}  // namespace relatix
