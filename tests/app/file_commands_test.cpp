#include <gtest/gtest.h>

#include "app/application.h"
#include "persistence/project_file.h"
#include "support/kovarian_case_writer.h"
#include "support/scripted_user_interface.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

using testing::readFile;
using testing::ScriptedUserInterface;
using testing::TempFolder;

struct FileCommands : ::testing::Test {
    TempFolder folder;
    ScriptedUserInterface ui;
    Application app{ui, folder.path().string()};

    // Opens a Kovarian duo case; the program folder has no marker positions.
    std::string openKovarianCase(const std::string& name) {
        const std::string kov = folder.write(name, testing::kovarianCaseText(testing::duoCase()));
        ui.expectOpenFile(kov);
        for (const char* marker : {"D1S1656", "D3S1358"})
            ui.expectMessage(
                std::string("Genetic position not found for ") + marker + ", skipping this marker.",
                "Relatix2");
        app.runCommand(CommandId::Open);
        return kov;
    }
};

TEST_F(FileCommands, saveAsNamesTheProjectAfterTheFile) {
    const std::string path = folder.file("case.final.sav");
    ui.expectSaveFile(path);
    app.runCommand(CommandId::SaveAs);
    EXPECT_EQ(app.core().projectName, "case.final");
    EXPECT_EQ(app.core().projectPath, path);
    EXPECT_TRUE(app.core().savedToPath);
    EXPECT_EQ(app.windowTitle(), "Relatix2 - case.final");
    EXPECT_EQ(readFile(path).rfind("<RELATIX>", 0), 0u);
    const FileDialogRequest& request = ui.fileRequests.at(0);
    EXPECT_EQ(request.filter, "Save Files (*.sav)|*.sav||All Files (*.*)|*.*||");
    EXPECT_EQ(request.defaultExtension, "sav");
    EXPECT_EQ(request.initialFileName, "");
}

TEST_F(FileCommands, firstSaveAsksThenSavesSilently) {
    ui.expectSaveFile(folder.file("first.sav"));
    app.runCommand(CommandId::Save);
    EXPECT_EQ(ui.fileRequests.at(0).initialFileName, "New Project.sav");
    app.core().persons.emplace_back("Later");
    app.runCommand(CommandId::Save);  // no dialog expected
    EXPECT_NE(readFile(folder.file("first.sav")).find("Later"), std::string::npos);
}

TEST_F(FileCommands, saveAfterOpenProposesTheOpenedPathThenSavesSilently) {
    ScriptedUserInterface quiet;
    Core sample("/x");
    sample.persons.emplace_back("Opened");
    const std::string opened = folder.file("opened.sav");
    saveProject(sample, opened, quiet);

    ui.expectOpenFile(opened);
    ui.expectTextWindow();
    app.runCommand(CommandId::Open);
    EXPECT_EQ(ui.fileRequests.at(0).filter,
              "Save Files (*.sav)|*.sav|Kovarian Files (*.kov)|*.kov|All Files (*.*)|*.*||");
    EXPECT_EQ(app.core().projectName, "opened");
    EXPECT_FALSE(app.core().savedToPath);
    EXPECT_EQ(app.windowTitle(), "Relatix2 - opened");
    ASSERT_EQ(app.core().persons.size(), 1u);

    ui.expectSaveFile(opened);
    app.runCommand(CommandId::Save);
    EXPECT_EQ(ui.fileRequests.at(1).initialFileName, opened);
    app.runCommand(CommandId::Save);  // silent now
    EXPECT_EQ(ui.pendingExpectations(), 0u);
}

TEST_F(FileCommands, saveAfterOpeningAKovarianFileProposesASavFileAndAsksBeforeReplacingIt) {
    const std::string kov = openKovarianCase("duo case.kov");
    const std::string kovText = readFile(kov);
    ASSERT_EQ(app.core().projectPath, kov);
    ui.verify();

    // Save proposes the case file's name with .sav; choosing the case file itself
    // asks first, and No leaves it as it was and the project unsaved.
    ui.expectSaveFile(kov);
    const std::string question =
        "duo case.kov is not a Relatix project file. Saving the project replaces it with the "
        "project file. Replace it?";
    ui.expectMessage(question, "Warning", Answer::No);
    app.runCommand(CommandId::Save);
    EXPECT_EQ(ui.fileRequests.back().initialFileName, folder.file("duo case.sav"));
    EXPECT_EQ(readFile(kov), kovText);
    EXPECT_FALSE(app.core().savedToPath);
    EXPECT_EQ(app.core().projectPath, kov);

    // Save As proposes the same, and Yes replaces the file.
    ui.expectSaveFile(kov);
    ui.expectMessage(question, "Warning", Answer::Yes);
    app.runCommand(CommandId::SaveAs);
    EXPECT_EQ(ui.fileRequests.back().initialFileName, folder.file("duo case.sav"));
    EXPECT_EQ(readFile(kov).rfind("<RELATIX>\r\n", 0), 0u);
    EXPECT_TRUE(app.core().savedToPath);

    // The proposed .sav file is written without a question, and so is a project
    // file written before.
    ui.expectSaveFile(folder.file("duo case.sav"));
    app.runCommand(CommandId::SaveAs);
    ui.expectSaveFile(folder.file("duo case.sav"));
    app.runCommand(CommandId::SaveAs);
    EXPECT_EQ(readFile(folder.file("duo case.sav")).rfind("<RELATIX>\r\n", 0), 0u);
    EXPECT_EQ(ui.pendingExpectations(), 0u);
}

