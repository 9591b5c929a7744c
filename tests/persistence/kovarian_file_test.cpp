#include "persistence/kovarian_file.h"

#include <gtest/gtest.h>

#include <random>

#include "core/core.h"
#include "core/frequency_database.h"
#include "dialogs/select_systems_presenter.h"
#include "persistence/database_files.h"
#include "persistence/database_import.h"
#include "persistence/marker_positions.h"
#include "persistence/open_project.h"
#include "persistence/text_lines.h"
#include "platform/silent_user_interface.h"
#include "support/scripted_user_interface.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

using testing::ScopedCurrentDirectory;
using testing::ScriptedUserInterface;
using testing::TempFolder;

struct KovSystem {
    std::string name;
    std::vector<std::pair<std::string, std::string>> alleles;  // quoted name line, frequency
};

// A case file laid out line by line as the reader expects it.
std::string kovarianText(const std::string& version, const std::vector<KovSystem>& systems,
                         bool duplicateConflict) {
    std::string t =
        "\"Output from Kovarian, version " + version + "\"\n\"written by hand\"\n" + version + "\n";
    const double v = std::stod(version);
    if (v >= 3 || v == 0)
        t += "\"Information text\n over two lines\"\n";
    else if (version == "1.97")
        t += "a line version 1.97 has here\n";
    t += "2\n";
    // Person 1: a repeated identical record (and one of the second system when
    // there is one), person 2: a contradicting one.
    t += systems.size() > 1 ? "\"Anna\"\nx\n1\nx\n#FALSE#\n3\n0\n1\n0\n1\n0\n0\n0\n0\n1\n"
                            : "\"Anna\"\nx\n1\nx\n#FALSE#\n2\n0\n1\n0\n1\n0\n0\n";
    t += "\"Bo\"\nx\n2\nx\n#TRUE#\n2 (Peak heights)\n";
    t +=
        duplicateConflict ? "0 100\n1 200\n0\n2 100\n2 200\n0\n" : "0 100\n1 200\n0\n1 1\n0 1\n0\n";
    t += "skip\nskip\nskip\n1\n0\n1\n";              // one common relation
    t += "2\na\nb\nc\nd\n0\na\nb\nc\nd\n1\n0\n1\n";  // two pedigrees
    t += "#FALSE#\n" + std::to_string(systems.size()) + "\n";
    if (v > 1.61) t += v >= 3 ? "#TRUE#\n\"Database 3\"\n" : "#FALSE#\n";
    for (const KovSystem& s : systems) {
        t += "\"" + s.name + "\"\n0.001\n0.002\n0\n1\n" + std::to_string(s.alleles.size()) +
             "\n0\n0.5\n";
        if (v >= 3) t += "0.0001\n0.0002\n";
        t += "0\nskip\n" + std::to_string(s.alleles.size()) + "\n";
        for (const auto& [name, frequency] : s.alleles) t += name + "\n" + frequency + "\n";
    }
    return t;
}

const std::vector<KovSystem> kSystems = {
    {"d1s1656", {{"\"11\"", "0.25"}, {"\"12,2\"", "0.5"}, {"\"13,1\"", "0.25"}}},
    {"D3S1358", {{"\"\"", "0.4"}, {"\"15\"", "0.6"}}},
    {"D99S1", {{"\"1\"", "1"}}},
};

struct Kovarian : ::testing::Test {
    TempFolder folder;
    ScopedCurrentDirectory here{folder.path()};
    ScriptedUserInterface ui;
    Core core;
    Kovarian() {
        folder.write(kMarkerPositionsFileName, "MARKER\tCHROMOSOME\tPOSITION\nD3S1358\t3\t16.2\n");
        core.markerMap.markers = {Marker("D1S1656", 1, 244.2)};
    }
};

