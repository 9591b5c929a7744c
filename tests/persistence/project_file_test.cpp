#include "persistence/project_file.h"

#include <gtest/gtest.h>

#include "core/core.h"
#include "persistence/open_project.h"
#include "persistence/project_case_fixture.h"
#include "platform/atomic_file.h"
#include "support/scripted_user_interface.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

using testing::readFile;
using testing::ScriptedUserInterface;
using testing::TempFolder;

void expectSameCase(const Core& a, const Core& b) {
    ASSERT_EQ(a.persons.size(), b.persons.size());
    for (size_t i = 0; i < a.persons.size(); ++i) {
        EXPECT_EQ(a.persons[i].name, b.persons[i].name);
        EXPECT_EQ(a.persons[i].isMale, b.persons[i].isMale);
        ASSERT_EQ(a.persons[i].dna.size(), b.persons[i].dna.size());
        for (size_t k = 0; k < a.persons[i].dna.size(); ++k) {
            EXPECT_EQ(a.persons[i].dna[k].markerName, b.persons[i].dna[k].markerName);
            EXPECT_EQ(a.persons[i].dna[k].allele1, b.persons[i].dna[k].allele1);
            EXPECT_EQ(a.persons[i].dna[k].allele2, b.persons[i].dna[k].allele2);
        }
    }
    ASSERT_EQ(a.markerMap.markers.size(), b.markerMap.markers.size());
    for (size_t i = 0; i < a.markerMap.markers.size(); ++i) {
        const Marker& x = a.markerMap.markers[i];
        const Marker& y = b.markerMap.markers[i];
        EXPECT_EQ(x.name, y.name);
        EXPECT_EQ(x.chromosome, y.chromosome);
        EXPECT_DOUBLE_EQ(x.position, y.position);
        EXPECT_EQ(x.maleMutation, y.maleMutation) << x.name;
        EXPECT_EQ(x.femaleMutation, y.femaleMutation) << x.name;
    }
    ASSERT_EQ(a.populations.size(), b.populations.size());
    for (size_t i = 0; i < a.populations.size(); ++i) {
        EXPECT_EQ(a.populations[i].name, b.populations[i].name);
        EXPECT_DOUBLE_EQ(a.populations[i].theta, b.populations[i].theta);
        ASSERT_EQ(a.populations[i].markers.size(), b.populations[i].markers.size());
        for (size_t m = 0; m < a.populations[i].markers.size(); ++m) {
            const auto& x = a.populations[i].markers[m];
            const auto& y = b.populations[i].markers[m];
            EXPECT_EQ(x.name, y.name);
            ASSERT_EQ(x.alleles.size(), y.alleles.size());
            for (size_t k = 0; k < x.alleles.size(); ++k) {
                EXPECT_EQ(x.alleles[k].name, y.alleles[k].name);
                EXPECT_NEAR(x.alleles[k].frequency, y.alleles[k].frequency, 1e-10);
            }
        }
    }
    EXPECT_EQ(a.pedigreeSettings.threshold, b.pedigreeSettings.threshold);
    EXPECT_EQ(a.pedigreeSettings.steps, b.pedigreeSettings.steps);
    EXPECT_EQ(a.pedigreeSettings.lumpAlleles, b.pedigreeSettings.lumpAlleles);
    EXPECT_EQ(a.mainHypothesis, b.mainHypothesis);
    EXPECT_EQ(a.alternativeHypotheses, b.alternativeHypotheses);
    ASSERT_EQ(a.hypothesisPedigrees.size(), b.hypothesisPedigrees.size());
    for (size_t i = 0; i < a.hypothesisPedigrees.size(); ++i)
        EXPECT_EQ(a.hypothesisPedigrees[i].relations, b.hypothesisPedigrees[i].relations);
    EXPECT_EQ(a.activePopulation, b.activePopulation);
}

