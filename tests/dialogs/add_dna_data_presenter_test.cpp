#include "dialogs/add_dna_data_presenter.h"

#include <gtest/gtest.h>

#include "core/frequency_database.h"
#include "dialogs/new_allele_presenter.h"
#include "support/scripted_user_interface.h"

namespace relatix {
namespace {

using testing::ScriptedUserInterface;

// A case with the markers D1 (chromosome 1) and D2 (chromosome 2) on the map,
// a population with D1 (alleles 12, 13, 14) only, and a catalogue relationship.
struct DnaEntryFixture : ::testing::Test {
    ScriptedUserInterface ui;
    Core core;
    AddDnaDataPresenter dialog{ui};

    void SetUp() override {
        core.markerMap.markers = {Marker("D1", 1, 10.0), Marker("D2", 2, 20.0)};
        Population population;
        Marker d1("D1", 1, 10.0);
        d1.alleles = {{"12", 0.3}, {"13", 0.3}, {"14", 0.4}};
        population.markers.push_back(d1);
        core.populations.push_back(population);
        core.activePopulation = 1;
    }

    // Code 13 (uncle, two persons), persons NN1 and NN2 as the selection dialog makes them.
    void uncleCase() {
        core.selectMainHypothesis(12);
        core.genotypeTable.sexCodes = {1, 1};
        core.persons = {Person("NN1", true), Person("NN2", true), Person("Spare", false)};
    }
    const std::vector<DnaObservation>& dna(int person) {
        return core.persons[static_cast<size_t>(person - 1)].dna;
    }
};

TEST_F(DnaEntryFixture, showsTheAnalysisPersonsAndTheirGenotypes) {
    uncleCase();
    core.persons[0].dna.push_back({0, "D2", 0, "7", ""});
    dialog.attach(core);
    EXPECT_EQ(dialog.hypothesisLabel(), "Basic hypothesis [Uncle]");
    EXPECT_EQ(dialog.personOptions(),
              (std::vector<std::string>{"Select person...", "1. NN1", "2. NN2"}));
    EXPECT_EQ(dialog.markerOptions(), (std::vector<std::string>{"-", "D1", "D2"}));
    EXPECT_FALSE(dialog.fieldsEnabled());
    dialog.choosePerson(1);
    ASSERT_EQ(dialog.genotypeRows().size(), 2u);
    EXPECT_EQ(dialog.genotypeRows()[0].genotype, "");
    EXPECT_EQ(dialog.genotypeRows()[1].chromosome, "2");
    EXPECT_EQ(dialog.genotypeRows()[1].genotype, "7, x");
    EXPECT_EQ(dialog.picturePath(), "");  // no picture file in the program folder
}

TEST_F(DnaEntryFixture, storingAlleles) {
    uncleCase();
    dialog.attach(core);
    dialog.choosePerson(2);
    dialog.chooseMarker(1);
    EXPECT_EQ(dialog.alleleOptions(), (std::vector<std::string>{"-", "12", "13", "14"}));
    EXPECT_EQ(dialog.alleleText(1), "-");

    // 12 and "-" stores 12, 12.
    dialog.chooseAllele(1, 1);
    ASSERT_EQ(dna(2).size(), 1u);
    EXPECT_EQ(dna(2)[0].markerName, "D1");
    EXPECT_EQ(dna(2)[0].allele1, "12");
    EXPECT_EQ(dna(2)[0].allele2, "12");
    dialog.chooseAllele(2, 3);
    EXPECT_EQ(dna(2)[0].allele2, "14");
    EXPECT_EQ(dialog.genotypeRows()[0].genotype, "12, 14");

    // Coming back to the marker preselects the stored alleles.
    dialog.choosePerson(1);
    dialog.choosePerson(2);
    dialog.activateGenotypeRow(0);
    EXPECT_EQ(dialog.alleleText(1), "12");
    EXPECT_EQ(dialog.alleleText(2), "14");

    // "-" and "-" removes the observation.
    dialog.chooseAllele(1, 0);
    dialog.chooseAllele(2, 0);
    EXPECT_TRUE(dna(2).empty());
    EXPECT_TRUE(dna(1).empty());
}

TEST_F(DnaEntryFixture, aTypedAlleleThePopulationLacksOpensNewAllele) {
    uncleCase();
    dialog.attach(core);
    dialog.choosePerson(1);
    dialog.chooseMarker(1);
    dialog.typeAllele(1, " 9.3 ");
    dialog.typeAllele(2, "13");
    ui.expectDialogOf<NewAllelePresenter>("New allele!", [](NewAllelePresenter& newAllele) {
        EXPECT_EQ(newAllele.alleleText(), "Allele: 9.3");
        newAllele.add();
        return newAllele.result();
    });
    dialog.next();
    EXPECT_EQ(dialog.result(), DialogResult::Next);
    ASSERT_EQ(dna(1).size(), 1u);
    EXPECT_EQ(dna(1)[0].allele1, "9.3");
    EXPECT_EQ(dna(1)[0].allele2, "13");
    EXPECT_EQ(alleleNames(core.populations[0], "D1"),
              (std::vector<std::string>{"9.3", "12", "13", "14"}));
}

TEST_F(DnaEntryFixture, lookingAtAMarkerNeverChangesItsObservation) {
    uncleCase();
    // Imported data: an allele the population lacks, a half-typed genotype, and
    // a marker the population does not hold.
    core.persons[0].dna = {{0, "D1", 0, "15", ""}, {0, "D2", 0, "8", "9"}};
    dialog.attach(core);
    dialog.choosePerson(1);
    dialog.chooseMarker(1);
    EXPECT_EQ(dialog.alleleText(1), "15");
    EXPECT_EQ(dialog.alleleText(2), "-");
    ui.expectMessage(
        "Marker did not exist in the active population, select another population or add data",
        "Error");
    dialog.chooseMarker(2);
    EXPECT_TRUE(dialog.alleleOptions().empty());
    dialog.close();
    EXPECT_EQ(dialog.result(), DialogResult::Closed);
    ASSERT_EQ(dna(1).size(), 2u);
    EXPECT_EQ(dna(1)[0].allele1, "15");
    EXPECT_EQ(dna(1)[0].allele2, "");
    EXPECT_EQ(dna(1)[1].allele2, "9");
}

TEST_F(DnaEntryFixture, nameAndSexAndTheSexLock) {
    uncleCase();
    dialog.attach(core);
    dialog.choosePerson(2);
    ui.expectMessage("Cannot change gender of the current person", "Notification");
    dialog.setMale(false);
    EXPECT_TRUE(dialog.male());
    EXPECT_TRUE(core.persons[1].isMale);

    dialog.choosePerson(1);
    dialog.setMale(false);
    EXPECT_FALSE(core.persons[0].isMale);
    EXPECT_EQ(core.genotypeTable.sexCodes, (std::vector<int>{2, 1}));
    dialog.setNameText("Uncle Tom");
    dialog.previous();
    EXPECT_EQ(dialog.result(), DialogResult::Back);
    EXPECT_EQ(core.persons[0].name, "Uncle Tom");

    EXPECT_TRUE(sexLocked(23, 2));
    EXPECT_FALSE(sexLocked(23, 3));
    EXPECT_TRUE(sexLocked(1, 1));
    EXPECT_FALSE(sexLocked(1, 2));
    EXPECT_FALSE(sexLocked(3, 1));
}

TEST_F(DnaEntryFixture, withoutAnActivePopulation) {
    uncleCase();
    core.activePopulation = 0;
    ui.expectMessage(
        "No active population selected, most functions in this dialog will not work as "
        "intended.\n\nPlease select an active population before continuing",
        "Warning");
    dialog.attach(core);
    dialog.choosePerson(1);
    ui.expectMessage(
        "Could not detect any active population, please select one before editing allele data",
        "Error");
    dialog.chooseMarker(1);
    dialog.typeAllele(1, "12");
    dialog.close();
    EXPECT_TRUE(dna(1).empty());
}

TEST_F(DnaEntryFixture, createdModeShowsAndLinesUpThePedigreePersons) {
    core.mainHypothesis = kCreatedPedigrees;
    core.createdPedigrees.resize(2);
    core.createdPedigrees[0].name = "Father";
    core.persons = {Person("Case person", true)};
    auto& pedigreePersons = core.genotypeTable.pedigreePersons;
    pedigreePersons = {Person("Anna", false), Person("Bob", true)};
    pedigreePersons[1].dna.push_back({1, "D1", 1, "12", "13"});
    core.genotypeTable.addCluster();
    core.genotypeTable.addSystem(1);

    dialog.attach(core);
    EXPECT_EQ(dialog.hypothesisLabel(), "Basic hypothesis [Father]");
    EXPECT_EQ(core.genotypeTable.personCount, 2);
    EXPECT_EQ(core.genotypeTable.personNames, (std::vector<std::string>{"Anna", "Bob"}));
    EXPECT_EQ(core.genotypeTable.sexCodes, (std::vector<int>{2, 1}));
    EXPECT_EQ(core.genotypeTable.alleleText(1, 1, 2, 2), "13");
    EXPECT_EQ(core.genotypeTable.alleleText(1, 1, 1, 1), "-1");

    dialog.choosePerson(2);
    EXPECT_EQ(dialog.nameText(), "Bob");
    dialog.setMale(false);  // no lock for created pedigrees
    dialog.chooseMarker(1);
    dialog.chooseAllele(2, 3);
    dialog.setNameText("Bert");
    dialog.next();
    EXPECT_EQ(pedigreePersons[1].dna[0].allele2, "14");
    EXPECT_EQ(pedigreePersons[1].name, "Bert");
    EXPECT_FALSE(pedigreePersons[1].isMale);
    EXPECT_EQ(core.genotypeTable.personNames[1], "Bert");
    EXPECT_TRUE(core.persons[0].dna.empty());
}

}  // namespace
}  // namespace relatix
