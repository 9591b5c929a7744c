// The case wizard driven through the application with the real case dialogs:
// main hypothesis, alternatives, the persons' DNA, the results step and Calculate.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "app/application.h"
#include "app/install_case_dialogs.h"
#include "dialogs/add_dna_data_presenter.h"
#include "dialogs/add_persons_presenter.h"
#include "dialogs/edit_pedigree_presenter.h"
#include "dialogs/results_presenter.h"
#include "dialogs/select_alternative_hypotheses_presenter.h"
#include "dialogs/select_basic_hypothesis_presenter.h"
#include "dialogs/set_prior_presenter.h"
#include "support/scripted_user_interface.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

using testing::ScriptedUserInterface;

constexpr const char* kBasic = "Select basic hypothesis (Only one pedigree)";
constexpr const char* kAlternatives = "Select alternative hypotheses";
constexpr const char* kDna = "Add DNA data";

// A program folder of its own, with the built linkage engine linked into it.
std::string programFolderWithEngine(const testing::TempFolder& folder) {
    namespace fs = std::filesystem;
    const fs::path program = folder.path() / "prog";
    fs::create_directories(program / "temp");
    const fs::path engine = fs::path(RELATIX_PROGRAM_FOLDER) / "merlinEngine";
    if (fs::exists(engine)) fs::create_symlink(engine, program / "merlinEngine");
    return program.string();
}

struct WizardWalkFixture : ::testing::Test {
    testing::ScopedCurrentDirectory keep{std::filesystem::current_path()};
    testing::TempFolder folder{"wizard"};
    ScriptedUserInterface ui;
    Application app{ui, programFolderWithEngine(folder)};

    bool hasEngine() {
        return std::filesystem::exists(std::filesystem::path(app.core().programDirectory) /
                                       "merlinEngine");
    }

    void SetUp() override {
        installCaseDialogs(app);
        Core& core = app.core();
        core.markerMap.markers = {Marker("D1", 1, 10.0), Marker("D2", 1, 30.0)};
        Population population;
        for (const char* name : {"D1", "D2"}) {
            Marker marker(name, 1, 0.0);
            marker.alleles = {{"10", 0.25}, {"11", 0.25}, {"12", 0.5}};
            population.markers.push_back(marker);
        }
        core.populations.push_back(population);
        core.activePopulation = 1;
    }

    // Types the genotype (first, second) as allele list entries for every marker
    // of the chosen person.
    static void typeProfile(AddDnaDataPresenter& dialog, int person, int first, int second) {
        dialog.choosePerson(person);
        for (int marker = 1; marker <= 2; ++marker) {
            dialog.chooseMarker(marker);
            dialog.chooseAllele(1, first);
            dialog.chooseAllele(2, second);
        }
    }

    // The results step: checks what the case holds when it opens, then calculates.
    void expectResults(std::function<void(const Core&)> check,
                       std::function<void(const Core&, const ResultsPresenter&)> calculated) {
        ui.expectDialogOf<ResultsPresenter>("Results", [this, check, calculated](auto& dialog) {
            check(app.core());
            ui.expectMessage("Save project?", "Question", Answer::No);
            dialog.calculate();
            EXPECT_TRUE(dialog.calculated());
            calculated(app.core(), dialog);
            dialog.close();
            return dialog.result();
        });
    }
};

