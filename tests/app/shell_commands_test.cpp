#include <gtest/gtest.h>

#include <filesystem>

#include "app/application.h"
#include "app/help_dialogs.h"
#include "dialogs/find_population_presenter.h"
#include "support/scripted_user_interface.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

using testing::ScriptedUserInterface;

TEST(ProjectNameFromFileName, takesTheTextBeforeTheLastDot) {
    EXPECT_EQ(projectNameFromFileName("/cases/case.final.sav"), "case.final");
    EXPECT_EQ(projectNameFromFileName("/cases/casefinal"), "");
    EXPECT_EQ(projectNameFromFileName("/cases.d/casefinal"), "");
    EXPECT_EQ(projectNameFromFileName("C:\\cases\\x.sav"), "x");
    EXPECT_EQ(projectNameFromFileName(".sav"), "");
}

TEST(ShellStartUp, titleIsUntitledAndTheCoreKnowsTheProgramFolder) {
    ScriptedUserInterface ui;
    Application app(ui, "/opt/relatix");
    EXPECT_EQ(app.windowTitle(), "Relatix2 - Untitled");
    ASSERT_EQ(ui.windowTitles.size(), 1u);
    EXPECT_EQ(ui.windowTitles[0], "Relatix2 - Untitled");
    EXPECT_EQ(app.core().programDirectory, "/opt/relatix");
}

TEST(HelpCommands, manualWebpageAndAbout) {
    ScriptedUserInterface ui;
    Application app(ui, "/opt/relatix");
    ui.expectMessage("Currently unavailable - please visit the webpage for any information.",
                     "Relatix2");
    app.runCommand(CommandId::Manual);
    ui.expectDialogOf<AboutPresenter>("About Relatix2", [](AboutPresenter& about) {
        EXPECT_NE(about.versionText().find("2.1"), std::string::npos);
        return DialogResult::Ok;
    });
    app.runCommand(CommandId::About);
}

TEST(HelpCommands, gettingStartedOpensTheGuideOfTheProgramFolderOrSaysItIsMissing) {
    testing::TempFolder folder;
    ScriptedUserInterface ui;
    Application app(ui, folder.path().string());
    const std::string guide = (folder.path() / "Gettingstarted_relatix2.pdf").string();
    ui.expectMessage("The getting-started guide " + guide + " is missing", "Error");
    app.runCommand(CommandId::GettingStarted);
    EXPECT_TRUE(ui.openedDocuments.empty());

    folder.write("Gettingstarted_relatix2.pdf", "%PDF-1.4\n");
    const auto before = std::filesystem::current_path();
    app.runCommand(CommandId::GettingStarted);
    EXPECT_EQ(std::filesystem::current_path(), before);
    ASSERT_EQ(ui.openedDocuments.size(), 1u);
    EXPECT_EQ(ui.openedDocuments[0], guide);
}

TEST(HelpCommands, webpageOpensTheAddressGivenAtBuildTimeOrTheGuidePage) {
    testing::TempFolder folder;
    ScriptedUserInterface ui;
    Application app(ui, folder.path().string());
    if (*kProductWebPage) {
        app.runCommand(CommandId::Webpage);
        ASSERT_EQ(ui.openedDocuments.size(), 1u);
        EXPECT_EQ(ui.openedDocuments[0], kProductWebPage);
        return;
    }
    const std::string page = (folder.path() / "Gettingstarted_relatix2.html").string();
    ui.expectMessage("The getting-started guide " + page + " is missing", "Error");
    app.runCommand(CommandId::Webpage);
    EXPECT_TRUE(ui.openedDocuments.empty());
    folder.write("Gettingstarted_relatix2.html", "<html></html>\n");
    app.runCommand(CommandId::Webpage);
    ASSERT_EQ(ui.openedDocuments.size(), 1u);
    EXPECT_EQ(ui.openedDocuments[0], page);
}

TEST(HelpCommands, howToCiteWarnsThenOffersFormatsWithoutExport) {
    ScriptedUserInterface ui;
    Application app(ui, "/prog");
    ui.expectMessage(
        "Please note: the references relates to the old version of Relatix. New reference will "
        "be added once version 2 has been published.",
        "Relatix2");
    ui.expectDialogOf<HowToCitePresenter>("How to cite Relatix", [&](HowToCitePresenter& d) {
        EXPECT_EQ(d.formats(), (std::vector<std::string>{"Select format...", "1. EndNote",
                                                         "2. RefMan", "3. MEDLINE"}));
        EXPECT_EQ(d.selectedFormat(), 0);
        d.selectFormat(2);
        ui.expectMessage("Not available yet", "Notification");
        d.exportReference();
        return DialogResult::Closed;
    });
    app.runCommand(CommandId::HowToCite);
}

TEST(ShellCommands, exitAsksNothingAndEndsTheProgram) {
    ScriptedUserInterface ui;
    Application app(ui, "/prog");
    app.core().persons.emplace_back("unsaved");
    EXPECT_FALSE(app.runCommand(CommandId::Exit));
    EXPECT_TRUE(app.exitRequested());
    EXPECT_FALSE(app.runCommand(CommandId::Manual));  // nothing runs after Exit
}

TEST(ShellCommands, attachedHandlersRunAndMissingOnesSaySo) {
    ScriptedUserInterface ui;
    Application app(ui, "/prog");
    // Every command of the menu is built in; a handler serves one the table does not list.
    const auto unlisted = static_cast<CommandId>(static_cast<int>(CommandId::HowToCite) + 1);
    int runs = 0;
    app.setCommandHandler(unlisted, [&](Application& a) {
        EXPECT_EQ(&a, &app);
        ++runs;
    });
    EXPECT_TRUE(app.hasCommandHandler(unlisted));
    app.runCommand(unlisted);
    EXPECT_EQ(runs, 1);

    ui.expectMessage(kFindPopulationInstructions, "Instructions");
    ui.expectDialog("Find closest population", [](Presenter&) { return DialogResult::Closed; });
    EXPECT_TRUE(app.runCommand(CommandId::FindPopulation));

    ui.expectDialog("Run Quick Analysis", [](Presenter&) { return DialogResult::Closed; });
    EXPECT_TRUE(app.runCommand(CommandId::QuickAnalysis));
    ui.verify();
}

TEST(CommandTable, holdsEveryMenuCaption) {
    EXPECT_EQ(menuCommands().size(), 21u);
    EXPECT_EQ(commandCaption(CommandId::NewWizard), "&New Wizard\tCtrl+N");
    EXPECT_EQ(commandCaption(CommandId::Open), "&Open...\tCtrl+O");
    EXPECT_EQ(commandCaption(CommandId::Save), "&Save\tCtrl+S");
    EXPECT_EQ(commandCaption(CommandId::MapDistanceConversion), "cM <-> Theta (r)");
    EXPECT_EQ(commandCaption(CommandId::HowToCite), "How to &cite Relatix");
}

}  // namespace
}  // namespace relatix

namespace relatix {
namespace {

TEST(ShellCommands, frequencyDatabaseOpensEditMarkersOnTheCurrentCore) {
    testing::ScriptedUserInterface ui;
    Application app(ui, "/prog");
    app.core().markerMap.markers.emplace_back("TH01", 11, 4.5);
    ui.expectDialog("Edit markers", [](Presenter&) { return DialogResult::Ok; });
    app.runCommand(CommandId::FrequencyDatabase);
}

}  // namespace
}  // namespace relatix
