#include "linkage/calculation_workflow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <thread>

#include "app/calculation_save.h"
#include "core/core.h"
#include "core/new_allele_models.h"
#include "dialogs/results_presenter.h"
#include "engine/catalogue_likelihoods.h"
#include "linkage/core_update.h"
#include "persistence/open_project.h"
#include "platform/atomic_file.h"
#include "platform/silent_user_interface.h"
#include "support/scripted_user_interface.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::ScriptedUserInterface;
using testing::TempFolder;

// A program folder of its own with the built engine linked into it. The test
// runs in a folder with a Debug folder, so that every run keeps its work folder
// below prog/temp for the test to read; the test's own current directory comes
// back when the folder goes.
struct ProgramFolder {
    testing::ScopedCurrentDirectory keep{fs::current_path()};
    TempFolder folder{"calc"};
    std::string path = (folder.path() / "prog").string();
    explicit ProgramFolder(const std::string& engineScript = {}) {
        fs::create_directories(fs::path(path) / "temp");
        fs::current_path(folder.path());
        fs::create_directory("Debug");
        const fs::path engine = fs::path(RELATIX_PROGRAM_FOLDER) / "merlinEngine";
        if (!engineScript.empty()) {
            const std::string fake = folder.write("prog/merlinEngine", engineScript);
            fs::permissions(fake, fs::perms::owner_all);
        } else if (fs::exists(engine)) {
            fs::create_symlink(engine, fs::path(path) / "merlinEngine");
        }
    }
    bool hasEngine() const { return fs::exists(fs::path(path) / "merlinEngine"); }
    // A file of the last run's work folder.
    std::string temp(const std::string& name) const {
        fs::path last;
        for (const auto& entry : fs::directory_iterator(fs::path(path) / "temp"))
            if (entry.is_directory() &&
                (last.empty() || fs::last_write_time(entry) >= fs::last_write_time(last)))
                last = entry.path();
        return last.empty() ? std::string() : readFile((last / name).string());
    }
};

Marker populationMarker(const std::string& name, std::vector<Allele> alleles) {
    Marker m(name, 1, 0);
    m.alleles = std::move(alleles);
    return m;
}

// A paternity duo typed at A and B, with B typed for the child only.
Core duoCase(const std::string& programDirectory) {
    Core core(programDirectory);
    core.markerMap.markers = {Marker("A", 1, 10), Marker("B", 1, 20), Marker("C", 2, 5)};
    Population population;
    population.markers = {populationMarker("A", {{"10", 0.25}, {"11", 0.75}}),
                          populationMarker("B", {{"7", 0.25}, {"8", 0.75}})};
    core.populations = {population};
    core.activePopulation = 1;
    core.selectMainHypothesis(23);     // Paternity (duo)
    core.alternativeHypotheses = {2};  // Unrelated
    core.addAlternativePedigree(5);
    core.genotypeTable.sexCodes = {1, 1};
    Person father("NN1", true), child("NN2", true);
    father.dna = {{0, "A", 0, "10", "11"}};
    child.dna = {{0, "A", 0, "10", "10"}, {0, "B", 0, "7", "9"}};
    core.persons = {father, child};
    return core;
}

