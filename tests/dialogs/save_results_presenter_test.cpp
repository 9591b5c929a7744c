#include "dialogs/save_results_presenter.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/core.h"
#include "support/scripted_user_interface.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

using testing::ScriptedUserInterface;

Core duoResults() {
    Core core;
    Cluster cluster;
    ClusterSystem system;
    system.name = "A";
    cluster.systems = {system};
    core.clusterDatabase.clusters = {cluster};
    core.markerSkipped = {false};
    core.exactMarkerResults = {{std::log(6.0)}, {0.0}};
    core.exactResults = {std::log(6.0), 0.0};
    core.referenceHypothesis = 1;
    core.projectName = "duo";
    return core;
}

// Every refusal keeps the dialog open, and so does a file that cannot be
// written; a save that worked closes it.
TEST(SaveResults, refusesWhatCannotBeSavedAndStaysOpenUntilASaveWorked) {
    const Core core = duoResults();
    ScriptedUserInterface ui;
    auto attempt = [&](int row, bool calculated, bool simulated, int option) {
        SaveResultsPresenter dialog(core, ui, row, calculated, simulated);
        dialog.selectOption(option);
        dialog.save();
        return dialog.closed();
    };
    ui.expectMessage("Select save option", "Notification");
    EXPECT_FALSE(attempt(1, true, false, 0));
    for (int row : {0, 2}) {  // none selected, or the reference row
        ui.expectMessage("Can not export LR for the pedigree which is scaled against", "Error");
        EXPECT_FALSE(attempt(row, true, false, 1));
    }
    ui.expectMessage("Can not export LR, only simulations have been performed", "Error");
    EXPECT_FALSE(attempt(0, false, true, 4));
    ui.expectMessage("No simulations to save", "Error");
    EXPECT_FALSE(attempt(1, true, false, 3));

    testing::TempFolder folder;
    const std::string unwritable = folder.file("missing/duo_MF.txt");
    ui.expectSaveFile(unwritable);
    ui.expectMessage("Could not write " + unwritable + ": No such file or directory", "Error");
    EXPECT_FALSE(attempt(1, true, false, 1));
    const std::string path = folder.file("duo_MF.txt");
    ui.expectSaveFile(path);
    EXPECT_TRUE(attempt(1, true, false, 1));
    EXPECT_EQ(testing::readFile(path), "6");
    EXPECT_EQ(ui.fileRequests.back().initialFileName, "duo_MF");
    EXPECT_EQ(ui.fileRequests.back().defaultExtension, "txt");
}

}  // namespace
}  // namespace relatix
