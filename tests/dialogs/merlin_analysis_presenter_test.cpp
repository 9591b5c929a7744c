// "Analyze Merlin files": its checks, its file fields and a small run through the
// real engine whose results the simulation results window shows.
#include "dialogs/merlin_analysis_presenter.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/core.h"
#include "dialogs/simulation_results_presenter.h"
#include "support/scripted_user_interface.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

namespace fs = std::filesystem;
using testing::ScopedCurrentDirectory;
using testing::ScriptedUserInterface;
using testing::TempFolder;

TEST(MerlinAnalysisDialog, opensWithInstructionsAndChecksItsFields) {
    Core core;
    ScriptedUserInterface ui;
    ui.expectMessage(kMerlinInstructions, "Instructions");
    ui.expectDialogOf<MerlinAnalysisPresenter>("Analyze Merlin files", [&](auto& dialog) {
        EXPECT_EQ(dialog.files.pedigreeFile, "Select file...");
        EXPECT_EQ(dialog.numberOfSimulations, "1000");
        EXPECT_TRUE(dialog.randomSeed);
        EXPECT_FALSE(dialog.seedEditable());
        ui.expectMessage("Please check the input files", "Error");
        dialog.simulate();
        ui.expectOpenFile("/data/fam.ped");
        dialog.choosePedigreeFile();
        ui.expectOpenFileCancelled();
        dialog.choosePedigreeFile();  // a cancelled choice keeps the file
        EXPECT_EQ(dialog.files.pedigreeFile, "/data/fam.ped");
        EXPECT_EQ(ui.fileRequests.back().filter, "Ped files (*.ped)|*.ped|All files (*.*)|*.*||");
        ui.expectSaveFile("/data/lr.txt");
        dialog.chooseOutputFile();
        EXPECT_EQ(dialog.files.outputFile, "/data/lr.txt");
        dialog.close();
        return dialog.result();
    });
    openMerlinAnalysis(core, ui);
}

TEST(MerlinAnalysisDialog, aRunFillsTheSimulationResultsWithThePedigrees) {
    TempFolder folder;
    // An affection column first, as MERLIN-style data files often have one.
    folder.write("f.dat", "A disease\nM a\nM b\nM c\nM d\n");
    folder.write("f.map", "CHROMOSOME MARKER POSITION\n1 a 0\n1 b 20\n2 c 0\n2 d 20\n");
    folder.write("g.map", "CHROMOSOME MARKER POSITION\n1 a 0\n2 b 0\n3 c 0\n4 d 0\n");
    std::string freq;
    for (const char* m : {"a", "b", "c", "d"})
        freq += std::string("M ") + m + "\nA 7 0.6\nA 8 0.4\n";
    folder.write("f.freq", freq);
    folder.write("f.ped",
                 "duo F 0 0 1 1 7 7 7 7 7 7 7 7\nduo M 0 0 2 1 0 0 0 0 0 0 0 0\n"
                 "duo C F M 1 2 7 8 7 8 7 8 7 8\npair A 0 0 1 1 7 7 7 7 7 7 7 7\n"
                 "pair B 0 0 1 2 7 8 7 8 7 8 7 8\n");
    Core core(RELATIX_PROGRAM_FOLDER);
    core.simulatedExactLikelihoods = {{-1.0, -2.0}};  // from an earlier simulation of the case
    ScriptedUserInterface ui;
    MerlinAnalysisPresenter dialog(core, ui);
    dialog.files = {folder.file("f.ped"), folder.file("f.dat"), folder.file("f.freq"),
                    folder.file("f.map"), folder.file("g.map"), kSelectFile};
    dialog.numberOfSimulations = "10";
    dialog.randomSeed = false;
    dialog.seed = "0";
    ui.expectMessage("Enter valid seed or choose Random seed", "Error");
    dialog.simulate();
    dialog.seed = "17";
    ui.expectDialogOf<
        SimulationResultsPresenter>("Simulation results - Likelihood ratios", [](auto& results) {
        EXPECT_EQ(results.scaleOptions(), (std::vector<std::string>{"Pedigree 1", "Pedigree 2"}));
        EXPECT_EQ(results.methodOptions(), (std::vector<std::string>{"2. Merlin", "3. Unlinked"}));
        EXPECT_EQ(results.dataSets().size(), 20u);
        EXPECT_EQ(results.rows().size(), 2u);
        results.chooseMethod(1);  // the second map's list
        EXPECT_EQ(results.dataSets().size(), 20u);
        results.close();
        return results.result();
    });
    {
        // The output left at "Select file..." is a file of that name in the working directory.
        const ScopedCurrentDirectory here(folder.path());
        dialog.simulate();
    }
    EXPECT_TRUE(core.simulatedExactLikelihoods.empty());
    EXPECT_EQ(core.simulatedLinkedLikelihoods.size(), 20u);
    EXPECT_TRUE(fs::exists(folder.file("Select file...")));
    EXPECT_TRUE(fs::exists(folder.file("f_to_simulate.ped")));
    EXPECT_TRUE(fs::exists(folder.file("f_simulated_data.ped")));
    EXPECT_TRUE(fs::exists(folder.file("f_modified.freq")));
    // The affection column stays in its place; the alleles carry their names.
    const std::string simulated = testing::readFile(folder.file("f_simulated_data.ped"));
    EXPECT_EQ(simulated.rfind("1\tF\t0\t0\t1\t1 ", 0), 0u) << simulated.substr(0, 200);
    const std::string father = simulated.substr(0, simulated.find('\r'));
    const std::string firstAllele = father.substr(father.rfind('\t') + 3, 1);
    EXPECT_TRUE(firstAllele == "7" || firstAllele == "8") << father;
    // The duo's own data: the father and child are related at every marker.
    for (size_t r = 0; r < 10; ++r) {
        const LogLikelihoods& w = core.simulatedLinkedLikelihoods[2 * r];
        ASSERT_TRUE(w[0] && w[1]) << r;
    }
}

}  // namespace
}  // namespace relatix
