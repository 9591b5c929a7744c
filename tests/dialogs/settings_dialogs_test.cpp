// The "Options", "Advanced settings" and "Conversion" dialogs.
#include <gtest/gtest.h>

#include <filesystem>

#include "dialogs/advanced_settings_presenter.h"
#include "dialogs/conversion_presenter.h"
#include "dialogs/full_image_presenter.h"
#include "dialogs/options_presenter.h"
#include "support/scripted_user_interface.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

using testing::ScriptedUserInterface;
using testing::TempFolder;

TEST(OptionsDialog, newAlleleFrequencyBounds) {
    TempFolder folder;
    Core core(folder.path().string());
    ScriptedUserInterface ui;
    OptionsPresenter dialog(core, ui);
    EXPECT_EQ(dialog.modelOptions()[static_cast<size_t>(dialog.modelSelection())],
              "Search and Substract");
    dialog.setNewAlleleFrequencyText("0.99");
    ui.expectMessage("New allele frequency must be between 0.0 and 0.99", "Error");
    dialog.save();
    dialog.setNewAlleleFrequencyText("abc");
    ui.expectMessage("New allele frequency must be a float larger than 0.0", "Error");
    dialog.save();
    EXPECT_FALSE(dialog.closed());
    EXPECT_FALSE(std::filesystem::exists(folder.file("config.dat")));
    dialog.setNewAlleleFrequencyText("0.98");
    dialog.save();
    EXPECT_TRUE(dialog.closed());
    EXPECT_DOUBLE_EQ(core.clusterDatabase.newAlleleFrequency, 0.98);
    EXPECT_TRUE(std::filesystem::exists(folder.file("config.dat")));
}

TEST(OptionsDialog, thetaModelAndMutationSwitch) {
    TempFolder folder;
    struct Case {
        const char* text;
        double theta;
    };
    for (const Case& c : {Case{"0,05", 0.05}, Case{"", 0.0}, Case{"0.3", 0.3}}) {
        Core core(folder.path().string());
        core.populations.resize(1);
        core.activePopulation = 1;
        core.clusterDatabase.theta = 0.02;
        ScriptedUserInterface ui;
        OptionsPresenter dialog(core, ui);
        EXPECT_EQ(dialog.thetaText(), "0.02");
        dialog.setThetaText(c.text);
        dialog.selectModel(2);  // "Normalise"
        dialog.setMutationsOff(true);
        if (c.theta > 0.1)
            ui.expectMessage("Theta (Fst) 0.3 is unusually large (above 0.1); it is used as given",
                             "Warning");
        dialog.save();
        EXPECT_TRUE(dialog.closed()) << c.text;
        EXPECT_DOUBLE_EQ(core.clusterDatabase.theta, c.theta) << c.text;
        EXPECT_DOUBLE_EQ(core.populations[0].theta, c.theta) << c.text;
        EXPECT_EQ(core.clusterDatabase.newAlleleModel, 1);
        EXPECT_TRUE(core.mutationsOff);
    }
    // A theta that is no number or out of range is refused: the dialog stays open
    // and the case keeps its theta.
    for (const char* refused : {"abc", "-0.1", "1", "5", "0.05x"}) {
        Core core(folder.path().string());
        core.populations.resize(1);
        core.activePopulation = 1;
        core.clusterDatabase.theta = 0.02;
        ScriptedUserInterface ui;
        OptionsPresenter dialog(core, ui);
        dialog.setThetaText(refused);
        dialog.selectModel(2);
        ui.expectMessage("Theta (Fst) must be a number from 0 to below 1", "Error");
        dialog.save();
        EXPECT_FALSE(dialog.closed()) << refused;
        EXPECT_EQ(core.clusterDatabase.theta, 0.02) << refused;
        EXPECT_EQ(core.populations[0].theta, 0.0) << refused;
    }
    // No model chosen: theta stays stored, the switch does not.
    Core core(folder.path().string());
    ScriptedUserInterface ui;
    OptionsPresenter dialog(core, ui);
    dialog.setThetaText("0.03");
    dialog.selectModel(0);
    dialog.setMutationsOff(true);
    ui.expectMessage("Allele frequency model must be set", "Error");
    dialog.save();
    EXPECT_FALSE(dialog.closed());
    EXPECT_DOUBLE_EQ(core.clusterDatabase.theta, 0.03);
    EXPECT_FALSE(core.mutationsOff);
    dialog.selectModel(1);
    dialog.save();
    EXPECT_EQ(core.clusterDatabase.newAlleleModel, 2);
}

