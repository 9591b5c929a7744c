#include "persistence/project_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/core.h"
#include "linkage/calculation_workflow.h"
#include "persistence/import_warnings.h"
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
namespace fs = std::filesystem;

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

// Texts that a tagged line cannot hold as they are, and bytes of every range.
const std::vector<std::string> kAwkwardTexts = {
    "A<B & C>D",
    "X</PERSONNAME><PERSONSEX>2",
    "say \"hi\" it's",
    "\ttab\tinside\t",
    "&amp; already &lt;escaped&gt;",
    "line\nbreak\r\nend",
    "\xC3\x85se \xC3\xB8",  // UTF-8
    "\xE6\xF8\xE5 \xC5",    // Latin-1
    "R&D;",
};

TEST(ProjectFile, everyTextFieldRoundTripsWhateverItHolds) {
    TempFolder folder;
    ScriptedUserInterface ui;
    for (const std::string& awkward : kAwkwardTexts) {
        SCOPED_TRACE(awkward);
        Core original = testing::makeSampleCase();
        original.persons[0].name = awkward;
        original.persons[1].name = "B " + awkward;
        original.persons[0].dna[0].markerName = awkward;
        original.persons[0].dna[1].allele1 = awkward;
        original.persons[0].dna[1].allele2 = awkward + "2";
        original.markerMap.markers[1].name = awkward;
        original.populations[0].name = awkward;
        original.populations[1].markers[0].name = awkward;
        original.populations[0].markers[1].alleles[0].name = awkward;
        const std::string path = folder.file("awkward.sav");
        ASSERT_TRUE(saveProject(original, path, ui));

        // Every value stays on its own line between its own two tags.
        const std::string text = readFile(path);
        size_t names = 0;
        for (size_t at = text.find("<PERSONNAME>"); at != std::string::npos;
             at = text.find("<PERSONNAME>", at + 1))
            ++names;
        EXPECT_EQ(names, 2u);
        EXPECT_EQ(text.find("<PERSONSEX>"), std::string::npos);

        Core loaded("/prog");
        ui.expectTextWindow();
        ASSERT_TRUE(openProject(loaded, path, ui));
        expectSameCase(original, loaded);
        const std::string summary = ui.textWindows.back();
        const std::string heading =
            "The following tags/lines (if any) were not recognized by Relatix\r\n" +
            std::string(27, '-') + "\r\n";
        EXPECT_EQ(summary.substr(summary.size() - heading.size()), heading);
    }
}

TEST(ProjectFile, markupInANameIsWrittenAsReferences) {
    TempFolder folder;
    ScriptedUserInterface ui;
    Core core = testing::makeSampleCase();
    core.persons[0].name = "A<B & C>D\n";
    const std::string path = folder.file("escaped.sav");
    saveProject(core, path, ui);
    EXPECT_NE(readFile(path).find("\t\t\t<PERSONNAME>A&lt;B &amp; C&gt;D&#10;</PERSONNAME>\r\n"),
              std::string::npos);
}

// A program folder with the built linkage engine, for the calculations below.
struct EngineFolder {
    testing::ScopedCurrentDirectory keep{fs::current_path()};
    TempFolder folder{"saved-calc"};
    std::string path = (folder.path() / "prog").string();
    EngineFolder() {
        fs::create_directories(fs::path(path) / "temp");
        const fs::path engine = fs::path(RELATIX_PROGRAM_FOLDER) / "merlinEngine";
        if (fs::exists(engine)) fs::create_symlink(engine, fs::path(path) / "merlinEngine");
        fs::current_path(folder.path());
    }
    bool hasEngine() const { return fs::exists(fs::path(path) / "merlinEngine"); }
};

Marker populationMarker(const std::string& name, std::vector<Allele> alleles) {
    Marker marker(name, 1, 0);
    marker.alleles = std::move(alleles);
    return marker;
}

