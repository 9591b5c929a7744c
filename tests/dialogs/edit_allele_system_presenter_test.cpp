#include "dialogs/edit_allele_system_presenter.h"

#include <gtest/gtest.h>

#include "core/frequency_database.h"
#include "support/scripted_user_interface.h"

namespace relatix {
namespace {

using testing::ScriptedUserInterface;

// A case with the map entry "D1" (chromosome 3, 12.5 cM) and one active population
// holding D1 with the alleles 9 and 11.
Core caseWithD1() {
    Core core;
    core.markerMap.markers = {Marker("D1", 3, 12.5)};
    Population population;
    population.name = "P";
    Marker marker("D1", 3, 12.5);
    marker.alleles = {{"9", 0.4}, {"11", 0.6}};
    population.markers.push_back(marker);
    core.populations.push_back(population);
    core.activePopulation = 1;
    return core;
}

TEST(EditAlleleSystem, showsTheEntryAndItsAlleles) {
    Core core = caseWithD1();
    core.populations[0].markers[0].alleles[0].frequency = 0.123456789;
    ScriptedUserInterface ui;
    EditAlleleSystemPresenter dialog(core, ui, 1);
    EXPECT_EQ(dialog.title(), "Edit allele system");
    EXPECT_EQ(dialog.systemName(), "D1");
    EXPECT_EQ(dialog.geneticPosition(), "12.5");
    EXPECT_EQ(dialog.chromosomeSelection(), 2);
    ASSERT_EQ(dialog.alleleRows().size(), 2u);
    EXPECT_EQ(dialog.alleleRows()[0].name, "9");
    EXPECT_EQ(dialog.alleleRows()[0].frequency, "0.12345679");
    EXPECT_EQ(dialog.populationPosition(), 1);

    dialog.selectChromosome(21);
    EXPECT_EQ(core.markerMap.markers[0].chromosome, 22);
    EXPECT_EQ(core.populations[0].markers[0].chromosome, 22);
}

TEST(EditAlleleSystem, addEditAndRemoveAlleles) {
    Core core = caseWithD1();
    ScriptedUserInterface ui;
    EditAlleleSystemPresenter dialog(core, ui, 1);
    const Marker& marker = core.populations[0].markers[0];

    dialog.setNewAlleleName("10");
    for (const char* bad : {"1,5", "0", "abc", "1"}) {
        dialog.setNewAlleleFrequency(bad);
        ui.expectMessage("Please enter valid frequency >0.0 and <1.0", "Error");
        dialog.add();
    }
    EXPECT_EQ(marker.alleles.size(), 2u);
    dialog.setNewAlleleFrequency("0,05");
    dialog.add();
    EXPECT_EQ(alleleNames(marker), (std::vector<std::string>{"9", "10", "11"}));
    EXPECT_DOUBLE_EQ(marker.alleles[1].frequency, 0.05);
    EXPECT_EQ(dialog.newAlleleName(), "");
    EXPECT_EQ(dialog.newAlleleFrequency(), "");
    EXPECT_EQ(dialog.alleleRows().size(), 3u);

    dialog.setNewAlleleName("9");
    dialog.setNewAlleleFrequency("0.2");
    ui.expectMessage("Allele name already exists!", "Error");
    dialog.add();
    EXPECT_EQ(dialog.newAlleleName(), "9");

    ui.expectMessage("No allele selected", "Error");
    dialog.edit();
    ui.expectMessage("No allele selected", "Error");
    dialog.remove();

    // Edit moves the allele into the fields; Add puts it back changed.
    dialog.activateAllele(2);
    EXPECT_EQ(dialog.newAlleleName(), "11");
    EXPECT_EQ(dialog.newAlleleFrequency(), "0.6");
    EXPECT_EQ(alleleNames(marker), (std::vector<std::string>{"9", "10"}));
    dialog.setNewAlleleFrequency("0.55");
    dialog.add();
    EXPECT_DOUBLE_EQ(marker.alleles[2].frequency, 0.55);

    dialog.selectAllele(0);
    dialog.remove();
    EXPECT_EQ(alleleNames(marker), (std::vector<std::string>{"10", "11"}));
    EXPECT_EQ(dialog.selectedAllele(), -1);
}

TEST(EditAlleleSystem, closeAppliesNameAtOnceButStaysOpenForPositionZero) {
    Core core = caseWithD1();
    ScriptedUserInterface ui;
    EditAlleleSystemPresenter dialog(core, ui, 1);
    dialog.setSystemName("D1S1656");
    dialog.setGeneticPosition("0");
    ui.expectMessage("Please enter valid genetic position", "Error");
    dialog.close();
    EXPECT_FALSE(dialog.closed());
    EXPECT_EQ(core.markerMap.markers[0].name, "D1S1656");
    EXPECT_EQ(core.populations[0].markers[0].name, "D1S1656");
    EXPECT_DOUBLE_EQ(core.markerMap.markers[0].position, 12.5);

    dialog.setGeneticPosition("abc");
    ui.expectMessage("Please enter valid genetic position", "Error");
    dialog.close();
    EXPECT_FALSE(dialog.closed());

    // Frequencies 0.4 + 0.6 sum to 1: no question.
    dialog.setGeneticPosition("33.25");
    dialog.close();
    EXPECT_TRUE(dialog.closed());
    EXPECT_DOUBLE_EQ(core.markerMap.markers[0].position, 33.25);
    EXPECT_DOUBLE_EQ(core.populations[0].markers[0].position, 33.25);
}

TEST(EditAlleleSystem, closeOffersNormalisation) {
    Core core = caseWithD1();
    core.populations[0].markers[0].alleles[1].frequency = 0.4;
    ScriptedUserInterface ui;
    EditAlleleSystemPresenter dialog(core, ui, 1);
    ui.expectMessage("Allele frequencies do not sum up to 1.0, normalize?", "Notification",
                     Answer::Yes);
    dialog.close();
    EXPECT_TRUE(dialog.closed());
    EXPECT_DOUBLE_EQ(core.populations[0].markers[0].alleles[1].frequency, 0.5);
}

TEST(EditAlleleSystem, worksOnTheActivePopulationOrANewUnnamedOne) {
    Core core = caseWithD1();
    core.markerMap.markers.push_back(Marker("D2", 5, 40.0));
    ScriptedUserInterface ui;
    {
        EditAlleleSystemPresenter dialog(core, ui, 2);
        ASSERT_EQ(core.populations[0].markers.size(), 2u);
        const Marker& created = core.populations[0].markers[1];
        EXPECT_EQ(created.name, "D2");
        EXPECT_EQ(created.chromosome, 1);
        EXPECT_DOUBLE_EQ(created.position, 1.0);
        EXPECT_TRUE(dialog.alleleRows().empty());
    }

    core.activePopulation = 0;
    EditAlleleSystemPresenter dialog(core, ui, 1);
    ASSERT_EQ(core.populations.size(), 2u);
    EXPECT_EQ(dialog.populationPosition(), 2);
    const Population& unnamed = core.populations[1];
    EXPECT_EQ(unnamed.name, "Unnamed");
    ASSERT_EQ(unnamed.markers.size(), 1u);
    EXPECT_EQ(unnamed.markers[0].name, "D1");
    EXPECT_DOUBLE_EQ(unnamed.markers[0].position, -1.0);
    EXPECT_EQ(core.activePopulation, 0);
    dialog.setNewAlleleName("12");
    dialog.setNewAlleleFrequency("0.5");
    dialog.add();
    EXPECT_EQ(unnamed.markers[0].alleles.size(), 1u);
    EXPECT_EQ(core.populations[0].markers[0].alleles.size(), 2u);
}

}  // namespace
}  // namespace relatix
