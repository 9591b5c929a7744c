#include <gtest/gtest.h>

#include "dialogs/add_persons_presenter.h"
#include "dialogs/edit_pedigree_presenter.h"
#include "support/scripted_user_interface.h"

namespace relatix {
namespace {

using testing::ScriptedUserInterface;

// Pedigree persons Anna (female), Bob (male), Carl (male), Dora (female) and
// two created pedigrees without relations.
struct PedigreeEditorFixture : ::testing::Test {
    ScriptedUserInterface ui;
    Core core;

    void SetUp() override {
        core.genotypeTable.pedigreePersons = {Person("Anna", false), Person("Bob", true),
                                              Person("Carl", true), Person("Dora", false)};
        core.createdPedigrees.resize(2);
        core.createdPedigrees[0].name = "New pedigree";
        core.mainHypothesis = kCreatedPedigrees;
    }

    void addRelation(EditPedigreePresenter& dialog, int parent, int child) {
        dialog.chooseParent(parent);
        dialog.chooseChild(child);
        dialog.add();
    }
    const std::vector<Relation>& relations(int pedigree) {
        return core.createdPedigrees[static_cast<size_t>(pedigree - 1)].relations;
    }
};

TEST_F(PedigreeEditorFixture, relationChecks) {
    EditPedigreePresenter dialog(core, ui, 1);
    EXPECT_EQ(dialog.parentOptions(),
              (std::vector<std::string>{"Select parent...", "Anna", "Bob", "Carl", "Dora"}));
    EXPECT_EQ(dialog.childOptions().front(), "Select child...");

    addRelation(dialog, 1, 2);  // Anna, Bob
    ui.expectMessage("Relation already exists", "Error");
    addRelation(dialog, 1, 2);
    ui.expectMessage("Relation already exists between persons", "Error");
    addRelation(dialog, 2, 1);
    ui.expectMessage("Child cannot be its own parent!", "Error");
    addRelation(dialog, 3, 3);
    ui.expectMessage("Child cannot be its own parent!", "Error");
    addRelation(dialog, 0, 0);
    ui.expectMessage("Select both a parent and a child before adding a relation", "Error");
    addRelation(dialog, 0, 3);
    EXPECT_EQ(relations(1), (std::vector<Relation>{{1, 2}}));

    // Carl's mother Anna: a second female parent is refused, a male one accepted,
    // a third parent refused.
    addRelation(dialog, 1, 3);
    ui.expectMessage("The child already has a parent with that gender", "Error");
    addRelation(dialog, 4, 3);
    addRelation(dialog, 2, 3);
    // Two mothers stored without the checks (as an old file might hold them).
    core.createdPedigrees[1].relations = {{1, 3}, {4, 3}};
    EditPedigreePresenter second(core, ui, 2);
    ui.expectMessage("The child already has two parents, cannot have three", "Error");
    addRelation(second, 2, 3);
    EXPECT_EQ(relations(2).size(), 2u);
    ASSERT_EQ(dialog.relationRows().size(), 3u);
    EXPECT_EQ(dialog.relationRows()[2].parent, "Bob");
    EXPECT_EQ(dialog.relationRows()[2].child, "Carl");
}

TEST_F(PedigreeEditorFixture, editRemoveAndRename) {
    EditPedigreePresenter dialog(core, ui, 1);
    addRelation(dialog, 1, 3);
    addRelation(dialog, 2, 3);
    dialog.selectRelation(0);
    dialog.edit();
    EXPECT_EQ(dialog.parentChoice(), 1);
    EXPECT_EQ(dialog.childChoice(), 3);
    EXPECT_EQ(relations(1), (std::vector<Relation>{{2, 3}}));
    dialog.chooseChild(4);
    dialog.add();
    EXPECT_EQ(relations(1), (std::vector<Relation>{{2, 3}, {1, 4}}));
    dialog.selectRelation(0);
    dialog.remove();
    EXPECT_EQ(relations(1), (std::vector<Relation>{{1, 4}}));
    dialog.remove();  // nothing selected any more
    EXPECT_EQ(relations(1).size(), 1u);

    dialog.setPedigreeName("Father: tested");
    EXPECT_EQ(core.createdPedigrees[0].name, "Father: tested");
}

TEST_F(PedigreeEditorFixture, copyRelationsBetweenThePedigrees) {
    core.createdPedigrees[0].relations = {{1, 3}, {2, 3}};
    core.createdPedigrees[1].relations = {{4, 3}};
    EditPedigreePresenter second(core, ui, 2);
    ui.expectMessage(
        "This will copy all relations from the other created pedigree into this one and remove "
        "all existing relations",
        "Warning", Answer::No);
    second.copyRelations();
    EXPECT_EQ(relations(2), (std::vector<Relation>{{4, 3}}));
    ui.expectMessage(
        "This will copy all relations from the other created pedigree into this one and remove "
        "all existing relations",
        "Warning", Answer::Yes);
    second.copyRelations();
    EXPECT_EQ(relations(2), relations(1));

    core.createdPedigrees.resize(1);
    EditPedigreePresenter first(core, ui, 1);
    ui.expectMessage("Cannot copy relations as there currently is no other pedigree", "Error");
    first.copyRelations();
}

TEST_F(PedigreeEditorFixture, plotInRShowsTheScriptOnYes) {
    EditPedigreePresenter dialog(core, ui, 1);
    ui.expectMessage("An R script to produce the plot will be generated, continue?", "Warning",
                     Answer::No);
    dialog.plotInR();
    ui.expectMessage("An R script to produce the plot will be generated, continue?", "Warning",
                     Answer::Yes);
    ui.expectTextWindow();
    dialog.plotInR();
    ASSERT_EQ(ui.textWindows.size(), 1u);
    EXPECT_NE(ui.textWindows[0].find("title(\"New pedigree\")"), std::string::npos);
}

TEST_F(PedigreeEditorFixture, addPersonsAddChangeAndDuplicates) {
    EditPedigreePresenter pedigree(core, ui, 1);
    ui.expectDialogOf<AddPersonsPresenter>("Add persons", [&](AddPersonsPresenter& dialog) {
        EXPECT_EQ(dialog.rows()[1].gender, "Male");
        EXPECT_TRUE(dialog.male());
        dialog.setName("Bob");
        ui.expectMessage("Name already exists", "Error");
        dialog.add();
        dialog.setName("Erik");
        dialog.add();
        EXPECT_EQ(dialog.name(), "");

        // Changing a person to an existing name is allowed, and keeps its sex.
        dialog.selectRow(0);
        dialog.edit();
        EXPECT_EQ(dialog.addButtonCaption(), "Change");
        EXPECT_EQ(dialog.name(), "Anna");
        dialog.setName("Bob");
        dialog.add();
        EXPECT_EQ(dialog.addButtonCaption(), "Add");
        dialog.close();
        return dialog.result();
    });
    pedigree.persons();
    const auto& persons = core.genotypeTable.pedigreePersons;
    ASSERT_EQ(persons.size(), 5u);
    EXPECT_EQ(persons[0].name, "Bob");
    EXPECT_FALSE(persons[0].isMale);
    EXPECT_EQ(persons[4].name, "Erik");
    EXPECT_TRUE(persons[4].isMale);
    EXPECT_EQ(pedigree.parentOptions().back(), "Erik");
}

TEST_F(PedigreeEditorFixture, removingPersonsKeepsRelationsOnTheSamePersons) {
    core.createdPedigrees[0].relations = {{1, 3}, {2, 3}, {2, 4}};
    core.createdPedigrees[1].relations = {{4, 3}};
    AddPersonsPresenter dialog(core, ui);
    dialog.setSelectedRows({1, 7});  // Bob; 7 is no row
    dialog.remove();
    const auto& persons = core.genotypeTable.pedigreePersons;
    ASSERT_EQ(persons.size(), 3u);
    EXPECT_EQ(persons[1].name, "Carl");
    // Bob's relations go; Anna -> Carl stays, Dora -> Carl now reads 3 -> 2.
    EXPECT_EQ(relations(1), (std::vector<Relation>{{1, 2}}));
    EXPECT_EQ(relations(2), (std::vector<Relation>{{3, 2}}));

    // Removing several persons goes from the highest position down; a person
    // being edited that goes away leaves the editing mode.
    dialog.selectRow(2);
    dialog.edit();
    dialog.setSelectedRows({0, 2});
    dialog.remove();
    ASSERT_EQ(persons.size(), 1u);
    EXPECT_EQ(persons[0].name, "Carl");
    EXPECT_EQ(dialog.addButtonCaption(), "Add");
}

}  // namespace
}  // namespace relatix
