// The scripted user interface itself: what it reports when a test's script and
// the code under test disagree.
#include "support/scripted_user_interface.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace relatix {
namespace {

using testing::ScriptedUserInterface;

struct NamedDialog : Presenter {
    std::string title() const override { return "Some dialog"; }
};

TEST(ScriptedUserInterface, anUnexpectedMessageFailsTheTest) {
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUserInterface ui;
            ui.messageBox("Surprise", "Error", MessageButtons::Ok, MessageIcon::Error);
        },
        "unexpected message \"Surprise\" (caption \"Error\")");
}

TEST(ScriptedUserInterface, aDifferentTextOrCaptionFailsWithBoth) {
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUserInterface ui;
            ui.expectMessage("Expected text", "Error");
            ui.messageBox("Other text", "Error", MessageButtons::Ok, MessageIcon::Error);
        },
        "message differs");
}

TEST(ScriptedUserInterface, leftOverExpectationsFailWhenItGoes) {
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUserInterface ui;
            ui.expectSaveFileCancelled();
        },
        "expected but never happened:\n  save-file dialog");
}

TEST(ScriptedUserInterface, answersAndDialogsFollowTheScript) {
    ScriptedUserInterface ui;
    ui.expectMessage("Save project?", "Question", Answer::Cancel);
    ui.expectOpenFile(std::vector<std::string>{"/a.sav", "/b.sav"});
    ui.expectDialog("Some dialog", [](Presenter&) { return DialogResult::Next; });
    EXPECT_EQ(ui.messageBox("Save project?", "Question", MessageButtons::YesNoCancel,
                            MessageIcon::Question),
              Answer::Cancel);
    EXPECT_EQ(ui.openFileDialog({})->size(), 2u);
    NamedDialog dialog;
    EXPECT_EQ(ui.runDialog(dialog), DialogResult::Next);
    // An answer the buttons cannot give is a mistake in the script.
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUserInterface strict;
            strict.expectMessage("Sure?", "Question", Answer::Cancel);
            strict.messageBox("Sure?", "Question", MessageButtons::YesNo, MessageIcon::Question);
        },
        "has no Cancel button");
}

}  // namespace
}  // namespace relatix