TEST(AdvancedSettingsDialog, updateValidatesTheEditedRow) {
    Core core;
    ScriptedUserInterface ui;
    AdvancedSettingsPresenter dialog(core, ui);
    ASSERT_EQ(dialog.rows().size(), 26u);
    EXPECT_EQ(dialog.rows()[0].threshold, "1e-05");
    EXPECT_EQ(dialog.rows()[0].lumpAlleles, "Yes");
    ui.expectMessage("Please select a pedigree to edit", "Error");
    dialog.edit();
    dialog.update();  // nothing is being edited: nothing happens
    dialog.activateRow(4);
    EXPECT_EQ(dialog.stepsText(), "1");
    EXPECT_EQ(dialog.thresholdText(), "1e-05");
    dialog.setStepsText("-1");
    ui.expectMessage("Steps must be an integer >=0", "Error");
    dialog.update();
    dialog.setStepsText("0");
    for (const char* bad : {"1", "0", "abc"}) {
        dialog.setThresholdText(bad);
        ui.expectMessage(std::string(bad) == "1" ? "Threshold must be a value <1.0"
                                                 : "Threshold must be a double >0.0",
                         "Error");
        dialog.update();
    }
    EXPECT_EQ(core.pedigreeSettings.steps[4], 1);
    dialog.setThresholdText("0.5");
    dialog.setLumpAlleles(false);
    dialog.update();
    EXPECT_EQ(core.pedigreeSettings.steps[4], 0);
    EXPECT_DOUBLE_EQ(core.pedigreeSettings.threshold[4], 0.5);
    EXPECT_FALSE(core.pedigreeSettings.lumpAlleles[4]);
    EXPECT_EQ(dialog.rows()[4].lumpAlleles, "No");
    EXPECT_FALSE(dialog.editedRow());
    EXPECT_EQ(dialog.stepsText(), "");
    EXPECT_EQ(core.pedigreeSettings.steps[3], 1);
}

TEST(AdvancedSettingsDialog, updateAllAndTheOtherButtons) {
    Core core;
    ScriptedUserInterface ui;
    AdvancedSettingsPresenter dialog(core, ui);
    dialog.setThresholdText("0.001");
    dialog.setStepsText("2");
    dialog.setLumpAlleles(false);
    const std::string ask =
        "This action will update all pedigrees with the specified settings, continue?";
    ui.expectMessage(ask, "Warning", Answer::No);
    dialog.updateAll();
    EXPECT_EQ(core.pedigreeSettings.steps[0], 1);
    ui.expectMessage(ask, "Warning", Answer::Yes);
    dialog.updateAll();
    for (int i = 0; i < 26; ++i) {
        EXPECT_EQ(dialog.rows()[static_cast<size_t>(i)].threshold, "0.001");
        EXPECT_EQ(dialog.rows()[static_cast<size_t>(i)].steps, "2");
        EXPECT_EQ(dialog.rows()[static_cast<size_t>(i)].lumpAlleles, "No");
    }
    ui.expectMessage("Feature not activated yet", "Notification");
    dialog.create();
    ui.expectMessage("Select pedigree first", "Notification");
    dialog.displayImage();
    dialog.selectRow(6);
    ui.expectDialogOf<FullImagePresenter>("Full image", [](FullImagePresenter& image) {
        EXPECT_EQ(image.codes(), std::vector<int>{7});
        return DialogResult::Closed;
    });
    dialog.displayImage();
}

TEST(ConversionDialog, convertsBothWays) {
    ScriptedUserInterface ui;
    ConversionPresenter dialog(ui);
    EXPECT_EQ(dialog.methodOptions()[static_cast<size_t>(dialog.methodSelection())], "Kosambi");
    dialog.convert();
    EXPECT_EQ(dialog.thetaText(), "0.0597");
    dialog.selectMethod(1);
    dialog.selectDirection(1);
    EXPECT_EQ(dialog.arrowLabel(), "<-");
    dialog.setThetaText("10");  // read as 10 %
    dialog.convert();
    EXPECT_EQ(dialog.distanceText(), "11.1572");
    dialog.setThetaText("0.5");
    ui.expectMessage("No finite distance for theta >= 0.5", "Error");
    dialog.convert();
    EXPECT_EQ(dialog.distanceText(), "11.1572");
    dialog.setThetaText("");
    dialog.convert();
    EXPECT_EQ(dialog.distanceText(), "11.1572");
    dialog.selectDirection(0);
    dialog.setDistanceText("0");
    dialog.convert();
    EXPECT_EQ(dialog.thetaText(), "");
    dialog.selectMethod(0);
    ui.expectMessage("Please enter conversion method", "Error");
    dialog.convert();
}

}  // namespace
}  // namespace relatix
