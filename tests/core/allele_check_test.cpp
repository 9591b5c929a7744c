#include "core/allele_check.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/frequency_database.h"
#include "dialogs/new_allele_presenter.h"
#include "support/scripted_user_interface.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

using testing::ScriptedUserInterface;

Core coreWithMarker() {
    Core core;
    Population population;
    population.name = "P";
    Marker marker("D1", 1, 1.0);
    marker.alleles = {{"9", 0.4}, {"11", 0.6}};
    population.markers.push_back(marker);
    core.populations.push_back(population);
    core.activePopulation = 1;
    return core;
}

TEST(CheckAllele, missingAndKnownAllelesNeedNoQuestion) {
    Core core = coreWithMarker();
    ScriptedUserInterface ui;
    for (const char* missing : {"-", "x", "0", "N"})
        EXPECT_EQ(checkAllele(core, ui, missing, "D1"), "") << missing;
    EXPECT_EQ(checkAllele(core, ui, "9", "D1"), "9");
    ui.verify();

    // Exact names: "09" and "9.0" are new alleles.
    for (const char* text : {"09", "9.0"}) {
        ui.expectDialog("New allele!", [](Presenter&) { return DialogResult::Cancel; });
        EXPECT_EQ(checkAllele(core, ui, text, "D1"), text);
    }
    // Without a population the question still comes, and nothing can be added.
    ui.expectDialogOf<NewAllelePresenter>("New allele!", [](NewAllelePresenter& dialog) {
        dialog.add();
        return dialog.result();
    });
    EXPECT_EQ(checkAllele(ui, "9", "D1", nullptr), "9");
}

TEST(CheckAllele, newAlleleIsAddedOrKeptWhenCancelled) {
    Core core = coreWithMarker();
    ScriptedUserInterface ui;
    ui.expectDialogOf<NewAllelePresenter>("New allele!", [&](NewAllelePresenter& dialog) {
        EXPECT_EQ(dialog.systemText(), "System: D1");
        EXPECT_EQ(dialog.alleleText(), "Allele: 10");
        EXPECT_EQ(dialog.frequency(), "0.01");
        EXPECT_EQ(dialog.modelSelection(), 1);
        ui.expectMessage("Please select frequency model", "Error");
        dialog.selectModel(0);
        dialog.add();
        ui.expectMessage("Please enter valid frequency >0.0 and <1.0", "Error");
        dialog.selectModel(2);
        dialog.setFrequency("1,5");
        dialog.add();
        EXPECT_FALSE(dialog.closed());
        dialog.setFrequency("0,02");
        dialog.add();
        EXPECT_TRUE(dialog.closed());
        return dialog.result();
    });
    EXPECT_EQ(checkAllele(core, ui, "10", "D1"), "10");
    const Marker& marker = core.populations[0].markers[0];
    EXPECT_EQ(alleleNames(marker), (std::vector<std::string>{"9", "10", "11"}));
    EXPECT_DOUBLE_EQ(marker.alleles[1].frequency, 0.02);
    EXPECT_EQ(core.clusterDatabase.newAlleleModel, 2);  // the dialog's model is not stored

    ui.expectDialogOf<NewAllelePresenter>("New allele!", [](NewAllelePresenter& dialog) {
        dialog.cancel();
        return dialog.result();
    });
    EXPECT_EQ(checkAllele(core, ui, "12", "D1"), "12");
    EXPECT_EQ(marker.alleles.size(), 3u);

    // A marker the population lacks is not created by adding.
    ui.expectDialogOf<NewAllelePresenter>("New allele!", [](NewAllelePresenter& dialog) {
        dialog.add();
        return dialog.result();
    });
    EXPECT_EQ(checkAllele(core, ui, "7", "D2"), "7");
    EXPECT_EQ(core.populations[0].markers.size(), 1u);
}

TEST(CheckAllele, traceOnlyWhenDebugFolderExists) {
    testing::TempFolder folder("allele-check");
    testing::ScopedCurrentDirectory here(folder.path());
    Core core = coreWithMarker();
    ScriptedUserInterface ui;
    checkAllele(core, ui, "9", "D1");
    EXPECT_FALSE(std::filesystem::exists("Debug"));

    std::filesystem::create_directory("Debug");
    checkAllele(core, ui, "9", "D1");
    checkAllele(core, ui, "11", "D1");
    const std::string trace = testing::readFile("Debug/0Debug_checkAllele.txt");
    EXPECT_NE(trace.find("Checking alleles\r\n9\r\nSystem: D1\r\n"), std::string::npos);
    EXPECT_NE(trace.find("Checking alleles\r\n11\r\n"), std::string::npos);
    EXPECT_NE(trace.find("Found alleles\r\n9\r\n11\r\n"), std::string::npos);
}

}  // namespace
}  // namespace relatix