TEST(ProjectFile, roundTripKeepsEverythingTheFileStores) {
    TempFolder folder;
    ScriptedUserInterface ui;
    const Core original = testing::makeSampleCase();
    const std::string path = folder.file("case.sav");
    ASSERT_TRUE(saveProject(original, path, ui));

    Core loaded("/prog");
    loaded.clusterDatabase.newAlleleFrequency = 0.05;
    ui.expectTextWindow();
    ASSERT_TRUE(openProject(loaded, path, ui));
    expectSameCase(original, loaded);
    // The new-allele frequency is written but not taken from the file.
    EXPECT_DOUBLE_EQ(loaded.clusterDatabase.newAlleleFrequency, 0.05);
    const std::string summary = ui.textWindows.at(0);
    EXPECT_EQ(summary.rfind("Import was successful, below follows a summary.\r\n", 0), 0u);
    EXPECT_NE(summary.find("File version: 2.1\r\nSoftware version: 2.100\r\n"), std::string::npos);
    EXPECT_NE(summary.find("Imported population: Norway\r\n"), std::string::npos);
    EXPECT_NE(summary.find("Imported 3 markers"), std::string::npos);
    EXPECT_NE(summary.find("Imported 2 persons"), std::string::npos);
    // Nothing the writer writes is unrecognised by the reader.
    const std::string heading =
        "The following tags/lines (if any) were not recognized by Relatix\r\n" +
        std::string(27, '-') + "\r\n";
    EXPECT_EQ(summary.substr(summary.size() - heading.size()), heading);
}

TEST(ProjectFile, documentUsesTabsCrLfAndTheTwoPrecisions) {
    TempFolder folder;
    ScriptedUserInterface ui;
    const std::string path = folder.file("case.sav");
    saveProject(testing::makeSampleCase(), path, ui);
    const std::string text = readFile(path);
    EXPECT_EQ(text.rfind("<RELATIX>\r\n\t<VERSION>2.1</VERSION>\r\n\t<GENERAL>\r\n"
                         "\t\t<NEWALLELEFREQUENCY>0.01</NEWALLELEFREQUENCY>\r\n",
                         0),
              0u);
    EXPECT_NE(text.find("\t\t\t\t<PEDIGREENAME>Duo  Two unrelated</PEDIGREENAME>\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\t\t\t\t<PEDIGREETHRESHOLD>0.0025</PEDIGREETHRESHOLD>\r\n"
                        "\t\t\t\t<PEDIGREESTEPS>3</PEDIGREESTEPS>\r\n"
                        "\t\t\t\t<PEDIGREELUMPALLELES>No</PEDIGREELUMPALLELES>\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\t\t\t\t\t\t\t<POPULATIONMARKERALLELEFREQUENCY>0.0712345678"
                        "</POPULATIONMARKERALLELEFREQUENCY>\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\t\t<MAINHYPOTHESIS>Half Siblings</MAINHYPOTHESIS>\r\n"
                        "\t\t<ALTERNATIVEHYPOTHESES>\r\n"
                        "\t\t\t<ALTERNATIVEHYPOTHESIS>Full Siblings</ALTERNATIVEHYPOTHESIS>\r\n"
                        "\t\t\t<ALTERNATIVEHYPOTHESIS>Uncle</ALTERNATIVEHYPOTHESIS>\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\t\t\t\t<MARKERMALEMUTATIONMODEL>2</MARKERMALEMUTATIONMODEL>\r\n"
                        "\t\t\t\t<MARKERMALEMUTATIONRATE>0.0021</MARKERMALEMUTATIONRATE>\r\n"
                        "\t\t\t\t<MARKERMALEMUTATIONRANGE>0.5</MARKERMALEMUTATIONRANGE>\r\n"
                        "\t\t\t\t<MARKERMALEMUTATIONRATE2>0.00011</MARKERMALEMUTATIONRATE2>\r\n"),
              std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 12), "</RELATIX>\r\n");
}

