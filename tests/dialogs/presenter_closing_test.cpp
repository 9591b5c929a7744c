// Every modal presenter of the application, driven the way a window drives it:
// the window only sees the ModalPresenter base and ends its loop when the base
// says closed(), returning the base's result(). A presenter that records its
// closing anywhere else would leave such a window open for ever.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "dialogs/add_dna_data_presenter.h"
#include "dialogs/add_persons_presenter.h"
#include "dialogs/edit_allele_system_presenter.h"
#include "dialogs/edit_markers_presenter.h"
#include "dialogs/edit_pedigree_presenter.h"
#include "dialogs/full_image_presenter.h"
#include "dialogs/new_allele_presenter.h"
#include "dialogs/populations_presenter.h"
#include "dialogs/results_presenter.h"
#include "dialogs/select_alternative_hypotheses_presenter.h"
#include "dialogs/select_basic_hypothesis_presenter.h"
#include "dialogs/set_prior_presenter.h"
#include "dialogs/simulate_data_presenter.h"
#include "dialogs/simulation_results_presenter.h"
#include "support/scripted_user_interface.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

using testing::ScriptedUserInterface;
using testing::TempFolder;

// What a window loop reads: the base class only.
void expectBaseClosedWith(const ModalPresenter& dialog, DialogResult expected,
                          const std::string& command) {
    SCOPED_TRACE(dialog.title() + ": " + command);
    EXPECT_TRUE(dialog.closed());
    EXPECT_EQ(dialog.result(), expected);
}

void expectOpen(const ModalPresenter& dialog) {
    EXPECT_FALSE(dialog.closed()) << dialog.title();
}

struct PresenterClosingFixture : ::testing::Test {
    ScriptedUserInterface ui;
    TempFolder program{"relatix_closing"};
    Core core{program.path().string()};

    void SetUp() override {
        core.markerMap.markers = {Marker("D1", 1, 10.0)};
        Population population;
        population.name = "Pop";
        Marker marker("D1", 1, 10.0);
        marker.alleles = {{"10", 0.5}, {"11", 0.5}};
        population.markers.push_back(marker);
        core.populations = {population};
        core.activePopulation = 1;
    }

    // Runs each closing command on a freshly opened long-lived dialog.
    template <typename Dialog>
    void expectEachCommand(Dialog& dialog,
                           const std::vector<std::pair<std::string, DialogResult>>& commands,
                           const std::function<void(Dialog&, const std::string&)>& run) {
        for (const auto& [command, expected] : commands) {
            dialog.reopen();
            dialog.attach(core);
            expectOpen(dialog);
            run(dialog, command);
            expectBaseClosedWith(dialog, expected, command);
        }
    }
};

TEST_F(PresenterClosingFixture, caseWizardDialogsCloseThroughTheBase) {
    SelectBasicHypothesisPresenter basic{ui};
    expectEachCommand<SelectBasicHypothesisPresenter>(
        basic,
        {{"next", DialogResult::Next},
         {"activateRow", DialogResult::Next},
         {"close", DialogResult::Closed}},
        [](SelectBasicHypothesisPresenter& dialog, const std::string& command) {
            dialog.selectRow(22);
            if (command == "next") dialog.next();
            if (command == "activateRow") dialog.activateRow(22);
            if (command == "close") dialog.close();
        });
    ASSERT_EQ(core.mainHypothesis, 22);

    SelectAlternativeHypothesesPresenter alternatives{ui};
    expectEachCommand<SelectAlternativeHypothesesPresenter>(
        alternatives,
        {{"next", DialogResult::Next},
         {"activateRow", DialogResult::Next},
         {"previous", DialogResult::Back},
         {"close", DialogResult::Closed}},
        [](SelectAlternativeHypothesesPresenter& dialog, const std::string& command) {
            dialog.setSelectedRows({0});
            if (command == "next") dialog.next();
            if (command == "activateRow") dialog.activateRow(0);
            if (command == "previous") dialog.previous();
            if (command == "close") dialog.close();
        });

    AddDnaDataPresenter dna{ui};
    expectEachCommand<AddDnaDataPresenter>(
        dna,
        {{"next", DialogResult::Next},
         {"previous", DialogResult::Back},
         {"close", DialogResult::Closed}},
        [](AddDnaDataPresenter& dialog, const std::string& command) {
            if (command == "next") dialog.next();
            if (command == "previous") dialog.previous();
            if (command == "close") dialog.close();
        });

    ResultsPresenter results{ui};
    expectEachCommand<ResultsPresenter>(
        results, {{"previous", DialogResult::Back}, {"close", DialogResult::Closed}},
        [](ResultsPresenter& dialog, const std::string& command) {
            if (command == "previous") dialog.previous();
            if (command == "close") dialog.close();
        });
}

TEST_F(PresenterClosingFixture, oneCommandDialogsCloseThroughTheBase) {
    {
        AddPersonsPresenter dialog(core, ui);
        dialog.close();
        expectBaseClosedWith(dialog, DialogResult::Closed, "close");
    }
    {
        EditMarkersPresenter dialog(core, ui);
        dialog.close();
        expectBaseClosedWith(dialog, DialogResult::Closed, "close");
    }
    {
        EditAlleleSystemPresenter dialog(core, ui, 1);
        dialog.dismiss();
        expectBaseClosedWith(dialog, DialogResult::Cancel, "dismiss");
    }
    {
        EditAlleleSystemPresenter dialog(core, ui, 1);
        dialog.setGeneticPosition("12.5");
        dialog.close();
        expectBaseClosedWith(dialog, DialogResult::Closed, "close");
    }
    {
        core.createdPedigrees.resize(1);
        EditPedigreePresenter dialog(core, ui, 1);
        dialog.close();
        expectBaseClosedWith(dialog, DialogResult::Closed, "close");
    }
    {
        FullImagePresenter dialog(core, {1});
        dialog.close();
        expectBaseClosedWith(dialog, DialogResult::Closed, "close");
    }
    {
        NewAllelePresenter dialog(ui, nullptr, "D1", "12");
        dialog.cancel();
        expectBaseClosedWith(dialog, DialogResult::Cancel, "cancel");
    }
    {
        NewAllelePresenter dialog(ui, nullptr, "D1", "12");
        dialog.selectModel(1);
        dialog.setFrequency("0.01");
        dialog.add();
        expectBaseClosedWith(dialog, DialogResult::Ok, "add");
    }
    {
        PopulationsPresenter dialog(core, ui);
        dialog.close();
        expectBaseClosedWith(dialog, DialogResult::Closed, "close");
    }
    {
        SetPriorPresenter dialog(core, ui, 1);
        dialog.close();
        expectBaseClosedWith(dialog, DialogResult::Closed, "close");
    }
    {
        SimulateDataPresenter dialog(core, ui);
        dialog.close();
        expectBaseClosedWith(dialog, DialogResult::Closed, "close");
    }
    {
        SimulationResultsPresenter dialog(core, ui);
        dialog.close();
        expectBaseClosedWith(dialog, DialogResult::Closed, "close");
    }
}

}  // namespace
}  // namespace relatix
