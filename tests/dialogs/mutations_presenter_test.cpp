#include "dialogs/mutations_presenter.h"

#include <gtest/gtest.h>

#include "support/scripted_user_interface.h"

namespace relatix {
namespace {

using testing::ScriptedUserInterface;
constexpr MutationSide kMale = MutationSide::Male;
constexpr MutationSide kFemale = MutationSide::Female;

Core twoMarkers() {
    Core core;
    core.markerMap.markers = {Marker("D1", 1, 10.0), Marker("D2", 1, 20.0)};
    core.markerMap.markers[1].maleMutation = {2, 0.002, 3.0, 0.5};
    core.markerMap.markers[1].femaleMutation = {0, 0.1, 0.0, 0.0};
    return core;
}

TEST(MutationsDialog, opensWithTheMarkersSettings) {
    Core core = twoMarkers();
    ScriptedUserInterface ui;
    MutationsPresenter dialog(core, ui, 2, true);
    EXPECT_EQ(dialog.modelSelection(kMale), 2);
    EXPECT_EQ(dialog.texts(kMale).rate, "0.002");
    EXPECT_EQ(dialog.texts(kMale).range, "0.5");
    EXPECT_EQ(dialog.texts(kMale).third, "3");
    EXPECT_EQ(dialog.thirdLabel(kMale), "Steps (N):");
    EXPECT_TRUE(dialog.rangeEnabled(kMale));
    // A female model of 0 shows no model, with empty disabled fields.
    EXPECT_EQ(dialog.modelSelection(kFemale), 0);
    EXPECT_EQ(dialog.texts(kFemale).rate, "");
    EXPECT_FALSE(dialog.rateEnabled(kFemale));
    EXPECT_FALSE(dialog.thirdEnabled(kFemale));
    dialog.selectModel(kFemale, 3);
    EXPECT_EQ(dialog.thirdLabel(kFemale), "Rate 2:");
    EXPECT_TRUE(dialog.changed());
}

TEST(MutationsDialog, saveStoresOneMarkerAndKeepsTheMaleSideOnAFemaleRefusal) {
    Core core = twoMarkers();
    ScriptedUserInterface ui;
    MutationsPresenter dialog(core, ui, 1, true);
    dialog.selectModel(kMale, 2);
    dialog.setRateText(kMale, "0.001");
    dialog.setRangeText(kMale, "0.2");
    dialog.setThirdText(kMale, "2.5");
    ui.expectMessage("Please enter a valid number of integer steps >0", "Error");
    dialog.save();
    EXPECT_EQ(core.markerMap.markers[0].maleMutation, (MutationSettings{1, 0.0, 0.0, 0.0}));
    dialog.setThirdText(kMale, "2");
    dialog.selectModel(kFemale, 0);
    ui.expectMessage("Please specify a model", "Error");
    dialog.save();
    EXPECT_FALSE(dialog.closed());
    EXPECT_EQ(core.markerMap.markers[0].maleMutation, (MutationSettings{2, 0.001, 2.0, 0.2}));
    dialog.selectModel(kFemale, 1);
    dialog.setRateText(kFemale, "abc");
    ui.expectMessage("Please enter a valid mutation rate", "Error");
    dialog.save();
    dialog.setRateText(kFemale, ".5");
    dialog.setRangeText(kFemale, "7");  // hidden for model 1
    dialog.save();
    EXPECT_TRUE(dialog.closed());
    EXPECT_EQ(core.markerMap.markers[0].femaleMutation, (MutationSettings{1, 0.5, 0.0, 0.0}));
    EXPECT_EQ(core.markerMap.markers[1].maleMutation, (MutationSettings{2, 0.002, 3.0, 0.5}));
}

TEST(MutationsDialog, withoutAMarkerOnlySaveToAllApplies) {
    Core core = twoMarkers();
    ScriptedUserInterface ui;
    MutationsPresenter dialog(core, ui, 0, false);
    EXPECT_EQ(dialog.modelSelection(kMale), 1);
    EXPECT_EQ(dialog.modelSelection(kFemale), 1);
    EXPECT_EQ(dialog.texts(kFemale).rate, "0");
    ui.expectMessage(
        "No marker/system selected. Please press \"Save to all\" or \"Close\" and select a "
        "marker to edit.",
        "Error");
    dialog.save();
    const std::string ask =
        "Warning: This will change the mutation parameters for all existing markers, continue?";
    dialog.setRateText(kMale, "0.003");
    dialog.selectModel(kFemale, 3);
    dialog.setRateText(kFemale, "0.004");
    dialog.setRangeText(kFemale, "0.1");
    dialog.setThirdText(kFemale, "x");
    ui.expectMessage(ask, "Warning", Answer::Yes)
        .expectMessage("Please enter a valid secondary female mutation rate", "Error");
    dialog.saveToAll();
    for (const Marker& m : core.markerMap.markers)
        EXPECT_EQ(m.maleMutation, (MutationSettings{1, 0.003, 0.0, 0.0}));
    EXPECT_EQ(core.markerMap.markers[0].femaleMutation, (MutationSettings{1, 0.0, 0.0, 0.0}));
    dialog.setThirdText(kFemale, "0.0001");
    ui.expectMessage(ask, "Warning", Answer::Yes);
    dialog.saveToAll();
    EXPECT_TRUE(dialog.closed());
    for (const Marker& m : core.markerMap.markers)
        EXPECT_EQ(m.femaleMutation, (MutationSettings{3, 0.004, 0.0001, 0.1}));
}

TEST(MutationsDialog, closeAsksOnlyAfterAChange) {
    Core core = twoMarkers();
    core.markerMap.markers[1].maleMutation.rate = 0.00123456789;  // shown rounded
    {
        ScriptedUserInterface ui;
        MutationsPresenter dialog(core, ui, 2, true);
        dialog.close();
        EXPECT_TRUE(dialog.closed());
    }
    {
        ScriptedUserInterface ui;
        MutationsPresenter dialog(core, ui, 2, true);
        dialog.setRangeText(kMale, "0.6");
        ui.expectMessage("End without saving changes?", "Warning", Answer::No);
        dialog.close();
        EXPECT_FALSE(dialog.closed());
        ui.expectMessage("End without saving changes?", "Warning", Answer::Yes);
        dialog.close();
        EXPECT_TRUE(dialog.closed());
    }
    // No marker chosen and an empty map: nothing to compare, no failure.
    Core empty;
    ScriptedUserInterface ui;
    MutationsPresenter dialog(empty, ui, 3, true);
    EXPECT_FALSE(dialog.markerChosen());
    dialog.close();
    EXPECT_TRUE(dialog.closed());
}

}  // namespace
}  // namespace relatix