TEST(ProjectFile, createdPedigreeModeIsWrittenButNotReadBack) {
    TempFolder folder;
    ScriptedUserInterface ui;
    Core core = testing::makeSampleCase();
    core.mainHypothesis = kCreatedPedigrees;
    const std::string path = folder.file("created.sav");
    ui.expectMessage(kCreatedPedigreesNotSavedMessage, "Warning");
    EXPECT_TRUE(saveProject(core, path, ui));
    const std::string text = readFile(path);
    EXPECT_NE(text.find("\t\t<MAINHYPOTHESIS>CREATED PEDIGREE</MAINHYPOTHESIS>\r\n"
                        "\t</HYPOTHESES>\r\n"),
              std::string::npos);
    Core loaded;
    ui.expectTextWindow();
    ASSERT_TRUE(openProject(loaded, path, ui));
    EXPECT_EQ(loaded.mainHypothesis, kNoHypothesis);
    EXPECT_NE(ui.textWindows[0].find("Could not add main hypothesis: CREATED PEDIGREE"),
              std::string::npos);
}

struct ReadFixture : ::testing::Test {
    TempFolder folder;
    ScriptedUserInterface ui;
    Core core{"/prog"};

    std::string read(const std::string& content) {
        const std::string path = folder.write("input.sav", content);
        ui.expectTextWindow();
        EXPECT_TRUE(readProjectFile(core, path, ui));
        return ui.textWindows.empty() ? std::string() : ui.textWindows.back();
    }
};

TEST_F(ReadFixture, linesBeforeTheRootAreIgnoredAndUnknownLinesListed) {
    const std::string summary = read(
        "garbage before\n<WHATEVER>x</WHATEVER>\n<RELATIX>\n<TITLE>t</TITLE>\n"
        "\t<SURPRISE>1</SURPRISE>\r\nno tags here\n\n<GENERAL>\n<DATABASEUSED>2</DATABASEUSED>\n"
        "</RELATIX>\n<AFTER>x</AFTER>\n");
    EXPECT_EQ(summary.find("garbage"), std::string::npos);
    EXPECT_EQ(summary.find("WHATEVER"), std::string::npos);
    EXPECT_EQ(summary.find("AFTER"), std::string::npos);
    EXPECT_NE(summary.find("\t<SURPRISE>1</SURPRISE>\r\nno tags here\r\n"), std::string::npos);
    EXPECT_EQ(core.activePopulation, 2);
}

TEST_F(ReadFixture, valuesAreTakenUnescapedUpToTheNextTag) {
    read(
        "<RELATIX>\n<PERSONS>\n<PERSON>\n<PERSONNAME>A<B</PERSONNAME>\n"
        "<PERSONGENDER>female</PERSONGENDER>\n</PERSON>\n<PERSON>\n"
        "<PERSONNAME>C  </PERSONNAME>\n</PERSON>\n</PERSONS>\n");
    ASSERT_EQ(core.persons.size(), 2u);
    EXPECT_EQ(core.persons[0].name, "A");
    EXPECT_TRUE(core.persons[0].isMale);  // only exactly "Female" is female
    EXPECT_EQ(core.persons[1].name, "C  ");
    EXPECT_FALSE(core.persons[1].isMale);
}

