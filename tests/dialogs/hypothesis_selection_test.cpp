#include <gtest/gtest.h>

#include "core/catalogue.h"
#include "dialogs/edit_pedigree_presenter.h"
#include "dialogs/full_image_presenter.h"
#include "dialogs/select_alternative_hypotheses_presenter.h"
#include "dialogs/select_basic_hypothesis_presenter.h"
#include "dialogs/set_prior_presenter.h"
#include "support/scripted_user_interface.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

using testing::ScriptedUserInterface;
using testing::TempFolder;

constexpr const char* kCreateNotice =
    "Feature to create your own pedigrees is currently not fully implemented!";

struct SelectionFixture : ::testing::Test {
    ScriptedUserInterface ui;
    TempFolder program{"relatix_selection"};
    Core core{program.path().string()};
    SelectBasicHypothesisPresenter basic{ui};
    SelectAlternativeHypothesesPresenter alternatives{ui};

    // Lets "Edit pedigree" open and close without changes.
    void expectPedigreeEditor(int pedigree) {
        ui.expectDialogOf<EditPedigreePresenter>("Edit pedigree",
                                                 [pedigree](EditPedigreePresenter& dialog) {
                                                     EXPECT_EQ(dialog.pedigreeNumber(), pedigree);
                                                     dialog.close();
                                                     return dialog.result();
                                                 });
    }
};

TEST_F(SelectionFixture, choosingTrioReplacesThePersons) {
    core.persons = {Person("Old", true)};
    core.persons[0].name = "Old";
    core.priors = {0.5, 0.5};
    core.referenceHypothesis = 0;
    basic.attach(core);
    ASSERT_EQ(basic.rows().size(), 26u);
    EXPECT_EQ(basic.rows()[22].name, "Paternity (trio)");
    EXPECT_EQ(basic.selectedRow(), -1);

    ui.expectMessage("Select a hypothesis before continuing", "Error");
    basic.next();
    EXPECT_FALSE(basic.closed());

    basic.selectRow(22);
    basic.next();
    EXPECT_TRUE(basic.closed());
    EXPECT_EQ(basic.result(), DialogResult::Next);
    EXPECT_EQ(core.mainHypothesis, 22);
    EXPECT_EQ(core.referenceHypothesis, 1);
    EXPECT_TRUE(core.priors.empty());
    ASSERT_EQ(core.persons.size(), 3u);
    EXPECT_EQ(core.persons[0].name, "NN1");
    EXPECT_TRUE(core.persons[0].isMale);
    EXPECT_EQ(core.persons[1].name, "NN2");
    EXPECT_FALSE(core.persons[1].isMale);
    EXPECT_TRUE(core.persons[2].isMale);
    EXPECT_TRUE(core.persons[2].dna.empty());
    EXPECT_EQ(core.genotypeTable.personCount, 3);
    EXPECT_EQ(core.genotypeTable.sexCodes, (std::vector<int>{1, 2, 1}));
    ASSERT_EQ(core.hypothesisPedigrees.size(), 1u);
    EXPECT_EQ(core.hypothesisPedigrees[0].relations, catalogueRelationList(23));
    EXPECT_EQ(core.genotypeTable.pedigreePersons.size(), 9u);

    // Reopening selects the current choice; choosing it again changes nothing.
    core.persons[0].dna.push_back({0, "D1", 0, "12", "13"});
    basic.attach(core);
    EXPECT_EQ(basic.selectedRow(), 22);
    basic.close();
    EXPECT_EQ(core.persons[0].dna.size(), 1u);
}

TEST_F(SelectionFixture, typedProfilesAreNotReplacedUnasked) {
    core.selectMainHypothesis(2);
    core.persons = {Person("A", true), Person("B", true)};
    core.persons[1].dna.push_back({0, "D1", 0, "12", "13"});
    basic.attach(core);
    basic.selectRow(3);
    const std::string question =
        "Changing the basic hypothesis replaces the persons of the case and deletes their DNA "
        "data, continue?";
    ui.expectMessage(question, "Warning", Answer::No);
    basic.next();
    EXPECT_FALSE(basic.closed());
    EXPECT_EQ(basic.selectedRow(), 2);
    EXPECT_EQ(core.mainHypothesis, 2);
    EXPECT_EQ(core.persons[1].dna.size(), 1u);

    basic.selectRow(3);
    ui.expectMessage(question, "Warning", Answer::Yes);
    basic.next();
    EXPECT_EQ(core.mainHypothesis, 3);
    EXPECT_EQ(core.persons[1].name, "NN2");
}

