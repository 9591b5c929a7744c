#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>

#include "core/core.h"
#include "persistence/default_configuration.h"
#include "persistence/open_project.h"
#include "persistence/project_case_fixture.h"
#include "persistence/project_file.h"
#include "platform/silent_user_interface.h"
#include "support/scripted_user_interface.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

using testing::readFile;
using testing::ScriptedUserInterface;
using testing::TempFolder;

struct OpenFixture : ::testing::Test {
    TempFolder folder;
    ScriptedUserInterface ui;
    Core core = testing::makeSampleCase();

    bool open(const std::string& firstLine) {
        return openProject(core, folder.write("f.sav", firstLine + "\r\nmore\r\n"), ui);
    }
};

TEST_F(OpenFixture, unknownKindsAreReportedAndLeaveAnEmptiedCase) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"<RELATIX> ", "Bad input format"},
        {"short", "Bad input format"},
        {"[Save file - RelatixX Version 1.0]",
         "Not a Relatix sav file, possibly a RelatixX save file"},
        {"This is some other long text file line", "Not a Relatix sav file"},
    };
    for (const auto& [line, message] : cases) {
        core = testing::makeSampleCase();
        ui.expectMessage(message, "Relatix2");
        EXPECT_FALSE(open(line)) << line;
        EXPECT_TRUE(core.persons.empty()) << line;
        EXPECT_TRUE(core.markerMap.markers.empty()) << line;
        EXPECT_EQ(core.projectName, "New Project") << line;
    }
}

TEST_F(OpenFixture, anUnopenableFileLeavesTheCaseAlone) {
    EXPECT_FALSE(openProject(core, folder.file("missing.sav"), ui));
    EXPECT_EQ(core.persons.size(), 2u);
}

TEST_F(OpenFixture, projectFileWithLfOnlyIsRecognised) {
    ui.expectTextWindow();
    EXPECT_TRUE(openProject(core, folder.write("lf.sav", "<RELATIX>\n</RELATIX>\n"), ui));
    EXPECT_TRUE(core.persons.empty());
}

TEST_F(OpenFixture, openingTracesOnlyWhenDebugExists) {
    testing::ScopedCurrentDirectory here(folder.path());
    ui.expectMessage("Bad input format", "Relatix2");
    open("x");
    EXPECT_FALSE(std::filesystem::exists("Debug"));
    std::filesystem::create_directory("Debug");
    ui.expectMessage("Bad input format", "Relatix2");
    open("x");
    EXPECT_NE(readFile("Debug/0Debug_openProject.txt").find("First line: x"), std::string::npos);
}

// Random damage to a valid project file must never crash or hang the reader.
TEST(OpenProjectFuzz, corruptedFilesAreReadWithoutCrashing) {
    TempFolder folder;
    ScriptedUserInterface silent;
    const std::string valid = [&] {
        const std::string path = folder.file("valid.sav");
        saveProject(testing::makeSampleCase(), path, silent);
        return readFile(path);
    }();
    std::mt19937 random(20261209);
    const std::vector<std::string> tags = {"<PERSONS>",    "<POPULATION>", "<MARKERS>",
                                           "<HYPOTHESES>", "<ADVANCED>",   "</RELATIX>"};
    for (int round = 0; round < 300; ++round) {
        std::string text = valid;
        const int kind = round % 6;
        if (kind == 0) {  // flipped bytes
            for (int k = 0; k < 20; ++k) text[random() % text.size()] = static_cast<char>(random());
        } else if (kind == 1) {  // cut anywhere
            text.resize(random() % text.size());
        } else if (kind == 2) {  // a tag repeated in the middle
            text.insert(random() % text.size(), "\r\n" + tags[random() % tags.size()] + "\r\n");
        } else if (kind == 3) {  // a very long line
            text.insert(text.find('\n') + 1, std::string(1 << 20, 'x') + "\r\n");
        } else if (kind == 4) {  // NUL bytes
            for (int k = 0; k < 10; ++k) text[random() % text.size()] = '\0';
        } else {  // lines shuffled about
            const size_t a = random() % text.size(), b = random() % text.size();
            std::swap(text[a], text[b]);
            text.erase(random() % text.size(), random() % 200);
        }
        const std::string path = folder.write("fuzz.sav", text);
        // Answers and windows vary with the damage: a silent stand-in answers No.
        SilentUserInterface ui;
        Core core;
        openProject(core, path, ui);
        EXPECT_LE(core.hypothesisPedigrees.size(), 27u);
    }
}