TEST_F(Kovarian, version31ReadsInformationTextSecondRatesAndTheDatabaseName) {
    const std::string path = folder.write("case.kov", kovarianText("3.1", kSystems, true));
    ui.expectMessage(
          "Input file contains samples with duplicated case DNA data! Sample named Bo "
          "may be corrupted, discarding markers with duplicated data",
          "Relatix2")
        .expectMessage("Detected ',' in allele name (12,2). Change to '.' instead for all alleles?",
                       "Question", Answer::No)
        .expectMessage("Empty allele name detected, defaulting to Rest allele", "Relatix2")
        .expectMessage("Genetic position not found for D99S1, skipping this marker.", "Relatix2");
    EXPECT_TRUE(readKovarianFile(core, ui, path));
    ui.verify();
    ASSERT_EQ(core.populations.size(), 1u);
    const Population& pop = core.populations[0];
    EXPECT_EQ(pop.name, "Database 3");
    ASSERT_EQ(pop.markers.size(), 2u);
    const Marker& d1 = pop.markers[0];
    EXPECT_EQ(d1.name, "d1s1656");  // matched D1S1656 of the map, keeps its spelling
    EXPECT_EQ(d1.chromosome, 1);
    ASSERT_EQ(d1.alleles.size(), 3u);
    EXPECT_EQ(d1.alleles[1].name, "12.2");
    EXPECT_EQ(d1.alleles[2].name, "13,1");  // after No later commas stay
    EXPECT_EQ(d1.femaleMutation, (MutationSettings{1, 0.001, 0.0001, 0.1}));
    EXPECT_EQ(d1.maleMutation, (MutationSettings{2, 0.002, 0.0002, 0.5}));
    EXPECT_EQ(pop.markers[1].alleles[0].name, "Rest allele");
    EXPECT_EQ(markerPosition(core.markerMap, "D3S1358"), 2);  // added from the table
    EXPECT_TRUE(core.persons.empty());
}

TEST_F(Kovarian, version20HasNoSecondRatesAndIsNamedAfterTheFileAndAppendsOnRequest) {
    const std::string path = folder.write("EUR.kov", kovarianText("2.0", {kSystems[0]}, false));
    ui.expectMessage("Detected ',' in allele name (12,2). Change to '.' instead for all alleles?",
                     "Question", Answer::Yes);
    EXPECT_TRUE(readKovarianFile(core, ui, path));
    ASSERT_EQ(core.populations.size(), 1u);
    EXPECT_EQ(core.populations[0].name, "EUR");
    const Marker& d1 = core.populations[0].markers.at(0);
    EXPECT_EQ(d1.alleles[2].name, "13.1");
    EXPECT_DOUBLE_EQ(d1.femaleMutation.rate2, 0.00001);
    EXPECT_DOUBLE_EQ(d1.maleMutation.rate2, 0.00001);

    // Imported again through the database import: asked, and on Yes every marker twice.
    ui.expectMessage(kAppendFrequenciesQuestion, "Question", Answer::Yes)
        .expectMessage("Detected ',' in allele name (12,2). Change to '.' instead for all alleles?",
                       "Question", Answer::Yes);
    EXPECT_TRUE(readDatabase(core, ui, path));
    EXPECT_EQ(core.populations[0].markers.size(), 2u);
    ui.expectMessage(kAppendFrequenciesQuestion, "Question", Answer::Cancel);
    EXPECT_FALSE(readDatabase(core, ui, path));
}

// Names as real files write them, with blanks or tabs around them and in another
// case, find their marker in every reader and are kept as written, trimmed.
TEST_F(Kovarian, markerNamesWithSurroundingBlanksFindTheirMarkerInEveryReader) {
    folder.write(kMarkerPositionsFileName,
                 "MARKER\tCHROMOSOME\tPOSITION\n D4S2366 \t4\t12.9\nD3S1358\t3\t16.2\n");
    const std::vector<std::pair<std::string, double>> halves = {{"8", 0.5}, {"9", 0.5}};
    std::vector<KovSystem> systems;
    for (const std::string name : {"D4S2366 ", "\td1s1656 ", "  D3S1358"})
        systems.push_back({name, {{"\"8\"", "0.5"}, {"\"9\"", "0.5"}}});
    SilentUserInterface silent;
    ASSERT_TRUE(readKovarianFile(core, silent,
                                 folder.write("blank.kov", kovarianText("3.1", systems, false))));
    ASSERT_EQ(core.populations.size(), 1u);
    std::vector<std::string> names;
    for (const Marker& m : core.populations[0].markers) names.push_back(m.name);
    EXPECT_EQ(names, (std::vector<std::string>{"D4S2366", "d1s1656", "D3S1358"}));
    EXPECT_EQ(markerPosition(core.markerMap, "D4S2366"), 3);  // after D3S1358, by chromosome
    EXPECT_EQ(core.markerMap.markers[2].name, "D4S2366");
    // The case's own lookups take the name in any case and with blanks around it.
    EXPECT_NE(findMarker(core.populations[0], " D1S1656\t"), nullptr);

    // A frequency file and a map file written with blanks around the names.
    ASSERT_TRUE(importFreqFile(core, silent,
                               folder.write("other.freq", "M  D4S2366 \nA 8 0.5\nA 9 0.5\n")));
    ASSERT_EQ(core.populations.size(), 2u);
    ASSERT_EQ(core.populations[1].markers.size(), 1u);
    EXPECT_EQ(core.populations[1].markers[0].name, "D4S2366");
    ASSERT_TRUE(importMapFile(core, silent, folder.write("m.map", "12\t vWA \t15.6\n")));
    EXPECT_EQ(core.markerMap.markers.back().name, "vWA");
    EXPECT_EQ(core.markerMap.markers.size(), 4u);
    EXPECT_EQ(sameMarkerName("PENTA D ", "penta d"), true);
    EXPECT_EQ(sameMarkerName("PENTA D", "PENTAD"), false);
}

