#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "platform/clock.h"
#include "platform/console_user_interface.h"
#include "platform/program_folder.h"
#include "platform/trace_file.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

namespace fs = std::filesystem;
using testing::ScopedCurrentDirectory;
using testing::TempFolder;

TEST(TraceFile, isWrittenOnlyWhenADebugFolderExists) {
    TempFolder folder;
    ScopedCurrentDirectory here(folder.path());
    {
        TraceFile trace("CalculateLR");
        trace << "step " << 1 << "\n";
        EXPECT_FALSE(trace.enabled());
    }
    EXPECT_FALSE(fs::exists("Debug"));
    fs::create_directory("Debug");
    {
        TraceFile trace("CalculateLR");
        trace << "step " << 2 << "\n";
    }
    EXPECT_EQ(testing::readFile("Debug/0Debug_CalculateLR.txt"), "step 2\n");
    {
        TraceFile trace("CalculateLR", true);
        trace << "more\n";
    }
    EXPECT_EQ(testing::readFile("Debug/0Debug_CalculateLR.txt"), "step 2\nmore\n");
}

TEST(TraceFile, aDebugEntryThatIsNotWritableChangesNothing) {
    TempFolder folder;
    ScopedCurrentDirectory here(folder.path());
    fs::create_directories("Debug/0Debug_Blocked.txt");  // a folder where the file should go
    TraceFile trace("Blocked");
    trace << "text";
    trace.flush();  // must not throw or crash
    EXPECT_TRUE(fs::is_directory("Debug/0Debug_Blocked.txt"));
}

TEST(ProgramFolder, isTheFolderOfTheRunningExecutable) {
    const std::string folder = programFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '/');
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(directoryPart("/a/b/c.exe"), "/a/b");
    EXPECT_EQ(directoryPart("c.exe"), "");
}

TEST(ConsoleUserInterface, writesCaptionAndTextAndAnswersQuestionsFromItsTable) {
    std::ostringstream messages;
    ConsoleUserInterface ui(messages);
    EXPECT_EQ(
        ui.messageBox("Could not open project", "Error", MessageButtons::Ok, MessageIcon::Error),
        Answer::Ok);
    EXPECT_EQ(ui.messageBox("Save project?", "Question", MessageButtons::YesNoCancel,
                            MessageIcon::Question),
              Answer::No);
    EXPECT_EQ(ui.messageBox("System : D1 already exists in database, overwrite?", "Question",
                            MessageButtons::YesNo, MessageIcon::Question),
              Answer::Yes);
    EXPECT_FALSE(ui.openFileDialog({}).has_value());
    EXPECT_FALSE(ui.saveFileDialog({}).has_value());
    EXPECT_EQ(messages.str(),
              "Error: Could not open project\nQuestion: Save project? [No]\n"
              "Question: System : D1 already exists in database, overwrite? [Yes]\n");
    EXPECT_NE(ConsoleUserInterface::answerTable().find("System : ..."), std::string::npos);
}

struct FixedClock : Clock {
    std::time_t now() const override { return 1'000'000'000; }
};

TEST(Clock, canBeFixedForTests) {
    FixedClock fixed;
    Clock* previous = setClock(&fixed);
    EXPECT_EQ(clock().now(), 1'000'000'000);
    setClock(previous);
    EXPECT_NE(clock().now(), 1'000'000'000);
}

}  // namespace
}  // namespace relatix

namespace relatix {
namespace {

TEST(TraceFile, staysInTheFolderWhereItStartedWhenTheDirectoryChanges) {
    testing::TempFolder first, second;
    testing::ScopedCurrentDirectory here(first.path());
    std::filesystem::create_directory("Debug");
    {
        TraceFile trace("Moving");
        trace << "line\n";
        std::filesystem::current_path(second.path());
    }
    EXPECT_EQ(testing::readFile(first.file("Debug/0Debug_Moving.txt")), "line\n");
}

}  // namespace
}  // namespace relatix
