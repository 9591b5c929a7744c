#include "dialogs/quick_analysis_presenter.h"

namespace relatix {

QuickAnalysisPresenter::QuickAnalysisPresenter(UserInterface& ui, std::string programDirectory)
    : ui_(ui) {
    values_.programDirectory = std::move(programDirectory);
}

void QuickAnalysisPresenter::browseCaseFiles() {
    FileDialogRequest request;
    request.filter = kQuickCaseFileFilter;
    request.defaultExtension = "kov";
    request.initialFileName = "*.kov";
    request.allowMultiple = true;
    const auto chosen = ui_.openFileDialog(request);
    if (!chosen || chosen->empty()) return;
    std::string field;
    for (const std::string& path : *chosen) field += path + ";";
    values_.caseFiles = field;
}

void QuickAnalysisPresenter::browseMapFile() {
    FileDialogRequest request;
    request.filter = kQuickMapFileFilter;
    request.defaultExtension = "map";
    request.initialFileName = "*.map";
    const auto chosen = ui_.openFileDialog(request);
    if (!chosen || chosen->empty()) return;
    values_.mapFile = chosen->front();
}

void QuickAnalysisPresenter::analyse() {
    outcomes_ = runQuickAnalysis(ui_, values_);
}

}  // namespace relatix