TEST_F(Kovarian, badHeadersAreReportedAndReadNothing) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"short\n",
         "Missing information in the beginning of the file, should contain Output from "
         "kovarian, version x.xx"},
        {"<?xml version=\"1.0\"?>\n",
         "Current version of Relatix does not support the Kovarian "
         "xml format"},
        {"\"Input from somewhere\"\n",
         "Missing information in the start of the file, should "
         "contain Output from kovarian, version x.xx"},
    };
    for (const auto& [text, message] : cases) {
        ui.expectMessage(message, "Relatix2");
        EXPECT_TRUE(readKovarianFile(core, ui, folder.write("bad.kov", text)));
        EXPECT_TRUE(core.populations.empty());
    }
    ui.expectMessage("Could not open Kovarian file, please check permissions", "Relatix2");
    EXPECT_TRUE(readKovarianFile(core, ui, folder.file("missing.kov")));
}

TEST_F(Kovarian, openRecognisesTheFileAndKeepsNoPersons) {
    const std::string path = folder.write("open.kov", kovarianText("1.97", {kSystems[0]}, false));
    // Open starts from an empty case: the marker's place comes from the table.
    folder.write(kMarkerPositionsFileName, "MARKER\tCHROMOSOME\tPOSITION\nD1S1656\t1\t244.2\n");
    ui.expectMessage("Detected ',' in allele name (12,2). Change to '.' instead for all alleles?",
                     "Question", Answer::Yes);
    EXPECT_TRUE(openProject(core, path, ui));
    ASSERT_EQ(core.populations.size(), 1u);
    EXPECT_EQ(core.populations[0].name, "open");
    EXPECT_EQ(core.populations[0].markers.size(), 1u);
    EXPECT_EQ(core.mainHypothesis, kNoHypothesis);
}

