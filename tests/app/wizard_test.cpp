#include <gtest/gtest.h>

#include "app/application.h"
#include "dialogs/results_presenter.h"
#include "support/scripted_user_interface.h"

namespace relatix {
namespace {

using testing::ScriptedUserInterface;

constexpr const char* kPedigree = "Select basic hypothesis (Only one pedigree)";
constexpr const char* kHypotheses = "Select alternative hypotheses";
constexpr const char* kDna = "Add DNA data";
constexpr const char* kResults = "Results";

DialogResult answer(DialogResult result) {
    return result;
}

// The wizard's logic with stand-ins for the pedigree, hypothesis and DNA dialogs.
struct WizardFixture : ::testing::Test {
    ScriptedUserInterface ui;
    Application app{ui, "/prog"};

    WizardFixture() {
        app.attachPedigreeSelectionDialog(std::make_unique<StandInCaseDialog>(kPedigree));
        app.attachHypothesisSelectionDialog(std::make_unique<StandInCaseDialog>(kHypotheses));
        app.attachDnaEntryDialog(std::make_unique<StandInCaseDialog>(kDna));
    }

    void expectStep(const char* title, DialogResult result) {
        ui.expectDialog(title, [result](Presenter&) { return answer(result); });
    }
};

TEST_F(WizardFixture, nextWalksThroughEveryStepAndCloseEndsTheChain) {
    app.core().selectMainHypothesis(2);
    expectStep(kPedigree, DialogResult::Next);
    expectStep(kHypotheses, DialogResult::Next);
    expectStep(kDna, DialogResult::Next);
    expectStep(kResults, DialogResult::Closed);
    EXPECT_TRUE(app.runCommand(CommandId::NewWizard));
}

TEST_F(WizardFixture, backReturnsToThePreviousStep) {
    app.core().selectMainHypothesis(2);
    expectStep(kResults, DialogResult::Back);
    expectStep(kDna, DialogResult::Back);
    expectStep(kHypotheses, DialogResult::Back);
    expectStep(kPedigree, DialogResult::Closed);
    app.runCommand(CommandId::Results);
}

TEST_F(WizardFixture, backFromResultsInModeMinusTwoGoesToPedigreeSelection) {
    app.core().mainHypothesis = -2;
    expectStep(kResults, DialogResult::Back);
    expectStep(kPedigree, DialogResult::Cancel);
    app.runCommand(CommandId::Results);
}

TEST_F(WizardFixture, closeOrCancelOnAnyStepEndsTheChain) {
    app.core().selectMainHypothesis(0);
    for (CommandId id : {CommandId::SelectPedigree, CommandId::SelectHypotheses,
                         CommandId::EnterDnaData, CommandId::Results}) {
        const char* title = id == CommandId::SelectPedigree     ? kPedigree
                            : id == CommandId::SelectHypotheses ? kHypotheses
                            : id == CommandId::EnterDnaData     ? kDna
                                                                : kResults;
        expectStep(title, DialogResult::Closed);
        app.runCommand(id);
        expectStep(title, DialogResult::Cancel);
        app.runCommand(id);
    }
}

TEST_F(WizardFixture, backFromPedigreeSelectionEndsTheChain) {
    expectStep(kPedigree, DialogResult::Back);
    app.runCommand(CommandId::SelectPedigree);
}

TEST_F(WizardFixture, caseDialogsNeedAMainHypothesis) {
    for (CommandId id :
         {CommandId::SelectHypotheses, CommandId::EnterDnaData, CommandId::Results}) {
        ui.expectMessage("First select a main hypothesis", "Relatix2");
        app.runCommand(id);
    }
    // Next from the pedigree selection without a choice stops at the same check.
    expectStep(kPedigree, DialogResult::Next);
    ui.expectMessage("First select a main hypothesis", "Relatix2");
    app.runCommand(CommandId::NewWizard);
}

TEST_F(WizardFixture, dnaEntrySetsTheTitleAndResultsGetPriorsAndTheScalingHypothesis) {
    Core& core = app.core();
    core.selectMainHypothesis(2);
    core.alternativeHypotheses = {0, 1};
    core.referenceHypothesis = 2;
    core.setProjectName("case7");
    expectStep(kDna, DialogResult::Next);
    ui.expectDialog(kResults, [&](Presenter& p) {
        auto& dialog = dynamic_cast<ResultsPresenter&>(p);
        EXPECT_EQ(dialog.referenceRow(), 3);
        EXPECT_FALSE(dialog.calculated());
        EXPECT_EQ(dialog.rows(),
                  (std::vector<std::string>{"Full Siblings", "Half Siblings", "Unrelated"}));
        EXPECT_EQ(core.priors.size(), 3u);
        return DialogResult::Closed;
    });
    app.runCommand(CommandId::EnterDnaData);
    EXPECT_EQ(app.windowTitle(), "Relatix2 - case7");
    EXPECT_EQ(ui.windowTitles.back(), "Relatix2 - case7");
}

TEST_F(WizardFixture, stepsSeeTheCurrentCoreAfterItIsReplaced) {
    auto fresh = std::make_unique<Core>("/prog");
    Core* expected = fresh.get();
    app.replaceCore(std::move(fresh));
    ui.expectDialog(kPedigree, [&](Presenter& p) {
        EXPECT_EQ(dynamic_cast<StandInCaseDialog&>(p).attachedCore(), expected);
        return DialogResult::Closed;
    });
    app.runCommand(CommandId::SelectPedigree);
}

}  // namespace
}  // namespace relatix