TEST_F(WizardWalkFixture, catalogueCaseWithBackAndForth) {
    ui.expectDialogOf<SelectBasicHypothesisPresenter>(kBasic, [](auto& dialog) {
        dialog.activateRow(22);  // "Paternity (trio)"
        return dialog.result();
    });
    ui.expectDialogOf<SelectAlternativeHypothesesPresenter>(kAlternatives, [](auto& dialog) {
        EXPECT_EQ(dialog.rows()[7].name, "Unrelated man (data mother)");
        dialog.setSelectedRows({7});
        dialog.next();
        return dialog.result();
    });
    ui.expectDialogOf<AddDnaDataPresenter>(kDna, [](auto& dialog) {
        typeProfile(dialog, 1, 1, 2);
        dialog.previous();
        return dialog.result();
    });
    ui.expectDialogOf<SelectAlternativeHypothesesPresenter>(kAlternatives, [](auto& dialog) {
        EXPECT_EQ(dialog.selectedRows(), (std::vector<int>{7}));
        dialog.next();
        return dialog.result();
    });
    ui.expectDialogOf<AddDnaDataPresenter>(kDna, [](auto& dialog) {
        EXPECT_EQ(dialog.personChoice(), 0);
        typeProfile(dialog, 2, 2, 3);
        typeProfile(dialog, 3, 1, 3);
        dialog.next();
        return dialog.result();
    });
    expectResults(
        [](const Core& core) {
            EXPECT_EQ(core.mainHypothesis, 22);
            EXPECT_EQ(core.alternativeHypotheses, (std::vector<int>{7}));
            ASSERT_EQ(core.hypothesisPedigrees.size(), 2u);
            EXPECT_EQ(core.hypothesisCount(), 2);
            EXPECT_EQ(core.priors, (std::vector<double>{0.5, 0.5}));
            EXPECT_EQ(core.referenceHypothesis, 1);
            EXPECT_EQ(core.genotypeTable.personCount, 3);
            EXPECT_EQ(core.genotypeTable.sexCodes, (std::vector<int>{1, 2, 1}));
            ASSERT_EQ(core.persons.size(), 3u);
            for (const Person& person : core.persons) ASSERT_EQ(person.dna.size(), 2u);
            EXPECT_EQ(core.persons[0].dna[1].allele1, "10");
            EXPECT_EQ(core.persons[1].dna[0].allele2, "12");
            EXPECT_EQ(core.persons[2].dna[1].allele2, "12");
        },
        [this](const Core& core, const ResultsPresenter& results) {
            ASSERT_EQ(core.exactResults.size(), 2u);
            EXPECT_LT((*core.exactResults[0]), 0.0);
            EXPECT_LT((*core.exactResults[1]), 0.0);
            // Ratios against the first alternative, the default reference.
            EXPECT_EQ(results.rows()[0].rfind("Paternity (trio)\nLR (Exact): ", 0), 0u);
            EXPECT_EQ(results.rows()[1], "Unrelated man (data mother)\nScale");
            ASSERT_TRUE(hasEngine()) << "merlinEngine is not built";
            EXPECT_TRUE(results.engineResultsAvailable());
            // Without mutation in the case, the exact and the linkage engine agree.
            for (size_t h = 0; h < 2; ++h)
                EXPECT_NEAR((*core.exactResults[h]), (*core.merlinResults[h]), 1e-6) << h;
        });
    app.runCommand(CommandId::NewWizard);
}