TEST_F(SelectionFixture, closingWithoutAChoiceEmptiesTheTableNames) {
    core.selectMainHypothesis(0);
    core.genotypeTable.personNames = {"a", "b", "c"};
    basic.attach(core);
    basic.selectRow(-1);
    basic.close();
    EXPECT_EQ(basic.result(), DialogResult::Closed);
    EXPECT_TRUE(core.genotypeTable.personNames.empty());
    EXPECT_EQ(core.mainHypothesis, 0);
}

TEST_F(SelectionFixture, fullImageAndPictures) {
    std::filesystem::create_directories(program.path() / "Pictures");
    program.write("Pictures/ped4.png", "png");
    basic.attach(core);
    EXPECT_EQ(basic.rows()[3].picturePath, program.file("Pictures/ped4.png"));
    EXPECT_EQ(basic.rows()[4].picturePath, "");

    ui.expectMessage("Select pedigree first", "Notification");
    basic.displayFullImage();
    basic.selectRow(3);
    ui.expectDialogOf<FullImagePresenter>("Full image", [&](FullImagePresenter& dialog) {
        EXPECT_EQ(dialog.options(),
                  (std::vector<std::string>{"Selected pedigree...", "Half Siblings"}));
        EXPECT_EQ(dialog.selection(), 1);
        EXPECT_EQ(dialog.picturePath(), program.file("Pictures/ped4.png"));
        dialog.close();
        return dialog.result();
    });
    basic.displayFullImage();
    EXPECT_EQ(core.mainHypothesis, kNoHypothesis);

    FullImagePresenter missing(core, {5, 4});
    EXPECT_EQ(missing.picturePath(), "");
    missing.select(2);
    EXPECT_EQ(missing.picturePath(), program.file("Pictures/ped4.png"));
    missing.select(0);  // the prompt keeps the picture
    EXPECT_EQ(missing.picturePath(), program.file("Pictures/ped4.png"));
}

TEST_F(SelectionFixture, catalogueAlternatives) {
    core.selectMainHypothesis(2);  // Full Siblings: 4, 5, 7, 13, 15, 17, 24
    alternatives.attach(core);
    ASSERT_EQ(alternatives.rows().size(), 7u);
    EXPECT_EQ(alternatives.rows()[3].name, "Uncle");

    ui.expectMessage("Please select/create alternative hypotheses before continuing", "Error");
    alternatives.next();
    EXPECT_FALSE(alternatives.closed());
    EXPECT_TRUE(core.alternativeHypotheses.empty());
    EXPECT_EQ(core.hypothesisPedigrees.size(), 1u);

    alternatives.setSelectedRows({6, 3, 3, 9});
    alternatives.next();
    EXPECT_EQ(alternatives.result(), DialogResult::Next);
    EXPECT_EQ(core.alternativeHypotheses, (std::vector<int>{3, 6}));
    ASSERT_EQ(core.hypothesisPedigrees.size(), 3u);
    EXPECT_EQ(core.hypothesisPedigrees[1].relations, catalogueRelationList(13));
    EXPECT_EQ(core.hypothesisPedigrees[2].relations, catalogueRelationList(24));
    EXPECT_EQ(core.hypothesisCount(), 3);

    // Reopening shows the chosen rows; "<- Prev" with none clears them all the same.
    alternatives.attach(core);
    EXPECT_EQ(alternatives.selectedRows(), (std::vector<int>{3, 6}));
    alternatives.setSelectedRows({});
    alternatives.previous();
    EXPECT_EQ(alternatives.result(), DialogResult::Back);
    EXPECT_TRUE(core.alternativeHypotheses.empty());
    EXPECT_EQ(core.hypothesisPedigrees.size(), 1u);

    ui.expectMessage("Can only create/edit pedigree if the main hypothesis is also created",
                     "Notification");
    alternatives.createEditPedigree();
}

