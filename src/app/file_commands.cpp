// New project, Save, Save As and Open.
#include <cctype>
#include <filesystem>

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

// The file name the save dialog proposes for a case read from a path: that path
// when it names a project file (.sav), otherwise the same name with the extension
// .sav, so that a project is never proposed over the Kovarian case file it was
// imported from.
std::string proposedSavePath(const std::string& projectPath) {
    if (projectPath.empty()) return projectPath;
    std::filesystem::path path(projectPath);
    std::string extension = path.extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == ".sav") return projectPath;
    return path.replace_extension(".sav").string();
}

}  // namespace

void Application::newProject() {
    const Answer answer = ui_.messageBox("Save project?", "Question", MessageButtons::YesNoCancel,
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
    // A save that failed returns false, so New project, Open and Exit do not go on
    // and the project stays marked unsaved.
    if (!core.projectPath.empty() && core.savedToPath)
        return mayWriteProjectTo(core.projectPath, ui_) && saveProject(core, core.projectPath, ui_);
    const auto path = ui_.saveFileDialog(saveRequest(
        core.projectPath.empty() ? core.projectName + ".sav" : proposedSavePath(core.projectPath)));
    if (!path || !mayWriteProjectTo(*path, ui_)) return false;
    if (!saveProject(core, *path, ui_)) return false;
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
    const auto path = ui_.saveFileDialog(saveRequest(proposedSavePath(core.projectPath)));
    if (!path || !mayWriteProjectTo(*path, ui_)) return;
    if (!saveProject(core, *path, ui_)) return;
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
    // The file is read into a copy of the case, which replaces the current one only
    // when the file was recognised and read: a refused file leaves the case, its
    // path and its saved flag as they were.
    auto fresh = std::make_unique<Core>(*core_);
    // The mutation switch belongs to the case: a project file sets it, and a file
    // of another kind, which has none, is calculated with mutation.
    fresh->mutationsOff = false;
    if (!openProject(*fresh, path, ui_)) {
        ui_.notify("Could not open project");
        return;
    }
    if (!fresh->populationAt(fresh->activePopulation))
        fresh->clusterDatabase.theta = ClusterDatabase().theta;
    core_ = std::move(fresh);
    Core& core = *core_;
    core.setProjectName(projectNameFromFileName(path));
    core.savedToPath = false;
    core.projectPath = path;
    setTitleFromName(core.projectName);
}

}  // namespace relatix