TEST_F(ReadFixture, populationChromosomeCarriesOverAndIncompleteEntriesAreDropped) {
    read(
        "<RELATIX>\n<POPULATION>\n<POPULATIONNAME>P</POPULATIONNAME>\n"
        "<POPULATIONMARKER>\n<POPULATIONMARKERNAME>M1</POPULATIONMARKERNAME>\n"
        "<POPULATIONMARKERCHROMOSOME>7</POPULATIONMARKERCHROMOSOME>\n"
        "<POPULATIONMARKERALLELE>\n<POPULATIONMARKERALLELENAME>8</POPULATIONMARKERALLELENAME>\n"
        "<POPULATIONMARKERALLELEFREQUENCY>0.5</POPULATIONMARKERALLELEFREQUENCY>\n"
        "</POPULATIONMARKERALLELE>\n<POPULATIONMARKERALLELE>\n"
        "<POPULATIONMARKERALLELENAME>9</POPULATIONMARKERALLELENAME>\n"
        "</POPULATIONMARKERALLELE>\n</POPULATIONMARKER>\n"
        "<POPULATIONMARKER>\n<POPULATIONMARKERNAME>M2</POPULATIONMARKERNAME>\n"
        "<POPULATIONMARKERALLELE>\n<POPULATIONMARKERALLELENAME>1</POPULATIONMARKERALLELENAME>\n"
        "<POPULATIONMARKERALLELEFREQUENCY>1</POPULATIONMARKERALLELEFREQUENCY>\n"
        "</POPULATIONMARKERALLELE>\n</POPULATIONMARKER>\n"
        "<POPULATIONMARKER>\n<POPULATIONMARKERNAME>Empty</POPULATIONMARKERNAME>\n"
        "</POPULATIONMARKER>\n</POPULATION>\n");
    ASSERT_EQ(core.populations.size(), 1u);
    const Population& p = core.populations[0];
    ASSERT_EQ(p.markers.size(), 2u);
    EXPECT_EQ(p.markers[0].chromosome, 7);
    ASSERT_EQ(p.markers[0].alleles.size(), 1u);  // the allele without frequency is dropped
    EXPECT_EQ(p.markers[1].name, "M2");
    EXPECT_EQ(p.markers[1].chromosome, 7);
}

TEST_F(ReadFixture, threeAllelesKeepTheFirstAndTheLast) {
    read(
        "<RELATIX>\n<PERSONS>\n<PERSON>\n<DNAOBSERVATION>\n"
        "<DNAOBSERVATIONMARKER>TH01</DNAOBSERVATIONMARKER>\n"
        "<DNAOBSERVATIONALLELE>6</DNAOBSERVATIONALLELE>\n"
        "<DNAOBSERVATIONALLELE>7</DNAOBSERVATIONALLELE>\n"
        "<DNAOBSERVATIONALLELE>9.3</DNAOBSERVATIONALLELE>\n</DNAOBSERVATION>\n"
        "<DNAOBSERVATION>\n</DNAOBSERVATION>\n</PERSON>\n</PERSONS>\n");
    ASSERT_EQ(core.persons.size(), 1u);
    EXPECT_EQ(core.persons[0].name, "NN");
    ASSERT_EQ(core.persons[0].dna.size(), 2u);
    EXPECT_EQ(core.persons[0].dna[0].allele1, "6");
    EXPECT_EQ(core.persons[0].dna[0].allele2, "9.3");
    EXPECT_EQ(core.persons[0].dna[1].markerName, "NN");
    EXPECT_EQ(core.persons[0].dna[1].allele1, "N");
}

TEST_F(ReadFixture, aFileEndingInsidePersonsKeepsTheFinishedOnes) {
    const std::string summary = read(
        "<RELATIX>\n<PERSONS>\n<PERSON>\n<PERSONNAME>Done</PERSONNAME>\n</PERSON>\n"
        "<PERSON>\n<PERSONNAME>Half</PERSONNAME>\n");
    ASSERT_EQ(core.persons.size(), 1u);
    EXPECT_EQ(core.persons[0].name, "Done");
    EXPECT_NE(summary.find("Failed to import persons\r\n"), std::string::npos);
}

TEST_F(ReadFixture, truncatedPopulationIsNotAdded) {
    const std::string summary =
        read("<RELATIX>\n<POPULATION>\n<POPULATIONNAME>P</POPULATIONNAME>\n");
    EXPECT_TRUE(core.populations.empty());
    EXPECT_NE(summary.find("Imported population: P\r\nFailed to import population\r\n"),
              std::string::npos);
}

