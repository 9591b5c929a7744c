#include "linkage/calculation_workflow.h"

#include <filesystem>

#include "core/core.h"
#include "engine/catalogue_likelihoods.h"
#include "linkage/core_update.h"
#include "linkage/engine_results.h"
#include "linkage/engine_runs.h"
#include "linkage/linkage_data_files.h"
#include "linkage/linkage_ped_file.h"
#include "platform/trace_file.h"
#include "platform/user_interface.h"
#include "platform/work_folder.h"

namespace relatix {

namespace {

// Gives the core the run's work folder for as long as the run lasts.
class WorkFolderOfCore {
public:
    WorkFolderOfCore(Core& core, const WorkFolder& folder) : core_(core) {
        core_.workFolder = folder.path();
    }
    ~WorkFolderOfCore() { core_.workFolder.clear(); }
    WorkFolderOfCore(const WorkFolderOfCore&) = delete;
    WorkFolderOfCore& operator=(const WorkFolderOfCore&) = delete;

private:
    Core& core_;
};

}  // namespace

CalculationOutcome runCalculation(Core& core, UserInterface& ui, const BeforeCalculation& before) {
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
    if (before && !before(core, ui)) {
        outcome.status = CalculationStatus::Cancelled;
        return outcome;
    }

    const WorkFolder folder(core.programDirectory);
    if (!folder.ok()) {
        ui.error(folder.error());
        outcome.status = CalculationStatus::NoWorkFolder;
        return outcome;
    }
    const WorkFolderOfCore inFolder(core, folder);
    trace << "Writing data files in " << folder.path() << "\n";
    const bool written = writeLinkageDataFiles(core, skip);
    trace << "Writing ped file\n";
    const bool pedWritten = writeLinkagePedFile(core, skip) && written;

    trace << "Performing analyses with skipped clusters\n";
    core.markerSkipped = skip;
    if (core.mainHypothesis != kCreatedPedigrees) {
        ExactLikelihoods exact = computeExactLikelihoods(core, skip, &ui);
        core.exactResults = std::move(exact.values);
        core.exactMarkerResults = std::move(exact.markerResults);
    }

    outcome.status = CalculationStatus::Calculated;
    if (!pedWritten) {
        outcome.engineMessage =
            "The files for the linkage program could not be written in " + folder.path();
    } else {
        // The window stays responsive and says what runs while the engine works.
        ui.progressOpen("Computing likelihoods", 0, 1,
                        "Running the linkage program on the unlinked and the genetic map");
        // Cancel in the progress window ends the engine: the linked values are then
        // not available, and a hung engine never holds the program.
        const EngineRunOutcome run = runCalculationEngines(
            core.programDirectory, folder.path(), [&ui] { ui.processEvents(); },
            [&ui] { return ui.progressCancelled(); });
        ui.progressClose();
        if (!run.succeeded()) outcome.engineMessage = run.message();
    }
    if (outcome.engineMessage.empty()) {
        trace << "Extracting information\n";
        const Status read = readEngineResults(core);
        outcome.engineResultsAvailable = read.ok();
        if (!read)
            outcome.engineMessage =
                "The linkage program gave no complete result: " + read.message();
    }
    if (!outcome.engineResultsAvailable) {
        // Never leave an earlier case's engine values in place of this one's.
        const size_t n = static_cast<size_t>(core.hypothesisCount());
        core.unlinkedResults = missingLikelihoods(n, outcome.engineMessage);
        core.merlinResults = missingLikelihoods(n, outcome.engineMessage);
        ui.messageBox(outcome.engineMessage, "Error", MessageButtons::Ok, MessageIcon::Error);
    }
    return outcome;
}

}  // namespace relatix
