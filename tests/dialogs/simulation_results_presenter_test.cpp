#include "dialogs/simulation_results_presenter.h"

#include <gtest/gtest.h>

#include "core/core.h"
#include "platform/atomic_file.h"
#include "support/scripted_user_interface.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

using testing::ScriptedUserInterface;
using testing::TempFolder;

// "Save LR" writes its table whole or not at all: on a full disk it says so and
// an earlier file keeps every byte.
TEST(SimulationResultsSaveLr, aFailedWriteIsReportedAndKeepsTheEarlierFile) {
    TempFolder folder;
    Core core;
    core.selectMainHypothesis(23);
    core.alternativeHypotheses = {2};
    core.simulatedExactLikelihoods = {{-1.0, -2.0}, {-3.0, -2.5}};
    core.simulatedLinkedLikelihoods = core.simulatedExactLikelihoods;
    core.simulatedUnlinkedLikelihoods = core.simulatedExactLikelihoods;
    ScriptedUserInterface ui;
    SimulationResultsPresenter dialog(core, ui);
    const std::string path = folder.file("Simulation_LRs.txt");
    ui.expectSaveFile(path);
    dialog.saveRatios();
    ui.verify();
    const std::string written = testing::readFile(path);
    EXPECT_EQ(written, dialog.ratioExport());

    struct DiskFull {
        DiskFull() { simulateDiskFullAfter(5); }
        ~DiskFull() { simulateDiskFullAfter(std::nullopt); }
    };
    core.simulatedExactLikelihoods[0][0] = -9.0;
    {
        const DiskFull full;
        ui.expectSaveFile(path).expectMessage(
            "Error when writing " + path + ": nothing was written", "Error");
        dialog.saveRatios();
    }
    ui.verify();
    EXPECT_EQ(testing::readFile(path), written);
}

}  // namespace
}  // namespace relatix