TEST_F(FileCommands, openingAProjectTakesItsMutationSwitchAndOtherFilesCalculateWithMutation) {
    ScriptedUserInterface quiet;
    Core off("/x");
    off.mutationsOff = true;
    const std::string offPath = folder.file("off.sav");
    saveProject(off, offPath, quiet);
    ui.expectOpenFile(offPath);
    ui.expectTextWindow();
    app.runCommand(CommandId::Open);
    EXPECT_TRUE(app.core().mutationsOff);

    openKovarianCase("duo.kov");
    EXPECT_FALSE(app.core().mutationsOff);
}

TEST_F(FileCommands, openFailureSaysSoAndCancelDoesNothing) {
    ui.expectOpenFileCancelled();
    app.runCommand(CommandId::Open);
    ui.expectOpenFile(folder.write("bad.sav", "nope\r\n"));
    ui.expectMessage("Bad input format", "Relatix2");
    ui.expectMessage("Could not open project", "Relatix2");
    app.core().persons.emplace_back("before");
    app.runCommand(CommandId::Open);
    EXPECT_EQ(app.core().persons.size(), 1u);  // a refused file leaves the case alone
    EXPECT_EQ(app.windowTitle(), "Relatix2 - Untitled");
}

TEST_F(FileCommands, aRefusedOpenAfterASaveLeavesTheSavedFileUntouchedByTheNextSave) {
    const std::string saved = folder.file("case.sav");
    app.core().persons.emplace_back("typed");
    ui.expectSaveFile(saved);
    app.runCommand(CommandId::SaveAs);
    const std::string before = readFile(saved);
    ui.expectOpenFile(folder.write("bad.sav", "nope\r\n"));
    ui.expectMessage("Bad input format", "Relatix2");
    ui.expectMessage("Could not open project", "Relatix2");
    app.runCommand(CommandId::Open);
    app.runCommand(CommandId::Save);  // saves silently to the same path
    EXPECT_EQ(readFile(saved), before);
}

TEST_F(FileCommands, newProjectKeepsTheUnsavedCaseWhenItsSaveFails) {
    Core* before = &app.core();
    app.core().persons.emplace_back("unsaved");
    ui.expectMessage("Save project?", "Question", Answer::Yes);
    ui.expectSaveFile(folder.file("no such folder/case.sav"));
    ui.expectMessage(kCannotWriteProjectMessage, "Relatix2");
    app.runCommand(CommandId::NewProject);
    EXPECT_EQ(&app.core(), before);
    EXPECT_EQ(app.core().persons.size(), 1u);
    EXPECT_FALSE(app.core().savedToPath);
}

TEST_F(FileCommands, newProjectAnsweredNoDiscardsTheCaseAndReadsTheConfiguration) {
    app.core().persons.emplace_back("gone");
    app.core().setProjectName("old");
    app.setTitleFromName("old");
    ui.expectMessage("Save project?", "Question", Answer::No);
    app.runCommand(CommandId::NewProject);
    EXPECT_TRUE(app.core().persons.empty());
    EXPECT_EQ(app.core().programDirectory, folder.path().string());
    EXPECT_EQ(app.windowTitle(), "Relatix2 - Untitled");
}

TEST_F(FileCommands, newProjectCancelOrACancelledSaveKeepsEverything) {
    Core* before = &app.core();
    app.core().persons.emplace_back("kept");
    ui.expectMessage("Save project?", "Question", Answer::Cancel);
    app.runCommand(CommandId::NewProject);
    ui.expectMessage("Save project?", "Question", Answer::Yes);
    ui.expectSaveFileCancelled();
    app.runCommand(CommandId::NewProject);
    EXPECT_EQ(&app.core(), before);
    EXPECT_EQ(app.core().persons.size(), 1u);
}

TEST_F(FileCommands, newProjectAnsweredYesSavesWithoutRenamingFirst) {
    app.core().persons.emplace_back("saved first");
    const std::string path = folder.file("before new.sav");
    ui.expectMessage("Save project?", "Question", Answer::Yes);
    ui.expectSaveFile(path);
    app.runCommand(CommandId::NewProject);
    EXPECT_NE(readFile(path).find("saved first"), std::string::npos);
    EXPECT_TRUE(app.core().persons.empty());
    EXPECT_EQ(app.core().projectName, "New Project");
    EXPECT_EQ(app.windowTitle(), "Relatix2 - Untitled");
}

}  // namespace
}  // namespace relatix