TEST_F(WizardWalkFixture, createdPedigreeCase) {
    ui.expectDialogOf<SelectBasicHypothesisPresenter>(kBasic, [](auto& dialog) {
        dialog.createEditPedigree();
        dialog.next();
        return dialog.result();
    });
    ui.expectMessage("Feature to create your own pedigrees is currently not fully implemented!",
                     "Notification");
    ui.expectDialogOf<EditPedigreePresenter>("Edit pedigree", [](auto& dialog) {
        dialog.setPedigreeName("Paternity: created");
        dialog.persons();
        for (int parent : {1, 2}) {
            dialog.chooseParent(parent);
            dialog.chooseChild(3);
            dialog.add();
        }
        dialog.close();
        return dialog.result();
    });
    ui.expectDialogOf<AddPersonsPresenter>("Add persons", [](auto& dialog) {
        for (const char* name : {"Father", "Mother", "Child"}) {
            dialog.setName(name);
            dialog.setMale(std::string(name) != "Mother");
            dialog.add();
        }
        dialog.close();
        return dialog.result();
    });
    ui.expectDialogOf<SelectAlternativeHypothesesPresenter>(kAlternatives, [](auto& dialog) {
        dialog.createEditPedigree();
        dialog.next();
        return dialog.result();
    });
    ui.expectDialogOf<EditPedigreePresenter>("Edit pedigree", [](auto& dialog) {
        EXPECT_EQ(dialog.pedigreeNumber(), 2);
        dialog.setPedigreeName("Unrelated father");
        dialog.chooseParent(2);
        dialog.chooseChild(3);
        dialog.add();
        dialog.close();
        return dialog.result();
    });
    ui.expectDialogOf<AddDnaDataPresenter>(kDna, [](auto& dialog) {
        EXPECT_EQ(dialog.hypothesisLabel(), "Basic hypothesis [Paternity: created]");
        EXPECT_EQ(dialog.personOptions(), (std::vector<std::string>{"Select person...", "1. Father",
                                                                    "2. Mother", "3. Child"}));
        typeProfile(dialog, 1, 1, 2);
        typeProfile(dialog, 2, 3, 3);
        typeProfile(dialog, 3, 1, 3);
        dialog.next();
        return dialog.result();
    });
    expectResults(
        [](const Core& core) {
            EXPECT_EQ(core.mainHypothesis, kCreatedPedigrees);
            EXPECT_EQ(core.hypothesisCount(), 2);
            EXPECT_EQ(core.priors, (std::vector<double>{0.5, 0.5}));
            ASSERT_EQ(core.createdPedigrees.size(), 2u);
            EXPECT_EQ(core.createdPedigrees[0].relations, (std::vector<Relation>{{1, 3}, {2, 3}}));
            EXPECT_EQ(core.createdPedigrees[1].relations, (std::vector<Relation>{{2, 3}}));
            const GenotypeTable& table = core.genotypeTable;
            ASSERT_EQ(table.pedigreePersons.size(), 3u);
            EXPECT_EQ(table.personCount, 3);
            EXPECT_EQ(table.personNames, (std::vector<std::string>{"Father", "Mother", "Child"}));
            EXPECT_EQ(table.sexCodes, (std::vector<int>{1, 2, 1}));
            EXPECT_EQ(table.pedigreePersons[1].dna.size(), 2u);
            EXPECT_EQ(table.pedigreePersons[1].dna[0].allele1, "12");
            EXPECT_EQ(table.pedigreePersons[2].dna[1].allele2, "12");
        },
        [this](const Core& core, const ResultsPresenter& results) {
            EXPECT_TRUE(core.exactResults.empty());  // no exact engine for drawn pedigrees
            EXPECT_EQ(results.rows()[1], "Unrelated father\nScale");
            ASSERT_TRUE(hasEngine()) << "merlinEngine is not built";
            ASSERT_TRUE(results.engineResultsAvailable());
            ASSERT_EQ(core.merlinResults.size(), 2u);
            // Father 10/11, mother 12/12, child 10/12 at two markers 20 cM apart
            // (p = 0.25, 0.25, 0.5): against an unrelated father the child's paternal
            // 10 has probability 1/2 from him instead of 0.25 from the population, at
            // both markers, linkage or not: LR = 2 * 2.
            EXPECT_NEAR((*core.merlinResults[0]) - (*core.merlinResults[1]), std::log(4.0), 1e-9);
            EXPECT_NEAR((*core.unlinkedResults[0]) - (*core.unlinkedResults[1]), std::log(4.0),
                        1e-9);
            EXPECT_EQ(results.rows()[0],
                      "Paternity: created\nLR (Exact): N/A\nLR (Unlinked): 4\nLR (Merlin): 4");
        });
    app.runCommand(CommandId::NewWizard);
}

TEST_F(WizardWalkFixture, resultsDialogOpensSetPriorOnItsSelectedRow) {
    app.core().selectMainHypothesis(2);
    app.core().alternativeHypotheses = {0};
    ui.expectDialogOf<ResultsPresenter>("Results", [](auto& dialog) {
        dialog.selectRow(2);
        dialog.setPrior();
        dialog.close();
        return DialogResult::Closed;
    });
    ui.expectDialogOf<SetPriorPresenter>("Set prior", [](auto& dialog) {
        EXPECT_EQ(dialog.hypothesisChoice(), 2);
        dialog.setPriorText("0.2");
        dialog.set();
        dialog.close();
        return dialog.result();
    });
    app.runCommand(CommandId::Results);
    EXPECT_EQ(app.core().priors, (std::vector<double>{0.5, 0.2}));
}

}  // namespace
}  // namespace relatix
