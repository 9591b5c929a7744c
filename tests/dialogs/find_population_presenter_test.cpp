#include "dialogs/find_population_presenter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "dialogs/view_data_presenter.h"
#include "persistence/genotype_import.h"
#include "support/scripted_user_interface.h"
#include "support/temp_folder.h"
#include "support/typed_observation.h"

namespace relatix {
namespace {

using testing::ScriptedUserInterface;

// Two populations at two SNP markers; a duo whose first person is typed.
Core snpCase() {
    Core core;
    core.projectName = "snps";
    core.markerMap.markers = {Marker("rs1", 1, 5), Marker("rs2", 2, 7)};
    for (const auto& [name, a] : {std::pair{"North", 0.9}, std::pair{"South", 0.2}}) {
        Population population;
        population.name = name;
        for (const Marker& mapMarker : core.markerMap.markers) {
            Marker marker(mapMarker.name, 1, 0);
            marker.alleles = {{"A", a}, {"G", 1 - a}};
            population.markers.push_back(marker);
        }
        core.populations.push_back(population);
    }
    core.activePopulation = 1;
    core.selectMainHypothesis(23);
    core.persons = {Person("Typed", true), Person("Untyped", false)};
    core.persons[0].dna = {testing::typedObservation("rs1", "A", "A"),
                           testing::typedObservation("rs2", "A", "G")};
    return core;
}

std::string content(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(FindPopulationPresenter, importsProfilesShowsTheirPopulationsAndRemovesThem) {
    testing::TempFolder folder;
    Core core = snpCase();
    ScriptedUserInterface ui;
    ui.expectMessage(kFindPopulationInstructions, "Instructions");
    ui.expectDialogOf<FindPopulationPresenter>(
        "Find closest population", [&](FindPopulationPresenter& p) -> DialogResult {
            EXPECT_TRUE(p.profileRows().empty());
            // From the project: the untyped person is passed over.
            ui.expectMessage(kImportSourceQuestion, "Import option", Answer::Yes);
            p.importProfiles();
            EXPECT_EQ(core.ancestryPersons.size(), 1u);
            // From a file, in ancestry mode: the sample becomes a profile of its own.
            const std::string file = folder.file("profiles.txt");
            std::ofstream(file) << "Sample\trs1_1\trs1_2\trs2_1\trs2_2\r\nVisitor\tG\tG\tG\tG\r\n";
            ui.expectMessage(kImportSourceQuestion, "Import option", Answer::No)
                .expectOpenFile(file);
            p.importProfiles();
            EXPECT_EQ(ui.fileRequests.back().filter, kProfileFileFilter);
            // A pedigree file would go to the case's persons: refused.
            ui.expectMessage(kImportSourceQuestion, "Import option", Answer::No)
                .expectOpenFile(folder.file("case.ped"))
                .expectMessage(
                    "Ancestry profiles cannot be read from a .ped file: use a delimited table "
                    "(.txt, .csv) or a PGM Genotyper export",
                    kImportErrorCaption);
            p.importProfiles();
            EXPECT_EQ(core.persons[1].dna.size(), 0u);

            if (p.profileRows().size() != 2u) {
                ADD_FAILURE() << "profiles: " << p.profileRows().size();
                return DialogResult::Closed;
            }
            EXPECT_EQ(p.profileRows()[0].name, "Typed");
            EXPECT_EQ(p.profileRows()[0].markers, "2");
            EXPECT_EQ(p.profileRows()[0].mostLikely.rfind("North (0.9", 0), 0u);
            EXPECT_EQ(p.profileRows()[1].mostLikely.rfind("South (", 0), 0u);
            EXPECT_TRUE(p.resultRows().empty());
            p.setSelectedProfiles({1});
            EXPECT_EQ(p.resultRows().size(), 2u);
            if (p.resultRows().empty()) return DialogResult::Closed;
            EXPECT_EQ(p.resultRows()[0].population, "South");
            // ln(0.8 * 0.8 * 0.8 * 0.8)
            EXPECT_EQ(p.resultRows()[0].logLikelihood, "-0.892574");

            ui.expectDialogOf<ViewDataPresenter>("View data (Beta)", [](ViewDataPresenter& view) {
                EXPECT_EQ(view.table().columns[3].header, "2. Visitor");
                EXPECT_EQ(view.table().rows[2][3], "G, G");
                view.setMarkerName("RS2");
                EXPECT_EQ(view.table().rows.size(), 2u);
                return DialogResult::Closed;
            });
            p.viewProfiles();

            p.setSelectedProfiles({});
            ui.expectMessage("Select profiles to remove", kApplicationTitle);
            p.removeProfiles();
            p.setSelectedProfiles({0, 1});
            p.removeProfiles();
            EXPECT_TRUE(core.ancestryPersons.empty());
            EXPECT_TRUE(p.profileRows().empty());
            EXPECT_TRUE(p.resultRows().empty());
            p.close();
            return DialogResult::Closed;
        });
    openFindPopulation(core, ui);
    ui.verify();
}

TEST(FindPopulationPresenter, exportsWriteNothingWithoutASelectionOrAFile) {
    testing::TempFolder folder;
    Core core = snpCase();
    ScriptedUserInterface ui;
    FindPopulationPresenter p(core, ui);
    p.structureSeed = [] { return 1234u; };

    // Nothing to write yet.
    ui.expectMessage("No likelihoods have been computed yet", "Error");
    p.exportLikelihoods();
    ui.expectMessage("Select profiles to export", kApplicationTitle);
    p.exportGenoGeographer();
    EXPECT_TRUE(ui.fileRequests.empty());

    ui.expectMessage(kImportSourceQuestion, "Import option", Answer::Yes);
    p.importProfiles();
    p.setSelectedProfiles({0});

    const std::string csv = folder.file("Typed.csv");
    ui.expectSaveFile(csv);
    p.exportGenoGeographer();
    EXPECT_EQ(ui.fileRequests.back().initialFileName, "Typed");
    EXPECT_EQ(content(csv), "Marker;Genotype\r\nrs1;AA\r\nrs2;AG\r\n");

    const std::string structure = folder.file("structure.txt");
    ui.expectMessage(kStructureWarning, "Warning")
        .expectSaveFile(structure)
        .expectMessage(
            "The STRUCTURE file was written with the random seed 1234.\nrelatix2-cli "
            "closest-population with --structure and --seed 1234 draws the same reference "
            "individuals.",
            "Information");
    p.exportStructure();
    EXPECT_EQ(ui.fileRequests.back().initialFileName, "snps");
    EXPECT_EQ(content(structure).rfind("rs1 rs2 \r\n-1 -1 \r\nIndividual1 1 1 ", 0), 0u);

    // A file that cannot be created: the message, and no file.
    const std::string blocked = folder.file("no/such/folder/table.txt");
    ui.expectSaveFile(blocked).expectMessage(kOutputFileError, "Error");
    p.exportLikelihoods();
    ui.expectMessage(kStructureWarning, "Warning")
        .expectSaveFile(blocked)
        .expectMessage(kOutputFileError, "Error");
    p.exportStructure();
    EXPECT_FALSE(std::filesystem::exists(blocked));

    const std::string table = folder.file("table.txt");
    ui.expectSaveFile(table);
    p.exportLikelihoods();
    EXPECT_EQ(
        content(table).rfind("Sample id\tNorth\tSouth\t\r\nTyped\t-1.92552\t-4.35831\t\r\n", 0),
        0u);
    ui.verify();
}

}  // namespace
}  // namespace relatix
