#include "dialogs/edit_markers_presenter.h"

#include <gtest/gtest.h>

#include "core/frequency_database.h"
#include "dialogs/edit_allele_system_presenter.h"
#include "dialogs/populations_presenter.h"
#include "support/scripted_user_interface.h"

namespace relatix {
namespace {

using testing::ScriptedUserInterface;

Marker withAlleles(Marker marker, const std::vector<std::string>& names) {
    for (const std::string& name : names) marker.alleles.push_back({name, 0.5});
    return marker;
}

// Map: D2 (chr 2), D1 (chr 1), DX (chr 23), unsorted. Population A holds D1 and DX.
Core caseWithMap() {
    Core core;
    core.markerMap.markers = {Marker("D2", 2, 5.0), Marker("D1", 1, 7.25), Marker("DX", 23, 1.0)};
    Population a;
    a.name = "A";
    a.markers = {withAlleles(Marker("D1", 1, 7.25), {"9", "10"}),
                 withAlleles(Marker("DX", 23, 1.0), {"A", "G"})};
    Population b;
    b.name = "B";
    b.markers = {withAlleles(Marker("DX", 23, 1.0), {"C", "T"})};
    core.populations = {a, b};
    return core;
}

std::vector<std::string> markerColumn(const EditMarkersPresenter& dialog) {
    std::vector<std::string> names;
    for (const MarkerRow& row : dialog.rows()) names.push_back(row.marker);
    return names;
}

TEST(EditMarkers, listsTheSortedMapWithTheActivePopulationsAlleles) {
    Core core = caseWithMap();
    ScriptedUserInterface ui;
    EditMarkersPresenter dialog(core, ui);
    EXPECT_EQ(dialog.title(), "Edit markers");
    EXPECT_EQ(markerColumn(dialog), (std::vector<std::string>{"D1", "D2", "DX"}));
    EXPECT_EQ(core.markerMap.markers[0].name, "D1");
    const MarkerRow& d1 = dialog.rows()[0];
    EXPECT_EQ(d1.chromosome, "1");
    EXPECT_EQ(d1.position, "7.2500");
    EXPECT_EQ(d1.alleleCount, "0");
    EXPECT_EQ(d1.colour, MarkerRowColour::Default);
    EXPECT_EQ(dialog.rows()[2].chromosome, "X");

    EXPECT_EQ(dialog.populationOptions(),
              (std::vector<std::string>{"Select population...", "A", "B"}));
    dialog.selectPopulation(1);
    EXPECT_EQ(core.activePopulation, 1);
    EXPECT_EQ(dialog.populationName(), "A");
    EXPECT_EQ(dialog.rows()[0].alleleCount, "2");
    EXPECT_EQ(dialog.rows()[0].alleles, "9,10");
    EXPECT_EQ(dialog.rows()[0].colour, MarkerRowColour::InPopulation);
    EXPECT_EQ(dialog.rows()[1].colour, MarkerRowColour::NotInPopulation);
    EXPECT_EQ(EditMarkersPresenter::rgbOf(dialog.rows()[0].colour), (Rgb{0, 153, 0}));

    dialog.setChromosomeFilter(2);
    EXPECT_EQ(markerColumn(dialog), (std::vector<std::string>{"D2"}));
    dialog.setChromosomeFilter(0);
    dialog.setMarkerNameFilter("dx");
    EXPECT_EQ(markerColumn(dialog), (std::vector<std::string>{"DX"}));
    dialog.setMarkerNameFilter("D");
    EXPECT_TRUE(dialog.rows().empty());
}

TEST(EditMarkers, populationNameAndTheta) {
    Core core = caseWithMap();
    core.clusterDatabase.theta = 0.012345678;
    ScriptedUserInterface ui;
    EditMarkersPresenter dialog(core, ui);
    EXPECT_EQ(dialog.thetaText(), "0.012346");
    dialog.setThetaText("0.03");  // no active population: ignored
    dialog.setPopulationName("Z");
    EXPECT_DOUBLE_EQ(core.clusterDatabase.theta, 0.012345678);
    EXPECT_EQ(core.populations[0].name, "A");

    dialog.selectPopulation(2);
    dialog.setPopulationName("Bo");
    dialog.setPopulationName("Bos");
    EXPECT_EQ(core.populations[1].name, "Bos");
    dialog.setThetaText("0.03");
    EXPECT_DOUBLE_EQ(core.populations[1].theta, 0.03);
    EXPECT_DOUBLE_EQ(core.clusterDatabase.theta, 0.03);
    EXPECT_EQ(dialog.thetaNote(), "");
    // Refused texts leave theta as it is and say so beside the field.
    for (const char* refused : {"-1", "abc", "1", "5"}) {
        dialog.setThetaText(refused);
        EXPECT_EQ(dialog.thetaText(), refused);
        EXPECT_DOUBLE_EQ(core.populations[1].theta, 0.03) << refused;
        EXPECT_DOUBLE_EQ(core.clusterDatabase.theta, 0.03) << refused;
        EXPECT_EQ(dialog.thetaNote(),
                  "Theta (Fst) must be a number from 0 to below 1; 0.03 stays in use");
    }
    dialog.setThetaText("0,5");
    EXPECT_DOUBLE_EQ(core.clusterDatabase.theta, 0.5);
    EXPECT_DOUBLE_EQ(core.populations[1].theta, 0.5);
    EXPECT_EQ(dialog.thetaNote(),
              "Theta (Fst) 0.5 is unusually large (above 0.1); it is used as given");
    dialog.setThetaText("");
    EXPECT_DOUBLE_EQ(core.clusterDatabase.theta, 0.0);
    EXPECT_EQ(dialog.thetaNote(), "");
}

TEST(EditMarkers, addWithoutPopulationsCreatesAndActivatesOne) {
    Core core;
    ScriptedUserInterface ui;
    EditMarkersPresenter dialog(core, ui);
    ui.expectDialogOf<EditAlleleSystemPresenter>("Edit allele system",
                                                 [](EditAlleleSystemPresenter& system) {
                                                     EXPECT_EQ(system.systemName(), "New locus");
                                                     EXPECT_EQ(system.geneticPosition(), "1");
                                                     system.setSystemName("D5");
                                                     system.setGeneticPosition("2.5");
                                                     system.close();
                                                     return system.result();
                                                 });
    dialog.add();
    ASSERT_EQ(core.populations.size(), 1u);
    EXPECT_EQ(core.populations[0].name, "Unnamed");
    EXPECT_EQ(core.activePopulation, 1);
    ASSERT_EQ(dialog.rows().size(), 1u);
    EXPECT_EQ(dialog.rows()[0].marker, "D5");
    EXPECT_EQ(dialog.rows()[0].position, "2.5000");
    EXPECT_EQ(dialog.rows()[0].colour, MarkerRowColour::InPopulation);
}

TEST(EditMarkers, addAndEditAskWhenPopulationsExistButNoneIsActive) {
    Core core = caseWithMap();
    ScriptedUserInterface ui;
    EditMarkersPresenter dialog(core, ui);
    ui.expectMessage(
        "No population selected, adding new marker will cause a new unnamed "
        "population to be created, continue?",
        "Warning", Answer::No);
    dialog.add();
    EXPECT_EQ(markerColumn(dialog), (std::vector<std::string>{"New locus", "D1", "D2", "DX"}));
    EXPECT_EQ(core.populations.size(), 2u);

    ui.expectMessage("Please select a system to edit", "Error");
    dialog.edit();
    ui.expectMessage(
        "No population selected, editing marker will cause a new unnamed "
        "population to be created, continue?",
        "Warning", Answer::Yes);
    ui.expectDialogOf<EditAlleleSystemPresenter>("Edit allele system",
                                                 [](EditAlleleSystemPresenter& system) {
                                                     EXPECT_EQ(system.systemName(), "D2");
                                                     system.dismiss();
                                                     return system.result();
                                                 });
    dialog.activateRow(2);
    ASSERT_EQ(core.populations.size(), 3u);
    EXPECT_EQ(core.populations[2].name, "Unnamed");
    EXPECT_EQ(core.activePopulation, 0);

    // A second "New locus" asks to overwrite the first.
    dialog.selectPopulation(1);
    ui.expectMessage("System : New locus already exists in database, overwrite?", "Relatix2",
                     Answer::Yes);
    ui.expectDialog("Edit allele system", [](Presenter&) { return DialogResult::Cancel; });
    dialog.add();
    EXPECT_EQ(core.markerMap.markers.size(), 4u);
}

TEST(EditMarkers, removeSelectedMarkersOnly) {
    Core core = caseWithMap();
    ScriptedUserInterface ui;
    EditMarkersPresenter dialog(core, ui);
    ui.expectMessage("Please select a system/marker to remove", "Notification");
    dialog.remove();
    dialog.setMarkerNameFilter("D2");
    dialog.setSelectedRows({0});
    dialog.setMarkerNameFilter("");
    EXPECT_TRUE(dialog.selectedRows().empty()) << "a refresh clears the selection";
    dialog.setSelectedRows({2, 0, 7});
    dialog.remove();
    EXPECT_EQ(markerColumn(dialog), (std::vector<std::string>{"D2"}));
    EXPECT_EQ(core.populations[0].markers.size(), 2u);
}

TEST(EditMarkers, flipScanUsesTheActivePopulationAsReference) {
    Core core = caseWithMap();
    ScriptedUserInterface ui;
    EditMarkersPresenter dialog(core, ui);
    ui.expectMessage("Please select a population", "Error");
    dialog.flipScan();
    dialog.selectPopulation(1);
    const std::string question =
        "This will run a procedure that will check all populations for apparent discordant "
        "strand (applies only to SNPs), continue?\n\nThe procedure will use the currently "
        "defined population as reference for correct strand annotation.";
    ui.expectMessage(question, "Warning", Answer::No);
    dialog.flipScan();
    EXPECT_EQ(alleleNames(core.populations[1], "DX"), (std::vector<std::string>{"C", "T"}));
    ui.expectMessage(question, "Warning", Answer::Yes);
    dialog.flipScan();
    EXPECT_EQ(alleleNames(core.populations[1], "DX"), (std::vector<std::string>{"G", "A"}));
}

TEST(Populations, removeAndMergeThroughTheDialog) {
    Core core = caseWithMap();
    Population c;
    c.name = "C";
    core.populations.push_back(c);
    core.activePopulation = 2;
    ScriptedUserInterface ui;
    EditMarkersPresenter editor(core, ui);
    ui.expectDialogOf<PopulationsPresenter>("Populations", [&](PopulationsPresenter& dialog) {
        EXPECT_EQ(dialog.rows().size(), 3u);
        EXPECT_EQ(dialog.rows()[0].population, "A");
        EXPECT_EQ(dialog.rows()[0].markers, "2");
        ui.expectMessage("Please select a population to remove", "Notification");
        dialog.remove();
        ui.expectMessage("Please select at least two populations to merge", "Error");
        dialog.setSelectedRows({1});
        dialog.merge();
        ui.expectMessage("Currently not implemented", "Warning");
        dialog.exportPopulations();

        dialog.setSelectedRows({0, 1});
        dialog.merge();
        EXPECT_EQ(dialog.rows().size(), 2u);
        EXPECT_EQ(dialog.rows()[0].population, "A_B");
        EXPECT_EQ(core.activePopulation, 1);
        dialog.setSelectedRows({1});
        dialog.remove();
        EXPECT_EQ(dialog.rows().size(), 1u);
        dialog.close();
        return dialog.result();
    });
    editor.populations();
    EXPECT_EQ(editor.populationName(), "A_B");
    EXPECT_EQ(editor.populationOptions(),
              (std::vector<std::string>{"Select population...", "A_B"}));
}

}  // namespace
}  // namespace relatix