TEST_F(Kovarian, textDatabasesAreRoutedByNameAndReplaceTheDatabaseLastingly) {
    std::string text = "\"D3S1358\"\nnot used\n";
    for (int i = 0; i < 8; ++i) text += "x\n";
    text += "2\n\"14\"\n0.3\n0 15\n0.7\n";
    const std::string path = folder.write("pop.FREQ", text);  // not a freq file: case matters
    core.clusterDatabase.clusters.resize(3);
    ui.expectDialogOf<SelectSystemsPresenter>("Select systems", [](SelectSystemsPresenter& p) {
          EXPECT_EQ(p.rows(), (std::vector<std::vector<std::string>>{{"D3S1358", "2"}}));
          EXPECT_EQ(p.selectedRows(), (std::vector<int>{0}));
          p.import();
          return p.result();
      }).expectMessage(kReplaceDatabaseQuestion, "Question", Answer::No);
    EXPECT_FALSE(readDatabase(core, ui, path));
    EXPECT_EQ(core.clusterDatabase.clusters.size(), 3u);

    ui.expectDialogOf<SelectSystemsPresenter>("Select systems", [](SelectSystemsPresenter& p) {
          p.import();
          return p.result();
      }).expectMessage(kReplaceDatabaseQuestion, "Question", Answer::Yes);
    EXPECT_TRUE(readDatabase(core, ui, path));
    ASSERT_EQ(core.clusterDatabase.clusters.size(), 1u);
    const ClusterSystem& system = core.clusterDatabase.clusters[0].systems.at(0);
    EXPECT_EQ(system.alleleNames, (std::vector<std::string>{"14", "15"}));
    EXPECT_EQ(core.clusterDatabase.clusters[0].chromosome, 2);
    // The active population holds the system, so the next calculation keeps it.
    const Population* active = core.populationAt(core.activePopulation);
    ASSERT_NE(active, nullptr);
    EXPECT_EQ(active->name, "pop");
    ASSERT_EQ(active->markers.size(), 1u);
    EXPECT_DOUBLE_EQ(active->markers[0].alleles[1].frequency, 0.7);
    EXPECT_GE(markerPosition(core.markerMap, "D3S1358"), 1);

    ui.expectDialog("Select systems", [](Presenter&) { return DialogResult::Cancel; });
    EXPECT_FALSE(readDatabase(core, ui, folder.write("empty.txt", "\nrest\n")));
    // The Kovarian header on line 2 hands the file to the Kovarian reader, which
    // then finds line 1 too short for its header.
    ui.expectMessage(
        "Missing information in the beginning of the file, should contain Output "
        "from kovarian, version x.xx",
        "Relatix2");
    EXPECT_TRUE(readDatabase(
        core, ui, folder.write("k.txt", "\"x\"\n" + kovarianText("1.97", {kSystems[0]}, false))));
}

// A file cut inside an item, or a DNA record pointing outside the file's
// systems or alleles, is refused with the file, the line and the item, through
// Open and through the database import alike, and nothing of it is read.
TEST_F(Kovarian, damagedFilesAreRefusedWholeWithTheirLine) {
    const std::string valid = kovarianText("3.1", kSystems, false);
    // Bo's block with one record instead of its own.
    const size_t bo = valid.find("\"Bo\""), boLength = valid.find("skip", bo) - bo;
    const std::string index = folder.write(
        "index.kov",
        std::string(valid).replace(bo, boLength, "\"Bo\"\nx\n2\nx\n#TRUE#\n1\n999\n0\n0\n"));
    ui.expectMessage(index +
                         ", line 28: the DNA record of Bo names allele index 999 of system "
                         "d1s1656, which has 3 alleles",
                     "Relatix2");
    EXPECT_FALSE(readDatabase(core, ui, index));
    EXPECT_TRUE(core.populations.empty());
    EXPECT_EQ(core.markerMap.markers.size(), 1u);  // nothing added from the table

    const std::string system = folder.write(
        "system.kov",
        std::string(valid).replace(bo, boLength, "\"Bo\"\nx\n2\nx\n#TRUE#\n1\n0\n0\n3\n"));
    ui.expectMessage(system +
                         ", line 28: the DNA record of Bo names system index 3, but the file "
                         "has 3 systems",
                     "Relatix2");
    EXPECT_FALSE(openProject(core, system, ui));

    // Cut after any line before the last allele's frequency: refused, and the
    // message names the file and where the cut item begins.
    const std::vector<std::string> lines = splitTextLines(valid);
    SilentUserInterface silent;
    for (size_t keep = 3; keep < lines.size(); ++keep) {
        std::string text;
        for (size_t i = 0; i < keep; ++i) text += lines[i] + "\n";
        Core fresh;
        const std::string path = folder.write("cut.kov", text);
        EXPECT_FALSE(readKovarianFile(fresh, silent, path)) << keep;
        EXPECT_TRUE(fresh.populations.empty()) << keep;
    }
    ui.expectMessage(
        folder.file("cut.kov") + ", line 76: the file ends inside system 2 of 3 (D3S1358)",
        "Relatix2");
    std::string text;
    for (size_t i = 0; i < 80; ++i) text += lines[i] + "\n";
    EXPECT_FALSE(readKovarianFile(core, ui, folder.write("cut.kov", text)));
    // The whole file without its last line break is complete.
    EXPECT_TRUE(readKovarianFile(core, silent,
                                 folder.write("whole.kov", valid.substr(0, valid.size() - 1))));
}

