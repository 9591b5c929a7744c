#include "linkage/calculation_workflow.h"

#include <algorithm>
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

std::string noUsableMarkerReason(const Core& core, const std::vector<bool>& skipList) {
    const Population* population = core.populationAt(core.activePopulation);
    if (!population)
        return "There is no active population: choose one in Edit markers before calculating";
    const GenotypeTable& table = core.genotypeTable;
    const int clusters = static_cast<int>(core.clusterDatabase.clusters.size());
    if (clusters == 0)
        return "No marker of the case is in the active population " + population->name;
    if (core.mainHypothesis != kCreatedPedigrees) {
        const int persons = std::min<int>(table.personCount, static_cast<int>(core.persons.size()));
        for (int k = 1; k <= persons; ++k) {
            bool typed = false;
            for (int c = 1; c <= clusters && !typed; ++c)
                typed = table.alleleText(c, 1, k, 1) != kUnknownAllele &&
                        table.alleleText(c, 1, k, 2) != kUnknownAllele;
            if (!typed)
                return core.persons[static_cast<size_t>(k - 1)].name +
                       " is typed at no marker of the active population " + population->name;
        }
    }
    for (int c = 0; c < clusters; ++c)
        if (static_cast<size_t>(c) >= skipList.size() || !skipList[static_cast<size_t>(c)])
            return {};
    return "No marker of the active population " + population->name +
           " is typed for every person of the case";
}

CalculationOutcome runCalculation(Core& core, UserInterface& ui, const BeforeCalculation& before) {
    TraceFile trace("CalculateLR");
    CalculationOutcome outcome;
    updateCore(core);
    trace << "Core updated\n";

    bool missingData = false;
    const std::vector<bool> skip = clusterSkipList(core, &missingData);
    // A case without a usable marker has nothing to compute: every LR would be 1.
    const std::string refusal = noUsableMarkerReason(core, skip);
    if (missingData && refusal.empty())
        ui.messageBox(kIncompleteDataMessage, "Notification", MessageButtons::Ok,
                      MessageIcon::Information);
    trace << "Sorting markers\n"
          << "Asking about save\n";

    if (core.hypothesisCount() <= 1) {
        ui.messageBox("Please choose at least one alternative hypothesis", kApplicationTitle);
        outcome.status = CalculationStatus::NoAlternatives;
        return outcome;
    }
    if (!refusal.empty()) {
        ui.messageBox(refusal, "Error", MessageButtons::Ok, MessageIcon::Error);
        outcome.status = CalculationStatus::NoUsableMarker;
        outcome.refusal = refusal;
        core.exactResults.clear();
        core.exactMarkerResults.clear();
        core.unlinkedResults.clear();
        core.merlinResults.clear();
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