TEST(UpdateCore, buildsOneClusterPerUsedMarkerAndAppliesTheNewAlleleModel) {
    Core core = duoCase("/prog");
    core.populations[0].markers[1].alleles[0].frequency = 0.0;  // becomes 0.01 first
    core.clusterDatabase.newAlleleFrequency = 0.05;
    core.clusterDatabase.newAlleleModel = 1;  // normalise
    updateCore(core);
    ASSERT_EQ(core.clusterDatabase.clusterNames, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(core.clusterDatabase.clusters[0].chromosome, 0);
    const ClusterSystem& b = core.clusterDatabase.clusters[1].systems[0];
    EXPECT_EQ(b.alleleNames, (std::vector<std::string>{"7", "8", "9"}));
    const double sum = 0.01 + 0.75 + 0.05;
    EXPECT_DOUBLE_EQ(b.frequencies[0], 0.01 / sum);
    EXPECT_DOUBLE_EQ(b.frequencies[1], 0.75 / sum);
    EXPECT_DOUBLE_EQ(b.frequencies[2], 0.05 / sum);
    // Search and subtract keeps the listed frequencies and gives the rest to an
    // allele of its own.
    core.clusterDatabase.newAlleleModel = 2;
    updateCore(core);
    const ClusterSystem& kept = core.clusterDatabase.clusters[1].systems[0];
    EXPECT_EQ(kept.alleleNames, (std::vector<std::string>{"7", "8", "9", kRestAlleleName}));
    EXPECT_DOUBLE_EQ(kept.frequencies[1], 0.75);
    EXPECT_DOUBLE_EQ(kept.frequencies[3], 1 - sum);
    EXPECT_EQ(core.genotypeTable.alleleText(1, 1, 1, 2), "11");
    EXPECT_EQ(core.genotypeTable.alleleText(2, 1, 1, 1), "-1");
    EXPECT_EQ(core.genotypeTable.alleleText(2, 1, 2, 2), "9");
    EXPECT_EQ(clusterSkipList(core), (std::vector<bool>{false, true}));
}

TEST(UpdateCore, copiesTheMapMarkersMutationSettingsBySex) {
    Core core = duoCase("/prog");
    core.markerMap.markers[0].femaleMutation = {2, 0.001, 0.002, 0.5};
    core.markerMap.markers[0].maleMutation = {3, 0.004, 0.005, 0.25};
    updateCore(core);
    const ClusterSystem& a = core.clusterDatabase.clusters[0].systems[0];
    EXPECT_EQ(a.mutation[0].model, 2);
    EXPECT_DOUBLE_EQ(a.mutation[0].rate, 0.001);
    EXPECT_DOUBLE_EQ(a.mutation[0].value2, 0.5);    // range
    EXPECT_DOUBLE_EQ(a.mutation[0].value3, 0.002);  // rate2
    EXPECT_EQ(a.mutation[1].model, 3);
    EXPECT_DOUBLE_EQ(a.mutation[1].value2, 0.25);
}

// A father 10/10 and a child 10/10 give the paternity index 1/p(10): the
// new-allele model decides p(10) when the frequencies do not sum to 1, and both
// engines follow it.
TEST(RunCalculation, theNewAlleleModelDecidesTheFrequenciesOfBothEngines) {
    ProgramFolder program;
    ASSERT_TRUE(program.hasEngine());
    struct Expected {
        std::vector<Allele> alleles;
        int model;
        double index;
    };
    const std::vector<Expected> cases = {
        {{{"10", 0.5}, {"11", 0.5}, {"12", 0.2}}, 1, 1.2 / 0.5},  // normalised
        {{{"10", 0.5}, {"11", 0.5}, {"12", 0.2}}, 2, 1 / 0.5},    // 11 gives up the excess
        {{{"10", 0.25}, {"11", 0.25}}, 1, 0.5 / 0.25},
        {{{"10", 0.25}, {"11", 0.25}}, 2, 1 / 0.25},  // the rest is an allele of its own
    };
    for (const Expected& e : cases) {
        Core core = duoCase(program.path);
        core.populations[0].markers = {populationMarker("A", e.alleles)};
        core.persons[0].dna = {{0, "A", 0, "10", "10"}};
        core.persons[1].dna = {{0, "A", 0, "10", "10"}};
        core.clusterDatabase.newAlleleModel = e.model;
        SilentUserInterface ui;
        const CalculationOutcome outcome = runCalculation(core, ui);
        ASSERT_EQ(outcome.status, CalculationStatus::Calculated);
        ASSERT_TRUE(outcome.engineResultsAvailable) << outcome.engineMessage;
        const std::string label = "model " + std::to_string(e.model) + ", " +
                                  std::to_string(e.alleles.size()) + " alleles";
        EXPECT_NEAR(*core.exactResults[0] - *core.exactResults[1], std::log(e.index), 1e-9)
            << label;
        EXPECT_NEAR(*core.merlinResults[0] - *core.merlinResults[1], std::log(e.index), 1e-9)
            << label;
    }
}

// Without a usable marker every LR would be 1: the calculation is refused with
// its cause, and no earlier value stays behind.
TEST(RunCalculation, aCaseWithoutUsableMarkerIsRefusedWithItsCause) {
    ProgramFolder program;
    struct Refused {
        std::function<void(Core&)> change;
        std::string message;
    };
    const std::vector<Refused> cases = {
        {[](Core& core) { core.persons[1].dna.clear(); },
         "NN2 is typed at no marker of the active population EUR"},
        {[](Core& core) { core.activePopulation = 0; },
         "There is no active population: choose one in Edit markers before calculating"},
        {[](Core& core) { core.populations[0].markers.clear(); },
         "No marker of the case is in the active population EUR"},
        {[](Core& core) {
             core.persons[0].dna = {{0, "B", 0, "7", "8"}};
             core.persons[1].dna = {{0, "A", 0, "10", "10"}};
         },
         "No marker of the active population EUR is typed for every person of the case"},
    };
    for (const Refused& r : cases) {
        Core core = duoCase(program.path);
        core.populations[0].name = "EUR";
        r.change(core);
        core.exactResults = {-1.0, -2.0};  // an earlier case's values
        core.merlinResults = {-1.0, -2.0};
        ScriptedUserInterface ui;
        ui.expectMessage(r.message, "Error");
        const CalculationOutcome outcome = runCalculation(core, ui, offerToSaveBeforeCalculation);
        ui.verify();
        EXPECT_EQ(outcome.status, CalculationStatus::NoUsableMarker) << r.message;
        EXPECT_EQ(outcome.refusal, r.message);
        EXPECT_TRUE(core.exactResults.empty());
        EXPECT_TRUE(core.merlinResults.empty());
    }
}

TEST(RunCalculation, skipsIncompleteMarkersWithOneNotification) {
    ProgramFolder program;
    Core core = duoCase(program.path);
    core.persons[1].dna.push_back({0, "C", 0, "1", "1"});  // C is not in the population
    ScriptedUserInterface ui;
    ui.expectMessage(kIncompleteDataMessage, "Notification");
    ui.expectMessage("Save project?", "Question", Answer::No);
    const CalculationOutcome outcome = runCalculation(core, ui, offerToSaveBeforeCalculation);
    EXPECT_EQ(outcome.status, CalculationStatus::Calculated);
    const std::string dat = program.temp("temp.dat");
    EXPECT_NE(dat.find("M A"), std::string::npos);
    EXPECT_EQ(dat.find("M B"), std::string::npos);
    EXPECT_EQ(core.markerSkipped, (std::vector<bool>{false, true}));
    ASSERT_EQ(core.exactResults.size(), 2u);
    // Father 10/11, child 10/10 at A with p(10) = 0.25: LR = (1/2 * 0.25) / 0.25^2 = 2.
    EXPECT_NEAR((*core.exactResults[0]) - (*core.exactResults[1]), std::log(2.0), 1e-9);
    if (program.hasEngine()) {
        EXPECT_TRUE(outcome.engineResultsAvailable);
        ASSERT_EQ(core.merlinResults.size(), 2u);
        EXPECT_NEAR((*core.merlinResults[0]) - (*core.merlinResults[1]), std::log(2.0), 1e-9);
    }
    // Typed alleles the population lacks are named, for the markers in use only.
    EXPECT_TRUE(newAlleleNotices(core).empty());  // B, with the new allele 9, is not used
    core.persons[0].dna.push_back({0, "B", 0, "7", "9"});
    core.persons[0].dna[0].allele2 = "12";
    ui.expectMessage("Save project?", "Question", Answer::No);
    ASSERT_EQ(runCalculation(core, ui, offerToSaveBeforeCalculation).status,
              CalculationStatus::Calculated);
    EXPECT_EQ(newAlleleNotices(core),
              (std::vector<std::string>{
                  "Allele 12 of A (NN1) is not in the population Unnamed: it gets the new-allele "
                  "frequency 0.01",
                  "Allele 9 of B (NN1) is not in the population Unnamed: it gets the new-allele "
                  "frequency 0.01"}));
}

TEST(RunCalculation, needsAnAlternativeAndStopsWhenTheSaveIsCancelled) {
    ProgramFolder program;
    Core core = duoCase(program.path);
    core.persons[0].dna.push_back({0, "B", 0, "8", "8"});
    core.alternativeHypotheses.clear();
    core.hypothesisPedigrees.resize(1);
    ScriptedUserInterface ui;
    ui.expectMessage("Please choose at least one alternative hypothesis", "Relatix2");
    EXPECT_EQ(runCalculation(core, ui, offerToSaveBeforeCalculation).status,
              CalculationStatus::NoAlternatives);

    core = duoCase(program.path);
    core.persons[0].dna.push_back({0, "B", 0, "8", "8"});
    core.exactResults = {-1.5};
    ui.expectMessage("Save project?", "Question", Answer::Cancel);
    EXPECT_EQ(runCalculation(core, ui, offerToSaveBeforeCalculation).status,
              CalculationStatus::Cancelled);
    ui.expectMessage("Save project?", "Question", Answer::Yes);
    ui.expectSaveFileCancelled();
    EXPECT_EQ(runCalculation(core, ui, offerToSaveBeforeCalculation).status,
              CalculationStatus::Cancelled);
    EXPECT_EQ(ui.fileRequests.at(0).initialFileName, "New Project_Relatix.sav");
    EXPECT_FALSE(fs::exists(fs::path(program.path) / "temp" / "temp.dat"));
    EXPECT_EQ(core.exactResults, LogLikelihoods{-1.5});  // the previous results stay
}

TEST(RunCalculation, yesSavesToTheChosenFileAndRemembersIt) {
    ProgramFolder program;
    Core core = duoCase(program.path);
    core.persons[0].dna.push_back({0, "B", 0, "8", "8"});
    ScriptedUserInterface ui;
    const std::string path = program.folder.file("duo.sav");
    ui.expectMessage("Save project?", "Question", Answer::Yes);
    ui.expectSaveFile(path);
    EXPECT_EQ(runCalculation(core, ui, offerToSaveBeforeCalculation).status,
              CalculationStatus::Calculated);
    EXPECT_TRUE(core.savedToPath);
    EXPECT_EQ(core.projectPath, path);
    EXPECT_TRUE(fs::exists(path));
}

struct ResultsFixture : ::testing::Test {
    ProgramFolder program;
    ScriptedUserInterface ui;
    Core core = duoCase(program.path);
    ResultsPresenter results{ui};
    ResultsFixture() { results.setBeforeCalculation(offerToSaveBeforeCalculation); }

    void calculate(int referenceRow) {
        core.persons[0].dna.push_back({0, "B", 0, "8", "8"});
        core.initialisePriors();
        results.attach(core);
        results.setScalingHypothesis(referenceRow);
        ui.expectMessage("Save project?", "Question", Answer::No);
        results.calculate();
    }
};

TEST_F(ResultsFixture, beforeCalculateRowsAreLabelsAndScaleDoesNothing) {
    results.attach(core);
    EXPECT_EQ(results.rows(), (std::vector<std::string>{"Paternity (duo)", "Unrelated"}));
    results.selectRow(2);
    results.scale();
    EXPECT_EQ(results.referenceRow(), 1);
    EXPECT_EQ(core.referenceHypothesis, 1);
}

// A refused calculation shows its cause and leaves no earlier values in view.
TEST_F(ResultsFixture, aRefusedCalculationShowsNoValues) {
    calculate(1);
    ASSERT_NE(results.rows()[0], "Paternity (duo)");  // values are shown
    core.persons[1].dna.clear();
    ui.expectMessage("NN2 is typed at no marker of the active population Unnamed", "Error");
    results.calculate();
    ui.verify();
    EXPECT_EQ(results.rows(), (std::vector<std::string>{"Paternity (duo)", "Unrelated"}));
}

TEST_F(ResultsFixture, rowsShowRatiosAgainstTheReferenceRow) {
    if (!program.hasEngine()) FAIL() << "merlinEngine is not built";
    core.markerMap.markers.emplace_back("EXTRA", 5, 10.0);  // no population holds it
    calculate(2);
    // The case's marker C has no frequencies either; the child's allele 9 of B is new.
    EXPECT_EQ(results.unusedMarkersText(),
              "C: not in the active population\nEXTRA: not in the active population\n"
              "Allele 9 of B (NN2) is not in the population Unnamed: it gets the new-allele "
              "frequency 0.01\n");
    ASSERT_TRUE(results.calculated());
    EXPECT_EQ(results.selectedRow(), 1);
    const std::string first = results.rows()[0];
    EXPECT_EQ(first.rfind("Paternity (duo)\nLR (Exact): ", 0), 0u);
    EXPECT_NE(first.find("\nLR (Unlinked): "), std::string::npos);
    EXPECT_NE(first.find("\nLR (Merlin): "), std::string::npos);
    EXPECT_EQ(results.rows()[1], "Unrelated\nScale");
    // Scale on the reference row changes nothing; on row 1 it moves the reference.
    results.selectRow(2);
    results.scale();
    EXPECT_EQ(results.referenceRow(), 2);
    results.selectRow(1);
    results.scale();
    EXPECT_EQ(results.referenceRow(), 1);
    EXPECT_EQ(core.referenceHypothesis, 0);
    EXPECT_EQ(results.rows()[0], "Paternity (duo)\nScale");
    EXPECT_EQ(core.unlinkedRatios.size(), 2u);
}

TEST_F(ResultsFixture, posteriorsCutTheFirstRowAfterTheThirdDecimal) {
    calculate(2);
    results.toggleRatiosAndPosteriors();
    EXPECT_FALSE(results.showRatios());
    // Priors 1/2 each; the exact ratio of row 1 against row 2 is r, the posterior r / (r + 1).
    const double r = std::exp((*core.exactResults[0]) - (*core.exactResults[1]));
    const double w = r / (r + 1);
    char expected[32];
    std::snprintf(expected, sizeof expected, "%.4f", w);
    std::string cut = expected;
    cut.pop_back();
    EXPECT_EQ(results.rows()[0].rfind("Paternity (duo)\nW (Exact): " + cut + "\n", 0), 0u)
        << results.rows()[0];
    char other[32];
    std::snprintf(other, sizeof other, "%g", 1 - w);
    EXPECT_EQ(results.rows()[1].rfind(std::string("Unrelated\nW (Exact): ") + other, 0), 0u)
        << results.rows()[1];
}

TEST_F(ResultsFixture, missingEngineShowsNa) {
    fs::remove(fs::path(program.path) / "merlinEngine");
    core.persons[0].dna.push_back({0, "B", 0, "8", "8"});
    core.initialisePriors();
    results.attach(core);
    results.setScalingHypothesis(2);
    ui.expectMessage("Save project?", "Question", Answer::No);
    ui.expectMessage(
        "The linkage program failed: the program " + program.path + "/merlinEngine is missing",
        "Error");
    results.calculate();
    EXPECT_FALSE(results.engineResultsAvailable());
    EXPECT_NE(results.rows()[0].find("\nLR (Unlinked): NA\nLR (Merlin): NA"), std::string::npos);
}

// The bundled example: the exact engine and the linkage engine agree without
// mutation, and on a map with every marker on its own chromosome the linked
// values equal the unlinked ones.
TEST(BundledExample, enginesAgreeWithoutMutationAndUnlinkedWithoutLinkage) {
    ProgramFolder program;
    if (!program.hasEngine()) FAIL() << "merlinEngine is not built";
    SilentUserInterface ui;
    Core core(program.path);
    ASSERT_TRUE(openProject(
        core, std::string(RELATIX_SOURCE_DIR) + "/examples/half_siblings_linked.sav", ui));
    ASSERT_EQ(core.hypothesisCount(), 4);
    for (Marker& m : core.markerMap.markers) m.maleMutation.rate = m.femaleMutation.rate = 0;
    CalculationOutcome outcome = runCalculation(core, ui, offerToSaveBeforeCalculation);
    ASSERT_EQ(outcome.status, CalculationStatus::Calculated);
    ASSERT_TRUE(outcome.engineResultsAvailable);
    const std::vector<int> codes = {4, 13, 17, 5};
    for (int h = 0; h < 4; ++h) {
        if (!codeComputable(codes[static_cast<size_t>(h)])) continue;
        EXPECT_NEAR((*core.exactResults[static_cast<size_t>(h)]),
                    (*core.merlinResults[static_cast<size_t>(h)]),
                    1e-6 * std::fabs((*core.merlinResults[static_cast<size_t>(h)])))
            << "hypothesis " << h + 1;
    }
    // Half siblings, uncle and grandparent cannot be told apart by unlinked markers.
    EXPECT_NEAR((*core.unlinkedResults[0]), (*core.unlinkedResults[1]), 1e-6);
    EXPECT_NEAR((*core.unlinkedResults[0]), (*core.unlinkedResults[2]), 1e-6);

    int chromosome = 1;
    for (Marker& m : core.markerMap.markers) m.chromosome = chromosome++;
    outcome = runCalculation(core, ui, offerToSaveBeforeCalculation);
    ASSERT_TRUE(outcome.engineResultsAvailable);
    for (int h = 0; h < 4; ++h)
        EXPECT_NEAR((*core.unlinkedResults[static_cast<size_t>(h)]),
                    (*core.merlinResults[static_cast<size_t>(h)]), 1e-6)
            << "hypothesis " << h + 1;
}

// "Turn off mutations" does what it says: the exact engine then gives what the
// same case gives with every mutation rate 0.
TEST(BundledExample, mutationsTurnedOffEqualRatesOfZero) {
    ProgramFolder program;
    SilentUserInterface ui;
    const std::string example =
        std::string(RELATIX_SOURCE_DIR) + "/examples/half_siblings_linked.sav";
    Core zeroRates(program.path), switchedOff(program.path);
    ASSERT_TRUE(openProject(zeroRates, example, ui));
    ASSERT_TRUE(openProject(switchedOff, example, ui));
    for (Marker& m : zeroRates.markerMap.markers)
        m.maleMutation.rate = m.femaleMutation.rate = m.maleMutation.rate2 =
            m.femaleMutation.rate2 = 0;
    switchedOff.mutationsOff = true;
    ASSERT_EQ(runCalculation(zeroRates, ui, offerToSaveBeforeCalculation).status,
              CalculationStatus::Calculated);
    ASSERT_EQ(runCalculation(switchedOff, ui, offerToSaveBeforeCalculation).status,
              CalculationStatus::Calculated);
    Core withMutation(program.path);
    ASSERT_TRUE(openProject(withMutation, example, ui));
    ASSERT_EQ(runCalculation(withMutation, ui, offerToSaveBeforeCalculation).status,
              CalculationStatus::Calculated);
    ASSERT_EQ(switchedOff.exactResults.size(), zeroRates.exactResults.size());
    bool differsFromMutation = false;
    for (size_t h = 0; h < zeroRates.exactResults.size(); ++h) {
        if (!zeroRates.exactResults[h]) continue;
        ASSERT_TRUE(switchedOff.exactResults[h]) << h;
        const double expected = *zeroRates.exactResults[h];
        EXPECT_NEAR(*switchedOff.exactResults[h], expected, 1e-12 * std::fabs(expected)) << h;
        differsFromMutation = differsFromMutation || *withMutation.exactResults[h] != expected;
    }
    EXPECT_TRUE(differsFromMutation);  // the case does carry mutation rates
}

TEST(RunCalculation, aFailingEngineGivesItsMessageAndNoLinkedValues) {
    // Exits 1 after a complete-looking output: the output must not be used.
    ProgramFolder program(
        "#!/bin/sh\nprintf 'Family 1\\n lnLikelihood = -3.5\\nFamily 2\\n lnLikelihood = -4\\n'\n"
        "echo 'cannot read the map' >&2\nexit 1\n");
    Core core = duoCase(program.path);
    core.merlinResults = {-1.0, -2.0};  // an earlier case's values
    ScriptedUserInterface ui;
    ui.expectMessage(kIncompleteDataMessage, "Notification");
    ui.expectMessage("Save project?", "Question", Answer::No);
    ui.expectMessage("The linkage program failed: cannot read the map", "Error");
    const CalculationOutcome outcome = runCalculation(core, ui, offerToSaveBeforeCalculation);
    EXPECT_EQ(outcome.status, CalculationStatus::Calculated);
    EXPECT_FALSE(outcome.engineResultsAvailable);
    EXPECT_EQ(outcome.engineMessage, "The linkage program failed: cannot read the map");
    ASSERT_EQ(core.merlinResults.size(), 2u);
    for (const LogLikelihood& value : core.merlinResults) {
        EXPECT_FALSE(value);
        EXPECT_EQ(value.reason(), outcome.engineMessage);
    }
    ASSERT_EQ(core.exactResults.size(), 2u);  // the exact engine still answers
}

TEST(RunCalculation, aCutOrKilledEngineOutputGivesNoLinkedValues) {
    // Exit 0, but the last number is cut ("-24" may have been "-241.5"); then an
    // engine killed after half its output.
    const std::pair<std::string, std::string> engines[] = {
        {"#!/bin/sh\nprintf 'Family 1\\nlnLikelihood = -3.5\\nFamily 2\\nlnLikelihood = -24'\n",
         "The linkage program gave no complete result: the linkage program's output is cut in "
         "the value of family 2"},
        {"#!/bin/sh\nprintf 'Family 1\\nlnLikelihood = -3.5\\n'\nkill -9 $$\n",
         "The linkage program failed: it could not be started or was stopped"}};
    for (const auto& [script, message] : engines) {
        ProgramFolder program(script);
        Core core = duoCase(program.path);
        core.merlinResults = {-1.0, -2.0};  // an earlier case's values
        ScriptedUserInterface ui;
        ui.expectMessage(kIncompleteDataMessage, "Notification");
        ui.expectMessage("Save project?", "Question", Answer::No);
        ui.expectMessage(message, "Error");
        const CalculationOutcome outcome = runCalculation(core, ui, offerToSaveBeforeCalculation);
        EXPECT_FALSE(outcome.engineResultsAvailable) << script;
        EXPECT_EQ(outcome.engineMessage, message);
        ASSERT_EQ(core.merlinResults.size(), 2u);
        EXPECT_FALSE(core.merlinResults[0]) << script;
        EXPECT_FALSE(core.merlinResults[1]) << script;
        EXPECT_FALSE(core.unlinkedResults[0]) << script;
    }
}

// Cancel in the progress window ends an engine that would never end.
TEST(RunCalculation, cancelEndsAHungEngineAndLeavesNoLinkedValues) {
    ProgramFolder program("#!/bin/sh\nexec sleep 600\n");
    Core core = duoCase(program.path);
    ScriptedUserInterface ui;
    ui.cancelAfterSteps = 0;  // Cancel pressed as soon as the window shows
    ui.expectMessage(kIncompleteDataMessage, "Notification");
    ui.expectMessage("Save project?", "Question", Answer::No);
    ui.expectMessage("The linkage program was stopped before it ended", "Error");
    const CalculationOutcome outcome = runCalculation(core, ui, offerToSaveBeforeCalculation);
    EXPECT_EQ(outcome.status, CalculationStatus::Calculated);
    EXPECT_FALSE(outcome.engineResultsAvailable);
    ASSERT_EQ(core.merlinResults.size(), 2u);
    EXPECT_FALSE(core.merlinResults[0]);
    EXPECT_EQ(core.merlinResults[0].reason(), "The linkage program was stopped before it ended");
    EXPECT_TRUE(core.exactResults[0]);
}

TEST(RunCalculation, aFullDiskGivesAClearErrorAndNeverAnEarlierCasesValues) {
    ProgramFolder program;
    ASSERT_TRUE(program.hasEngine());
    Core core = duoCase(program.path);
    core.merlinResults = {-1.0, -2.0};  // an earlier case's values
    core.unlinkedResults = {-1.0, -2.0};
    struct DiskFull {
        DiskFull() { simulateDiskFullAfter(40); }
        ~DiskFull() { simulateDiskFullAfter(std::nullopt); }
    } diskFull;
    SilentUserInterface ui;
    const CalculationOutcome outcome = runCalculation(core, ui, offerToSaveBeforeCalculation);
    EXPECT_EQ(outcome.status, CalculationStatus::Calculated);
    EXPECT_FALSE(outcome.engineResultsAvailable);
    EXPECT_EQ(outcome.engineMessage.rfind(
                  "The files for the linkage program could not be written in " + program.path, 0),
              0u)
        << outcome.engineMessage;
    ASSERT_EQ(core.merlinResults.size(), 2u);
    for (size_t h = 0; h < 2; ++h) {
        EXPECT_FALSE(core.merlinResults[h]) << h;
        EXPECT_FALSE(core.unlinkedResults[h]) << h;
        EXPECT_TRUE(core.exactResults[h]) << h;  // the exact engine needs no files
    }
}

TEST(RunCalculation, concurrentRunsInOneProgramFolderNeverSwapResults) {
    ProgramFolder program;
    ASSERT_TRUE(program.hasEngine());
    // Two cases that differ in one allele of the child give different values.
    auto calculate = [&](const std::string& childAllele) {
        Core core = duoCase(program.path);
        core.persons[1].dna[0].allele2 = childAllele;
        SilentUserInterface ui;
        EXPECT_EQ(runCalculation(core, ui, offerToSaveBeforeCalculation).status,
                  CalculationStatus::Calculated);
        return core.merlinResults;
    };
    const LogLikelihoods aloneA = calculate("10"), aloneB = calculate("11");
    ASSERT_NE(aloneA, aloneB);
    for (int round = 0; round < 5; ++round) {
        LogLikelihoods a, b;
        std::thread first([&] { a = calculate("10"); });
        std::thread second([&] { b = calculate("11"); });
        first.join();
        second.join();
        EXPECT_EQ(a, aloneA);
        EXPECT_EQ(b, aloneB);
    }
}

}  // namespace
}  // namespace relatix