TEST(DefaultConfiguration, roundTripKeepsParametersClustersAndHaplotypes) {
    TempFolder folder;
    Core core(folder.path().string());
    ClusterDatabase& db = core.clusterDatabase;
    db.newAlleleFrequency = 0.02;
    db.errorRate = 0.0005;
    Cluster one;
    ClusterSystem a;
    a.name = "D12S391";
    a.position = 27.6;
    a.alleleNames = {"17", "18.3", "22"};
    a.frequencies = {0.25, 0.5, 0.25};
    ClusterSystem b;
    b.name = "vWA";
    b.position = 15.6;
    b.alleleNames = {"14"};
    b.frequencies = {1};
    one.systems = {a, b};
    one.haplotypes = {{"h1", 0.75, {1, 1}}, {"h2", 1, {3, 1}}};
    Cluster empty;
    ClusterSystem c;
    c.name = "TPOX";
    empty.systems = {c};  // a system without alleles
    db.clusters = {one, empty};
    db.clusterNames = {"chr12", "TPOX"};
    ASSERT_TRUE(writeDefaultConfiguration(core));
    const std::string text = readFile(defaultConfigurationPath(core));
    EXPECT_EQ(text.rfind("[Default configuration - Relatix Version 2.1]\r\n[Default parameters]\r\n"
                         "NewAlleleFrequency = 0.02\r\n",
                         0),
              0u);
    EXPECT_EQ(text.substr(text.size() - 5), "\r\nEnd");

    Core loaded(folder.path().string());
    loaded.persons.emplace_back("dropped");
    readDefaultConfiguration(loaded);
    EXPECT_TRUE(loaded.persons.empty());
    const ClusterDatabase& r = loaded.clusterDatabase;
    EXPECT_DOUBLE_EQ(r.newAlleleFrequency, 0.02);
    EXPECT_DOUBLE_EQ(r.errorRate, 0.0005);
    ASSERT_EQ(r.clusters.size(), 2u);
    EXPECT_EQ(r.clusterNames, db.clusterNames);
    ASSERT_EQ(r.clusters[0].systems.size(), 2u);
    EXPECT_EQ(r.clusters[0].systems[0].alleleNames, a.alleleNames);
    EXPECT_EQ(r.clusters[0].systems[0].frequencies, a.frequencies);
    EXPECT_DOUBLE_EQ(r.clusters[0].systems[1].position, 15.6);
    ASSERT_EQ(r.clusters[0].haplotypes.size(), 2u);
    EXPECT_EQ(r.clusters[0].haplotypes[1].name, "h2");
    EXPECT_EQ(r.clusters[0].haplotypes[1].alleleIndices, (std::vector<int>{3, 1}));
    ASSERT_EQ(r.clusters[1].systems.size(), 1u);
    EXPECT_TRUE(r.clusters[1].systems[0].alleleNames.empty());
    EXPECT_TRUE(r.clusters[1].haplotypes.empty());
    EXPECT_EQ(loaded.genotypeTable.systemsPerCluster, (std::vector<int>{2, 1}));
}

TEST(DefaultConfiguration, missingFileOrWrongHeaderKeepsTheDefaults) {
    TempFolder folder;
    Core core(folder.path().string());
    core.persons.emplace_back("kept");
    readDefaultConfiguration(core);
    EXPECT_EQ(core.persons.size(), 1u);
    folder.write("config.dat",
                 "[Something else entirely, long enough]\r\nNewAlleleFrequency = 0.3\r\n");
    readDefaultConfiguration(core);
    EXPECT_DOUBLE_EQ(core.clusterDatabase.newAlleleFrequency, 0.01);
    // Counts larger than the file are read as far as the file goes.
    folder.write("config.dat",
                 "[Default configuration - Relatix Version 2.1]\r\n[Default parameters]\r\n"
                 "NewAlleleFrequency = 0.03\r\nErrorRate = 0.001\r\n[Clusters]\r\n"
                 "NumberOfClusters = 2000000000\r\nClusterName = A\r\n");
    readDefaultConfiguration(core);
    EXPECT_DOUBLE_EQ(core.clusterDatabase.newAlleleFrequency, 0.03);
    EXPECT_EQ(core.clusterDatabase.clusters.size(), 1u);
}

// Sets an environment variable for the life of the object.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) previous_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        if (previous_)
            ::setenv(name_, previous_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> previous_;
};

TEST(DefaultConfiguration, aReadOnlyProgramFolderKeepsTheSettingsPerUser) {
    TempFolder program("program"), user("user");
    const ScopedEnvironment config("XDG_CONFIG_HOME", user.path().string());
    // A folder this process cannot write to (permissions do not hold for root).
    const std::filesystem::path unwritable = program.path() / "not-there";
    Core core(unwritable.string());
    core.clusterDatabase.newAlleleFrequency = 0.02;
    ASSERT_TRUE(writeDefaultConfiguration(core));
    const std::string perUser = (user.path() / "relatix2" / "config.dat").string();
    EXPECT_TRUE(std::filesystem::exists(perUser));

    // Read back from the per-user file, and written there from now on even though
    // the program folder is writable again: a second copy would never be read.
    Core fresh(program.path().string());
    readDefaultConfiguration(fresh);
    EXPECT_DOUBLE_EQ(fresh.clusterDatabase.newAlleleFrequency, 0.02);
    EXPECT_EQ(defaultConfigurationWritePath(fresh), perUser);
}

}  // namespace
}  // namespace relatix