// Frequency, map and text databases cut inside an entry are refused with the
// file and the line before the case changes.
TEST_F(Kovarian, databaseFilesCutInsideAnEntryAreRefused) {
    const std::string freq = folder.write("EUR.freq", "M\tD3S1358\nA\t14\t0.5\nA\t15");
    ui.expectMessage(freq + ", line 3: the file ends inside the alleles of marker D3S1358",
                     "Relatix2");
    EXPECT_FALSE(readDatabase(core, ui, freq));
    EXPECT_TRUE(core.populations.empty());
    const std::string gap = folder.write("gap.freq", "M D3S1358\nA 14\nA 15 0.5\n");
    ui.expectMessage(gap + ", line 2: an allele of marker D3S1358 has no frequency", "Relatix2");
    EXPECT_FALSE(readDatabase(core, ui, gap));
    EXPECT_TRUE(core.populations.empty());

    const std::string map = folder.write("m.map", "CHR\tMARKER\tPOS\n12\tvWA\t15.6\n3\tD3S1358");
    ui.expectMessage(kMapFormatNotice, "Relatix2")
        .expectMessage(map + ", line 3: the file ends inside the map entry of D3S1358", "Relatix2");
    EXPECT_FALSE(readDatabase(core, ui, map));
    EXPECT_EQ(markerPosition(core.markerMap, "vWA"), -1);

    std::string text = "\"D3S1358\"\nnot used\n";
    for (int i = 0; i < 8; ++i) text += "x\n";
    const std::string cut = folder.write("cut.txt", text + "2\n\"14\"\n0.3\n\"15\"\n");
    ui.expectMessage(
        cut + ", line 14: the file ends inside the system D3S1358 (1 of 2 alleles read)",
        "Relatix2");
    EXPECT_FALSE(readDatabase(core, ui, cut));
    const std::string header = folder.write("header.txt", "\"D3S1358\"\nnot used\nx\n");
    ui.expectMessage(header +
                         ", line 3: the file ends inside the system D3S1358 before its allele "
                         "count",
                     "Relatix2");
    EXPECT_FALSE(readDatabase(core, ui, header));
    EXPECT_TRUE(core.populations.empty());
}

TEST(SelectSystems, importKeepsAtMostTwoSystems) {
    ScriptedUserInterface ui;
    SelectSystemsPresenter p(ui, {{"A", 3}, {"B", 4}, {"C", 5}});
    EXPECT_EQ(p.selectedRows(), (std::vector<int>{0, 1}));
    p.setSelectedRows({2, 0, 1, 7});
    ui.expectMessage(kOnlyTwoSystemsMessage, "Error");
    p.import();
    EXPECT_TRUE(p.closed());
    EXPECT_EQ(p.chosen(), (std::vector<int>{0, 1}));
}

// Truncated, inflated and damaged case files end without crashing or hanging.
TEST(KovarianFuzz, damagedFilesAreReadWithoutCrashing) {
    TempFolder folder;
    ScopedCurrentDirectory here(folder.path());
    const std::string valid = kovarianText("3.1", kSystems, true);
    std::mt19937 random(18);
    for (int round = 0; round < 300; ++round) {
        std::string text = valid;
        const int kind = round % 4;
        if (kind == 0) {
            text.resize(random() % text.size());
        } else if (kind == 1) {  // a count inflated, negated or made absurd
            static const char* counts[] = {"2147483647", "-5", "1e300", "99999999"};
            size_t at = text.find('\n', random() % text.size());
            if (at == std::string::npos) at = 0;
            text.insert(at + 1, std::string(counts[random() % 4]) + "\n");
        } else if (kind == 2) {
            for (int k = 0; k < 10; ++k) text[random() % text.size()] = static_cast<char>(random());
        } else {
            text.erase(random() % text.size(), random() % 40);
        }
        SilentUserInterface ui;
        Core core;
        readKovarianFile(core, ui, folder.write("f.kov", text));
        readDatabase(core, ui, folder.write("f.txt", text.substr(text.find('\n') + 1)));
        for (const Population& p : core.populations) EXPECT_LE(p.markers.size(), 10u);
    }
}

}  // namespace
}  // namespace relatix
