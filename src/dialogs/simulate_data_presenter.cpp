#include "dialogs/simulate_data_presenter.h"

#include "core/core.h"
#include "dialogs/simulation_results_presenter.h"
#include "platform/user_interface.h"
#include "simulation/simulation_run.h"

namespace relatix {

void SimulateDataPresenter::simulate() {
    const std::string problem = simulationInputError(numberOfSimulations, randomSeed, seed);
    if (!problem.empty()) {
        ui_.error(problem);
        return;
    }
    // Every statistic compares two hypotheses; a run with one would only take time.
    if (core_.hypothesisCount() < 2) {
        ui_.messageBox("Please choose at least one alternative hypothesis", kApplicationTitle);
        return;
    }
    const int n = static_cast<int>(typedInteger(numberOfSimulations));
    if (!runSimulation(core_, ui_, n, randomSeed, seed, saveRawData)) return;
    results();
}

void SimulateDataPresenter::results() {
    SimulationResultsPresenter dialog(core_, ui_);
    dialog.refresh();
    ui_.runDialog(dialog);
}

}  // namespace relatix