TEST_F(SelectionFixture, createdPedigreeMode) {
    basic.attach(core);
    ui.expectMessage(kCreateNotice, "Notification");
    expectPedigreeEditor(1);
    basic.createEditPedigree();
    EXPECT_EQ(core.mainHypothesis, kCreatedPedigrees);
    ASSERT_EQ(core.createdPedigrees.size(), 1u);
    EXPECT_EQ(core.createdPedigrees[0].name, "New pedigree");
    ASSERT_EQ(basic.rows().size(), 27u);
    EXPECT_EQ(basic.selectedRow(), 26);
    EXPECT_TRUE(basic.rows()[26].createdPedigree());
    ui.expectMessage("Cannot currently not view full image for created pedigrees", "Notification");
    basic.displayFullImage();
    basic.next();
    EXPECT_EQ(basic.result(), DialogResult::Next);
    EXPECT_EQ(core.mainHypothesis, kCreatedPedigrees);

    alternatives.attach(core);
    EXPECT_TRUE(alternatives.rows().empty());
    ui.expectMessage("Must create exactly one alternative hypothesis", "Error");
    ui.expectMessage("Please select/create alternative hypotheses before continuing", "Error");
    alternatives.next();
    expectPedigreeEditor(2);
    alternatives.createEditPedigree();
    ASSERT_EQ(core.createdPedigrees.size(), 2u);
    ASSERT_EQ(alternatives.rows().size(), 1u);
    EXPECT_EQ(alternatives.rows()[0].name, "New pedigree");
    alternatives.next();
    EXPECT_EQ(alternatives.result(), DialogResult::Next);

    core.createdPedigrees.emplace_back();
    alternatives.attach(core);
    ui.expectMessage("Must create exactly one alternative hypothesis", "Error");
    ui.expectMessage("Please select/create alternative hypotheses before continuing", "Error");
    alternatives.next();
    EXPECT_FALSE(alternatives.closed());
}

TEST_F(SelectionFixture, setPriorStoresNonZeroNumbers) {
    core.selectMainHypothesis(2);
    core.alternativeHypotheses = {3};
    core.initialisePriors();
    SetPriorPresenter dialog(core, ui, 2);
    EXPECT_EQ(dialog.title(), "Set prior");
    EXPECT_EQ(dialog.hypothesisOptions(),
              (std::vector<std::string>{"Select hypothesis...", "Full Siblings", "Uncle"}));
    EXPECT_EQ(dialog.hypothesisChoice(), 2);
    EXPECT_EQ(dialog.priorText(), "0.5000");
    for (const char* ignored : {"0", "abc", "0.0", "nan", "inf"}) {
        dialog.setPriorText(ignored);
        dialog.set();
        EXPECT_EQ(core.priors[1], 0.5) << ignored;
    }
    dialog.setPriorText("0.25");
    dialog.set();
    dialog.chooseHypothesis(1);
    EXPECT_EQ(dialog.priorText(), "0.5000");
    dialog.setPriorText("3");  // no range check
    dialog.set();
    EXPECT_EQ(core.priors, (std::vector<double>{3.0, 0.25}));
    dialog.chooseHypothesis(0);
    dialog.setPriorText("0.1");
    dialog.set();
    EXPECT_EQ(core.priors, (std::vector<double>{3.0, 0.25}));

    SetPriorPresenter none(core, ui, 9);
    EXPECT_EQ(none.hypothesisChoice(), 0);
    EXPECT_EQ(none.priorText(), "");

    core.mainHypothesis = kCreatedPedigrees;
    core.createdPedigrees.resize(2);
    core.createdPedigrees[0].name = "Father";
    SetPriorPresenter created(core, ui, 1);
    EXPECT_EQ(created.hypothesisOptions()[1], "Father");
}

}  // namespace
}  // namespace relatix