TEST_F(ReadFixture, exponentsOfTwoAndThreeDigitsReadTheSame) {
    read(
        "<RELATIX>\n<ADVANCED>\n<PEDIGREE>\n<PEDIGREENAME>Full Siblings</PEDIGREENAME>\n"
        "<PEDIGREETHRESHOLD>1e-005</PEDIGREETHRESHOLD>\n<PEDIGREESTEPS>2</PEDIGREESTEPS>\n"
        "</PEDIGREE>\n<PEDIGREE>\n<PEDIGREENAME>Half Siblings</PEDIGREENAME>\n"
        "<PEDIGREETHRESHOLD>1e-05</PEDIGREETHRESHOLD>\n<PEDIGREESTEPS>2</PEDIGREESTEPS>\n"
        "<PEDIGREELUMPALLELES>Yes</PEDIGREELUMPALLELES>\n</PEDIGREE>\n<PEDIGREE>\n"
        "<PEDIGREENAME>Unrelated</PEDIGREENAME>\n<PEDIGREESTEPS>4</PEDIGREESTEPS>\n"
        "</PEDIGREE>\n</ADVANCED>\n");
    EXPECT_EQ(core.pedigreeSettings.threshold[2], core.pedigreeSettings.threshold[3]);
    EXPECT_DOUBLE_EQ(core.pedigreeSettings.threshold[2], 1e-5);
    EXPECT_FALSE(core.pedigreeSettings.lumpAlleles[2]);  // no lump line means No
    EXPECT_TRUE(core.pedigreeSettings.lumpAlleles[3]);
    EXPECT_EQ(core.pedigreeSettings.steps[4], 1);  // no threshold: the entry is left alone
}

TEST_F(ReadFixture, alternativesOutsideTheMainCodesListAreIgnored) {
    read(
        "<RELATIX>\n<HYPOTHESES>\n<MAINHYPOTHESIS>Full Siblings</MAINHYPOTHESIS>\n"
        "<ALTERNATIVEHYPOTHESIS>Uncle</ALTERNATIVEHYPOTHESIS>\n"
        "<ALTERNATIVEHYPOTHESIS>Paternity (trio)</ALTERNATIVEHYPOTHESIS>\n"
        "<ALTERNATIVEHYPOTHESIS>Nonsense</ALTERNATIVEHYPOTHESIS>\n"
        "<ALTERNATIVEHYPOTHESIS>Unrelated</ALTERNATIVEHYPOTHESIS>\n</HYPOTHESES>\n");
    EXPECT_EQ(core.mainHypothesis, 2);
    EXPECT_EQ(core.alternativeHypotheses, (std::vector<int>{3, 1}));  // Uncle, Unrelated
    EXPECT_EQ(core.hypothesisPedigrees.size(), 3u);
}

TEST(ProjectFile, thetaOfTheActivePopulationIsTheCaseThetaAfterOpen) {
    TempFolder folder;
    ScriptedUserInterface ui;
    Core core = testing::makeSampleCase();
    core.clusterDatabase.theta =
        0.02;  // the "Edit markers" dialog keeps it equal to the population's
    const std::string path = folder.file("theta.sav");
    saveProject(core, path, ui);
    Core loaded;
    ui.expectTextWindow();
    ASSERT_TRUE(openProject(loaded, path, ui));
    EXPECT_DOUBLE_EQ(loaded.clusterDatabase.theta, 0.02);
}

TEST(ProjectFile, aFailingWriteLeavesTheOldFileByteForByte) {
    TempFolder folder;
    ScriptedUserInterface ui;
    const std::string path = folder.write("case.sav", "the old project\r\n");
    simulateDiskFullAfter(500);
    ui.expectMessage("Could not open output file, check if permissions", "Relatix2");
    EXPECT_FALSE(saveProject(testing::makeSampleCase(), path, ui));
    simulateDiskFullAfter(std::nullopt);
    EXPECT_EQ(readFile(path), "the old project\r\n");
    // No half-written temporary file is left beside it.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
    // And a save that works replaces it.
    EXPECT_TRUE(saveProject(testing::makeSampleCase(), path, ui));
    EXPECT_EQ(readFile(path).rfind("<RELATIX>\r\n", 0), 0u);
}

TEST(ProjectFile, anUncreatableFileIsReported) {
    TempFolder folder;
    ScriptedUserInterface ui;
    ui.expectMessage("Could not open output file, check if permissions", "Relatix2");
    EXPECT_FALSE(saveProject(testing::makeSampleCase(), folder.file("no/such/dir/x.sav"), ui));
}

}  // namespace
}  // namespace relatix