// Three markers, two linked, and one population for them.
Core typedMarkersCase(const std::string& programDirectory) {
    Core core(programDirectory);
    core.markerMap.markers = {Marker("A", 1, 10), Marker("B", 1, 30), Marker("C", 2, 5)};
    for (Marker& marker : core.markerMap.markers) {
        marker.maleMutation = {1, 0.002, 0, 0.1};
        marker.femaleMutation = {1, 0.001, 0, 0.1};
    }
    Population population;
    population.name = "P & Q";
    population.markers = {populationMarker("A", {{"10", 0.25}, {"11", 0.5}, {"12", 0.25}}),
                          populationMarker("B", {{"7", 0.2}, {"8", 0.8}}),
                          populationMarker("C", {{"1", 0.5}, {"2", 0.5}})};
    core.populations = {population};
    core.activePopulation = 1;
    return core;
}

LogLikelihoods calculated(Core& core) {
    ScriptedUserInterface ui;
    const CalculationOutcome outcome = runCalculation(core, ui, {});
    EXPECT_EQ(outcome.status, CalculationStatus::Calculated);
    EXPECT_TRUE(outcome.engineResultsAvailable) << outcome.engineMessage;
    LogLikelihoods all = core.exactResults;
    all.insert(all.end(), core.merlinResults.begin(), core.merlinResults.end());
    all.insert(all.end(), core.unlinkedResults.begin(), core.unlinkedResults.end());
    return all;
}

Core reopened(const Core& core, const std::string& path, std::string* summary = nullptr) {
    ScriptedUserInterface ui;
    EXPECT_TRUE(saveProject(core, path, ui));  // and nothing to warn about
    Core loaded(core.programDirectory);
    ui.expectTextWindow();
    EXPECT_TRUE(openProject(loaded, path, ui));
    if (summary && !ui.textWindows.empty()) *summary = ui.textWindows.back();
    return loaded;
}

TEST(ProjectFile, drawnPedigreesComeBackWithTheirPersonsAndTheSameLikelihoods) {
    EngineFolder program;
    Core drawn = typedMarkersCase(program.path);
    Person father("Father <F>", true), mother("Mother & co", false), child("Child", true);
    father.dna = {{0, "A", 0, "10", "11"}, {0, "B", 0, "7", "8"}, {0, "C", 0, "1", "2"}};
    mother.dna = {{0, "A", 0, "12", "12"}, {0, "B", 0, "8", "8"}, {0, "C", 0, "2", "2"}};
    child.dna = {{0, "A", 0, "10", "12"}, {0, "B", 0, "7", "8"}, {0, "C", 0, "1", "2"}};
    drawn.genotypeTable.pedigreePersons = {father, mother, child};
    Pedigree trio;
    trio.name = "Trio \"father\" & <child>";
    trio.label = "Label\tone";
    trio.relations = {{1, 3}, {2, 3}};
    Pedigree motherOnly;
    motherOnly.name = "Mother only";
    motherOnly.relations = {{2, 3}};
    drawn.createdPedigrees = {trio, motherOnly};
    drawn.mainHypothesis = kCreatedPedigrees;
    drawn.persons = {Person("case person", true)};
    // The genotype table as the DNA entry lines it up for drawn pedigrees.
    drawn.resizeGenotypeTable(3);
    drawn.genotypeTable.sexCodes = {1, 2, 1};
    drawn.genotypeTable.personNames = {father.name, mother.name, child.name};

    std::string summary;
    Core loaded = reopened(drawn, program.folder.file("drawn.sav"), &summary);
    EXPECT_EQ(loaded.mainHypothesis, kCreatedPedigrees);
    EXPECT_EQ(summary.find("Could not add main hypothesis"), std::string::npos);
    EXPECT_NE(summary.find("Imported 2 drawn pedigrees over 3 persons"), std::string::npos);
    ASSERT_EQ(loaded.createdPedigrees.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(loaded.createdPedigrees[i].name, drawn.createdPedigrees[i].name);
        EXPECT_EQ(loaded.createdPedigrees[i].label, drawn.createdPedigrees[i].label);
        EXPECT_EQ(loaded.createdPedigrees[i].relations, drawn.createdPedigrees[i].relations);
    }
    const auto& persons = loaded.genotypeTable.pedigreePersons;
    ASSERT_EQ(persons.size(), 3u);
    for (size_t i = 0; i < persons.size(); ++i) {
        const Person& expected = drawn.genotypeTable.pedigreePersons[i];
        EXPECT_EQ(persons[i].name, expected.name);
        EXPECT_EQ(persons[i].isMale, expected.isMale);
        ASSERT_EQ(persons[i].dna.size(), expected.dna.size());
        for (size_t k = 0; k < expected.dna.size(); ++k) {
            EXPECT_EQ(persons[i].dna[k].markerName, expected.dna[k].markerName);
            EXPECT_EQ(persons[i].dna[k].allele1, expected.dna[k].allele1);
            EXPECT_EQ(persons[i].dna[k].allele2, expected.dna[k].allele2);
        }
    }
    EXPECT_EQ(loaded.genotypeTable.personCount, 3);
    EXPECT_EQ(loaded.genotypeTable.sexCodes, drawn.genotypeTable.sexCodes);
    EXPECT_EQ(loaded.genotypeTable.personNames, drawn.genotypeTable.personNames);
    ASSERT_EQ(loaded.persons.size(), 1u);  // the case's own persons stay apart

    if (!program.hasEngine()) GTEST_SKIP() << "no linkage engine built";
    const LogLikelihoods before = calculated(drawn);
    ASSERT_EQ(before.size(), 4u);  // two families, on both maps
    EXPECT_NE(before[0], before[1]);
    EXPECT_EQ(calculated(loaded), before);
}

