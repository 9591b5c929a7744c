#include "dialogs/save_results_presenter.h"

#include "core/core.h"
#include "reporting/case_report.h"
#include "reporting/marker_ratios.h"

namespace relatix {

namespace {

constexpr const char* kTextFilter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||";
constexpr const char* kRtfFilter = "Rtf Files (*.rtf)|*.rtf|All Files (*.*)|*.*||";

}  // namespace

SaveResultsPresenter::SaveResultsPresenter(const Core& core, UserInterface& ui, int selectedRow,
                                           bool calculated, bool simulated)
    : core_(core),
      ui_(ui),
      selectedRow_(selectedRow),
      calculated_(calculated),
      simulated_(simulated) {}

const std::vector<std::string>& SaveResultsPresenter::options() {
    static const std::vector<std::string> entries = {"Select save option...", "1. Save LR",
                                                     "2. Case report", "3. Simulation report",
                                                     "4. LRs per marker"};
    return entries;
}

void SaveResultsPresenter::save() {
    if (option_ < 1 || option_ > 4) {
        ui_.notify("Select save option", "Notification");
        return;
    }
    const int row = chosenHypothesis(selectedRow_);
    if (option_ == 1 && (selectedRow_ == 0 || row == core_.referenceHypothesis)) {
        ui_.error("Can not export LR for the pedigree which is scaled against");
        return;
    }
    if ((option_ == 1 || option_ == 4) && !calculated_) {
        ui_.error("Can not export LR, only simulations have been performed");
        return;
    }
    if (option_ == 3 && !simulated_) {
        ui_.error("No simulations to save");
        return;
    }
    if (option_ == 4 && core_.mainHypothesis == kCreatedPedigrees &&
        ui_.messageBox("Note that for created pedigrees, the LR (Cluster) will be exported, with "
                       "LR^(1/nMarkers) for each marker",
                       "Warning", MessageButtons::YesNo, MessageIcon::Warning) != Answer::Yes)
        return;

    FileDialogRequest request;
    request.confirmOverwrite = true;
    if (option_ == 1) {
        request.filter = kTextFilter;
        request.defaultExtension = "txt";
        request.initialFileName = core_.projectName + "_MF";
    } else if (option_ == 4) {
        request.filter = kTextFilter;
        request.initialFileName = core_.projectName;
    } else {
        request.filter = kRtfFilter;
        request.defaultExtension = "rtf";
        request.initialFileName = core_.projectName + "_report";
    }
    const auto path = ui_.saveFileDialog(request);
    if (!path) return;

    Status status;
    switch (option_) {
        case 1: status = exportLikelihoodRatio(row, core_, *path); break;
        case 2: status = writeCaseReport(core_, *path); break;
        case 3: status = writeSimulationReport(core_, *path); break;
        default: status = exportMarkerRatios(row, core_, *path); break;
    }
    // A file that could not be written is said, and the user may choose another place.
    if (!status) {
        ui_.error(status.message());
        return;
    }
    if (option_ == 2 || option_ == 3) ui_.openDocument(*path);
    closeWith(DialogResult::Ok);
}

}  // namespace relatix
