#include "linkage/calculation_workflow.h"

#include <filesystem>

#include "core/core.h"
#include "engine/catalogue_likelihoods.h"
#include "linkage/core_update.h"
#include "linkage/engine_results.h"
#include "linkage/engine_runs.h"
#include "linkage/linkage_data_files.h"
#include "linkage/linkage_ped_file.h"
#include "persistence/project_file.h"
#include "platform/trace_file.h"
#include "platform/user_interface.h"

namespace relatix {

namespace {

// Yes saves (asking for a file when the project has none yet); false when the
// user cancels the question or the file dialog.
bool offerToSave(Core& core, UserInterface& ui) {
    const Answer answer = ui.messageBox("Save project?", "Question", MessageButtons::YesNoCancel,
                                        MessageIcon::Question);
    if (answer == Answer::Cancel) return false;
    if (answer == Answer::No) return true;
    if (core.savedToPath) {
        saveProject(core, core.projectPath, ui);
        return true;
    }
    FileDialogRequest request;
    request.initialFileName = core.projectName + "_Relatix.sav";
    request.defaultExtension = ".sav";
    request.filter = "Save Files (*.sav)|*.sav||All Files (*.*)|*.*||";
    request.confirmOverwrite = true;
    const auto path = ui.saveFileDialog(request);
    if (!path) return false;
    saveProject(core, *path, ui);
    core.projectPath = *path;
    core.savedToPath = true;
    return true;
}

void enterProgramDirectory(const Core& core) {
    std::error_code ec;
    if (!core.programDirectory.empty()) std::filesystem::current_path(core.programDirectory, ec);
}

}  // namespace

CalculationOutcome runCalculation(Core& core, UserInterface& ui) {
    TraceFile trace("CalculateLR");
    CalculationOutcome outcome;
    updateCore(core);
    trace << "Core updated\n";

    bool missingData = false;
    const std::vector<bool> skip = clusterSkipList(core, &missingData);
    if (missingData)
        ui.messageBox(kIncompleteDataMessage, "Notification", MessageButtons::Ok,
                      MessageIcon::Information);
    trace << "Sorting markers\n"
          << "Asking about save\n";

    if (core.hypothesisCount() <= 1) {
        ui.messageBox("Please choose at least one alternative hypothesis", kApplicationTitle);
        outcome.status = CalculationStatus::NoAlternatives;
        return outcome;
    }
    if (!offerToSave(core, ui)) {
        outcome.status = CalculationStatus::Cancelled;
        return outcome;
    }

    trace << "Writing data files\n";
    writeLinkageDataFiles(core, skip);
    trace << "Writing ped file\n";
    writeLinkagePedFile(core, skip);

    trace << "Performing analyses with skipped clusters\n";
    enterProgramDirectory(core);
    if (core.mainHypothesis != kCreatedPedigrees)
        computeCatalogueLikelihoods(core, skip, false, ui);
    enterProgramDirectory(core);
    runCalculationEngines(core.programDirectory);

    trace << "Extracting information\n";
    outcome.engineResultsAvailable = readEngineResults(core);
    outcome.status = CalculationStatus::Calculated;
    return outcome;
}

}  // namespace relatix