TEST(ProjectFile, theMutationSwitchIsSavedAndFilesWithoutItCalculateWithMutation) {
    EngineFolder program;
    // A paternity duo that excludes at marker B, which only a mutation explains.
    Core off = typedMarkersCase(program.path);
    off.selectMainHypothesis(23);     // Paternity (duo)
    off.alternativeHypotheses = {2};  // Unrelated
    off.addAlternativePedigree(5);
    off.genotypeTable.sexCodes = {1, 1};
    Person father("NN1", true), child("NN2", true);
    father.dna = {{0, "A", 0, "10", "11"}, {0, "B", 0, "7", "7"}, {0, "C", 0, "1", "1"}};
    child.dna = {{0, "A", 0, "10", "12"}, {0, "B", 0, "8", "8"}, {0, "C", 0, "1", "2"}};
    off.persons = {father, child};
    off.mutationsOff = true;

    const std::string path = program.folder.file("off.sav");
    Core loaded = reopened(off, path);
    EXPECT_TRUE(loaded.mutationsOff);
    EXPECT_NE(readFile(path).find("\t\t<MUTATIONSOFF>Yes</MUTATIONSOFF>\r\n"), std::string::npos);

    if (program.hasEngine()) {
        Core on = off;
        on.mutationsOff = false;
        const LogLikelihoods withMutation = calculated(on);
        const LogLikelihoods before = calculated(off);
        EXPECT_NE(before, withMutation);  // the switch matters for this case
        EXPECT_EQ(calculated(loaded), before);
    }

    // A file from before the switch was saved reads as mutation on, whatever the
    // case held before.
    std::string older = readFile(path);
    const std::string line = "\t\t<MUTATIONSOFF>Yes</MUTATIONSOFF>\r\n";
    older.erase(older.find(line), line.size());
    ScriptedUserInterface ui;
    Core again = loaded;
    ui.expectTextWindow();
    ASSERT_TRUE(openProject(again, program.folder.write("older.sav", older), ui));
    EXPECT_FALSE(again.mutationsOff);
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

TEST_F(ReadFixture, aRawMarkupCharacterEndsTheValue) {
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

TEST_F(ReadFixture, filesWithoutReferencesReadAsBeforeAndReferencesAreDecoded) {
    read(
        "<RELATIX>\n<PROJECTNAME>A&amp;B &lt;1&gt; &quot;q&apos; &#233;&#xe9;</PROJECTNAME>\n"
        "<PERSONS>\n<PERSON>\n<PERSONNAME>R&D; A & B &copy; &#300; &#; &#x; &lt &</PERSONNAME>\n"
        "</PERSON>\n<PERSON>\n<PERSONNAME>&amp;lt;</PERSONNAME>\n</PERSON>\n</PERSONS>\n");
    EXPECT_EQ(core.projectName, "A&B <1> \"q' \xE9\xE9");
    ASSERT_EQ(core.persons.size(), 2u);
    EXPECT_EQ(core.persons[0].name, "R&D; A & B &copy; &#300; &#; &#x; &lt &");
    EXPECT_EQ(core.persons[1].name, "&lt;");  // decoded once
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

// One line missing from a saved case: the damaged record is dropped and named
// with its line, never read into another person's or marker's genotypes. The
// bundled example as written reads without a single warning.
TEST_F(ReadFixture, aMissingOpeningLineDropsTheDamagedRecordWithItsLine) {
    const std::string example =
        readFile(std::string(RELATIX_SOURCE_DIR) + "/examples/half_siblings_linked.sav");
    auto without = [&](const std::string& removed, size_t after) {
        std::string text = example;
        const size_t at = text.find(removed, text.find(after == 0 ? "<PERSONS>" : "Sibling 1"));
        text.erase(at, removed.size());
        return text;
    };
    {
        ImportWarningCollector collector;
        read(example);
        EXPECT_TRUE(collector.warnings().empty());
        ASSERT_EQ(core.persons.size(), 2u);
    }
    // The second person's <PERSON> line.
    core = Core("/prog");
    {
        ImportWarningCollector collector;
        const std::string summary = read(without("\t\t<PERSON>\r\n", 1));
        ASSERT_EQ(core.persons.size(), 1u);
        EXPECT_EQ(core.persons[0].name, "Sibling 1");
        EXPECT_EQ(core.persons[0].dna.size(), 31u);
        ASSERT_EQ(collector.warnings().size(), 1u);
        EXPECT_EQ(collector.warnings()[0].line, 2276);
        EXPECT_NE(summary.find("Line 2276: \t\t\t<PERSONNAME>Sibling 2</PERSONNAME> - "
                               "<PERSONNAME> outside a <PERSON> block"),
                  std::string::npos)
            << summary;
    }
    // The <DNAOBSERVATION> line of Sibling 1's D1S1656.
    core = Core("/prog");
    {
        ImportWarningCollector collector;
        std::string text = example;
        const std::string opening = "\t\t\t\t<DNAOBSERVATION>\r\n";
        const size_t marker = text.find("<DNAOBSERVATIONMARKER>D1S1656");
        text.erase(text.rfind(opening, marker), opening.size());
        read(text);
        ASSERT_EQ(core.persons.size(), 2u);
        for (const DnaObservation& dna : core.persons[0].dna)
            EXPECT_NE(dna.markerName, "D1S1656") << dna.allele1 << "," << dna.allele2;
        EXPECT_EQ(core.persons[0].dna.size(), 30u);
        ASSERT_EQ(collector.warnings().size(), 1u);
        EXPECT_EQ(collector.warnings()[0].line, 2124);
    }
}

// A repeated observation of a marker keeps the first; an observation that never
// closes is dropped; each is named with its line.
TEST_F(ReadFixture, repeatedAndUnclosedObservationsAreReportedWithTheirLines) {
    ImportWarningCollector collector;
    read(readFile(std::string(RELATIX_SOURCE_DIR) +
                  "/fuzz/corpus/project_file/observation_without_opening_line"));
    ASSERT_EQ(core.persons.size(), 1u);
    ASSERT_EQ(core.persons[0].dna.size(), 1u);
    EXPECT_EQ(core.persons[0].dna[0].allele1, "1");
    std::vector<int> lines;
    for (const ImportWarning& warning : collector.warnings()) lines.push_back(*warning.line);
    EXPECT_EQ(lines, (std::vector<int>{9, 14, 16}));
}

TEST_F(ReadFixture, anAlleleWithoutItsClosingLineIsTakenAndNamed) {
    const std::string summary = read(
        "<RELATIX>\n<POPULATION>\n<POPULATIONMARKER>\n<POPULATIONMARKERNAME>M</"
        "POPULATIONMARKERNAME>\n"
        "<POPULATIONMARKERALLELE>\n<POPULATIONMARKERALLELENAME>8</POPULATIONMARKERALLELENAME>\n"
        "<POPULATIONMARKERALLELEFREQUENCY>0.5</POPULATIONMARKERALLELEFREQUENCY>\n"
        "<POPULATIONMARKERALLELE>\n<POPULATIONMARKERALLELENAME>9</POPULATIONMARKERALLELENAME>\n"
        "<POPULATIONMARKERALLELEFREQUENCY>0.5</POPULATIONMARKERALLELEFREQUENCY>\n"
        "</POPULATIONMARKER>\n</POPULATION>\n</RELATIX>\n");
    ASSERT_EQ(core.populations.size(), 1u);
    ASSERT_EQ(core.populations[0].markers.size(), 1u);
    EXPECT_EQ(core.populations[0].markers[0].alleles.size(), 2u);
    EXPECT_NE(summary.find("Line 8: <POPULATIONMARKERALLELE> - the allele 8 before"),
              std::string::npos)
        << summary;
    EXPECT_NE(summary.find("Line 11: </POPULATIONMARKER> - the allele 9"), std::string::npos);
}

// A duplicated allele entry and a mutation model without its rate are named with
// their line; model 2's largest number of steps is read as a number, not a rate.
TEST_F(ReadFixture, aDuplicatedAlleleAndAMissingRateLineAreNamed) {
    const std::string allele =
        "<POPULATIONMARKERALLELE>\n<POPULATIONMARKERALLELENAME>8</POPULATIONMARKERALLELENAME>\n"
        "<POPULATIONMARKERALLELEFREQUENCY>0.5</POPULATIONMARKERALLELEFREQUENCY>\n"
        "</POPULATIONMARKERALLELE>\n";
    const std::string summary = read(
        "<RELATIX>\n<MARKERS>\n<MARKER>\n<MARKERNAME>M</MARKERNAME>\n"
        "<MARKERCHROMOSOME>1</MARKERCHROMOSOME>\n<MARKERPOSITION>5</MARKERPOSITION>\n"
        "<MARKERMUTATIONSETTINGS>\n<MARKERMALEMUTATIONMODEL>2</MARKERMALEMUTATIONMODEL>\n"
        "<MARKERMALEMUTATIONRATE>0.002</MARKERMALEMUTATIONRATE>\n"
        "<MARKERMALEMUTATIONRATE2>3</MARKERMALEMUTATIONRATE2>\n"
        "<MARKERFEMALEMUTATIONMODEL>1</MARKERFEMALEMUTATIONMODEL>\n"
        "</MARKERMUTATIONSETTINGS>\n</MARKER>\n</MARKERS>\n"
        "<POPULATION>\n<POPULATIONMARKER>\n<POPULATIONMARKERNAME>M</POPULATIONMARKERNAME>\n" +
        allele + allele + "</POPULATIONMARKER>\n</POPULATION>\n</RELATIX>\n");
    ASSERT_EQ(core.markerMap.markers.size(), 1u);
    EXPECT_DOUBLE_EQ(core.markerMap.markers[0].maleMutation.rate2, 3.0);
    EXPECT_NE(summary.find("Line 13: the marker M has a female mutation model but no female "
                           "mutation rate line; the rate 0 is used"),
              std::string::npos)
        << summary;
    ASSERT_EQ(core.populations.size(), 1u);
    EXPECT_EQ(core.populations[0].markers[0].alleles.size(), 1u);
    EXPECT_NE(summary.find("Line 25: the allele 8 of marker M is listed twice; its first entry "
                           "is used"),
              std::string::npos)
        << summary;
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
    ui.expectMessage("Could not write the project file " + path + ": " + std::strerror(ENOSPC) +
                         "; the file on disk is as it was",
                     "Relatix2");
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
