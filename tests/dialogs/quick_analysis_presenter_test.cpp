#include "dialogs/quick_analysis_presenter.h"

#include <gtest/gtest.h>

#include "support/scripted_user_interface.h"

namespace relatix {
namespace {

TEST(QuickAnalysisPresenter, browseFillsTheFieldsAndACancelKeepsThem) {
    testing::ScriptedUserInterface ui;
    QuickAnalysisPresenter presenter(ui, "/prog");
    ui.expectOpenFile(std::vector<std::string>{"/a/one.kov", "/b/two.kov"})
        .expectOpenFileCancelled()
        .expectOpenFile("/maps/own.map");
    presenter.browseCaseFiles();
    EXPECT_EQ(presenter.caseFilesText(), "/a/one.kov;/b/two.kov;");
    EXPECT_EQ(splitQuickFileField(";x;;y"), (std::vector<std::string>{"", "x", "", "y"}));
    presenter.browseCaseFiles();
    EXPECT_EQ(presenter.caseFilesText(), "/a/one.kov;/b/two.kov;");
    presenter.browseMapFile();
    EXPECT_EQ(presenter.mapFileText(), "/maps/own.map");
    ASSERT_EQ(ui.fileRequests.size(), 3u);
    EXPECT_TRUE(ui.fileRequests[0].allowMultiple);
    EXPECT_EQ(ui.fileRequests[0].filter, kQuickCaseFileFilter);
    EXPECT_FALSE(ui.fileRequests[2].allowMultiple);
    EXPECT_EQ(ui.fileRequests[2].initialFileName, "*.map");
}

}  // namespace
}  // namespace relatix
