#include "persistence/database_files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <random>

#include "core/core.h"
#include "core/decimal_text.h"
#include "core/frequency_database.h"
#include "persistence/marker_positions.h"
#include "platform/atomic_file.h"
#include "platform/silent_user_interface.h"
#include "support/scripted_user_interface.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

using testing::readFile;
using testing::ScopedCurrentDirectory;
using testing::ScriptedUserInterface;
using testing::TempFolder;

TEST(BuiltInMarkerTable, holdsTheTableAndTheDeliveredFileMatchesIt) {
    const auto& table = builtInMarkerTable();
    ASSERT_EQ(table.size(), 62u);
    const MapEntry pentaC = lookupBuiltInMarker("penta c", false);
    EXPECT_EQ(pentaC.name, "PENTA C");
    EXPECT_EQ(pentaC.chromosome, 9);
    EXPECT_DOUBLE_EQ(pentaC.position, 38);
    const MapEntry quoted = lookupBuiltInMarker("\"vwa\"", true);
    EXPECT_EQ(quoted.chromosome, 12);
    EXPECT_DOUBLE_EQ(quoted.position, 15.6);
    const MapEntry unknown = lookupBuiltInMarker("D99S1", false);
    EXPECT_EQ(unknown.chromosome, -1);
    EXPECT_DOUBLE_EQ(unknown.position, 10000);

    const std::vector<MapEntry> delivered = parseMarkerPositions(
        readFile(std::string(RELATIX_PROGRAM_FOLDER) + "/" + kMarkerPositionsFileName));
    ASSERT_EQ(delivered.size(), table.size());
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(delivered[i].name, table[i].name);
        EXPECT_EQ(delivered[i].chromosome, table[i].chromosome) << table[i].name;
        EXPECT_DOUBLE_EQ(delivered[i].position, table[i].position) << table[i].name;
    }
}

struct DatabaseFiles : ::testing::Test {
    TempFolder folder;
    ScriptedUserInterface ui;
    Core core;
    DatabaseFiles() { core.markerMap.markers = {Marker("D1S1656", 1, 244.2)}; }
};

TEST_F(DatabaseFiles, markerPositionsComeFromTheCurrentDirectoryBeforeTheProgramFolder) {
    ScopedCurrentDirectory here(folder.path());
    TempFolder program;
    program.write(kMarkerPositionsFileName, "header\nD3S1358\t3\t16.2\n");
    EXPECT_EQ(loadDefaultMarkerPositions(program.path().string()).size(), 1u);
    folder.write(kMarkerPositionsFileName, "header\r\nA\t1\t2\r\nB\t2\t3,5\r\nbad line\r\n");
    const auto table = loadDefaultMarkerPositions(program.path().string());
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[1].name, "B");
    EXPECT_EQ(table[1].chromosome, 2);
}

TEST_F(DatabaseFiles, freqImportPlacesMarkersAndAsksBeforeAppending) {
    ScopedCurrentDirectory here(folder.path());
    folder.write(kMarkerPositionsFileName, "MARKER\tCHROMOSOME\tPOSITION\nD3S1358\t3\t16.2\n");
    const std::string path = folder.write(
        "EUR.freq",
        "M\td1s1656\r\nA\t11\t0.25\r\nA\t12\t0.75\r\nM\tD3S1358\t\r\nA\t14\t0.12\r\nA\t15\t0.88\r\n"
        "M\tD99S1\r\nA\t1\t1\r\n");
    EXPECT_TRUE(importFreqFile(core, ui, path));
    ASSERT_EQ(core.populations.size(), 1u);
    const Population& eur = core.populations[0];
    EXPECT_EQ(eur.name, "EUR");
    ASSERT_EQ(eur.markers.size(), 2u);  // D99S1 is on no map
    EXPECT_EQ(eur.markers[0].name, "d1s1656");
    EXPECT_EQ(eur.markers[0].chromosome, 1);
    EXPECT_EQ(eur.markers[1].name, "D3S1358");
    ASSERT_EQ(eur.markers[1].alleles.size(), 2u);
    EXPECT_DOUBLE_EQ(eur.markers[1].alleles[0].frequency, 0.12);
    ASSERT_EQ(core.markerMap.markers.size(), 2u);  // D3S1358 added from the table
    EXPECT_EQ(markerPosition(core.markerMap, "D3S1358"), 2);

    ui.expectMessage(kAppendFrequenciesQuestion, "Question", Answer::Yes);
    EXPECT_TRUE(importFreqFile(core, ui, path));
    EXPECT_EQ(core.populations.size(), 1u);
    EXPECT_EQ(core.populations[0].markers.size(), 4u);
    ui.expectMessage(kAppendFrequenciesQuestion, "Question", Answer::Cancel);
    EXPECT_FALSE(importFreqFile(core, ui, path));
    EXPECT_EQ(core.populations[0].markers.size(), 4u);

    ui.expectMessage("Could not open freq file", "Error");
    EXPECT_FALSE(importFreqFile(core, ui, folder.file("missing.freq")));
}

// A frequency that is no probability, or a position that is no distance, is a
// damaged entry: the file is refused with its line and value, and nothing of it
// enters the case.
TEST_F(DatabaseFiles, valuesThatAreNoProbabilityOrDistanceRefuseTheFile) {
    for (const char* bad : {"nan", "-1", "1e+308", "inf", "1.5", "0.2x"}) {
        const std::string path =
            folder.write("bad.freq", std::string("M\tD1S1656\nA\t11\t0.5\nA\t12\t") + bad + "\n");
        Core fresh;
        ui.expectMessage(path + ", line 3: the frequency '" + bad +
                             "' of allele 12 of marker D1S1656 is not a number from 0 to 1",
                         "Relatix2");
        EXPECT_FALSE(importFreqFile(fresh, ui, path)) << bad;
        EXPECT_TRUE(fresh.populations.empty()) << bad;
    }
    // A frequency of 0 is an allele not seen in the population: taken.
    Core zero;
    EXPECT_TRUE(
        importFreqFile(zero, ui, folder.write("zero.freq", "M\tD1S1656\nA\t11\t1\nA\t12\t0\n")));

    for (const char* bad : {"nan", "inf", "-5"}) {
        const std::string path =
            folder.write("bad.map", std::string("1\tA1\t10\n2\tB2\t") + bad + "\n");
        Core fresh;
        ui.expectMessage(kMapFormatNotice, "Relatix2")
            .expectMessage(path + ", line 2: the position '" + bad +
                               "' of marker B2 is not a number of cM from 0 up",
                           "Relatix2");
        EXPECT_FALSE(importMapFile(fresh, ui, path)) << bad;
        EXPECT_TRUE(fresh.markerMap.markers.empty()) << bad;
    }
    ui.verify();
}

TEST_F(DatabaseFiles, mapImportSkipsOtherChromosomesAndReadsDecimalCommas) {
    const std::string path =
        folder.write("m.map",
                     "Chromosome\tMarker\tPosition\r\nX\tDXS10135\t9,5\r\n3\tD3S1358\t57,3\r\n"
                     "23\tDXS1\t1\r\n22\tD22S1045\t46.2\n");
    ui.expectMessage(kMapFormatNotice, "Relatix2");
    EXPECT_TRUE(importMapFile(core, ui, path));
    const auto& map = core.markerMap.markers;
    ASSERT_EQ(map.size(), 3u);
    EXPECT_EQ(map[1].name, "D3S1358");
    EXPECT_EQ(map[1].chromosome, 3);
    EXPECT_DOUBLE_EQ(map[1].position, 57.3);
    EXPECT_EQ(map[2].name, "D22S1045");
}

TEST_F(DatabaseFiles, exportedFreqAndMapReadBackToTheSamePopulation) {
    core.markerMap.markers = {Marker("TPOX", 2, 1.7), Marker("PENTA C", 9, 38),
                              Marker("vWA", 12, 15.6), Marker("Empty", 13, 1)};
    Population pop;
    pop.name = "pop";
    Marker tpox("TPOX", 2, 1.7);
    tpox.alleles = {{"8", 0.5123456789}, {"9.3", 0.4876543211}};
    Marker penta("PENTA C", 9, 38);
    penta.alleles = {{"10", 1.0}};
    Marker vwa("vWA", 12, 15.6);
    vwa.alleles = {{"X", 0.25}, {"16", 0.75}};
    pop.markers = {vwa, tpox, penta, Marker("Empty", 13, 1)};
    core.populations = {pop};
    core.activePopulation = 1;

    const std::string chosen = folder.file("pop.txt");
    EXPECT_TRUE(exportDatabase(core, ui, chosen));
    EXPECT_EQ(readFile(folder.file("pop.txt")).rfind("TPOX\r\n8\t0.512346\r\n", 0), 0u);
    EXPECT_EQ(readFile(folder.file("pop.map")),
              "2\tTPOX\t1.7\r\n9\tPENTA C\t38\r\n12\tvWA\t15.6\r\n");

    Core back;
    ui.expectMessage(kMapFormatNotice, "Relatix2");
    EXPECT_TRUE(importMapFile(back, ui, folder.file("pop.map")));
    {
        ScopedCurrentDirectory here(folder.path());  // no markerPositions.map here
        EXPECT_TRUE(importFreqFile(back, ui, folder.file("pop.freq")));
    }
    ASSERT_EQ(back.markerMap.markers.size(), 3u);
    ASSERT_EQ(back.populations.size(), 1u);
    const Population& read = back.populations[0];
    EXPECT_EQ(read.name, "pop");
    ASSERT_EQ(read.markers.size(), 3u);
    for (const Marker& marker : read.markers) {
        const Marker* original = findMarker(pop, marker.name);
        ASSERT_NE(original, nullptr) << marker.name;
        ASSERT_EQ(marker.alleles.size(), original->alleles.size());
        for (size_t a = 0; a < marker.alleles.size(); ++a) {
            EXPECT_EQ(marker.alleles[a].name, original->alleles[a].name);
            EXPECT_EQ(formatGeneral(marker.alleles[a].frequency, 6),
                      formatGeneral(original->alleles[a].frequency, 6));
        }
        EXPECT_EQ(marker.chromosome, original->chromosome);
        EXPECT_DOUBLE_EQ(marker.position, original->position);
    }

    core.activePopulation = 0;
    ui.expectMessage("Please select a population", "Error");
    EXPECT_FALSE(exportDatabase(core, ui, folder.file("none.txt")));
    ui.expectMessage("Could not open txt file, aborting: No such file or directory", "Error");
    core.activePopulation = 1;
    EXPECT_FALSE(exportDatabase(core, ui, folder.file("no/such/folder/pop.txt")));

    // A full disk leaves the earlier export as it was, byte for byte.
    const std::string before = testing::readFile(folder.file("pop.freq"));
    ASSERT_FALSE(before.empty());
    core.populations[0].markers[0].alleles[0].frequency = 0.5;
    ui.expectMessage(
        "Could not write the exported files completely: " + std::string(std::strerror(ENOSPC)),
        "Error");
    simulateDiskFullAfter(10);
    const bool written = exportDatabase(core, ui, folder.file("pop.txt"));
    simulateDiskFullAfter(std::nullopt);
    EXPECT_FALSE(written);
    EXPECT_EQ(testing::readFile(folder.file("pop.freq")), before);
}

// Damaged freq and map files are read as far as they go, never crash or hang.
TEST(DatabaseFilesFuzz, damagedFilesAreReadWithoutCrashing) {
    TempFolder folder;
    ScopedCurrentDirectory here(folder.path());
    std::string freq, map = "Chromosome\tMarker\tPosition\r\n";
    for (const MapEntry& e : builtInMarkerTable()) {
        freq += "M\t" + e.name + "\r\n";
        for (int a = 5; a < 12; ++a) freq += "A\t" + std::to_string(a) + "\t0.1\r\n";
        map += std::to_string(e.chromosome) + "\t" + e.name + "\t" + formatGeneral(e.position, 6) +
               "\r\n";
    }
    folder.write(kMarkerPositionsFileName, map);
    std::mt19937 random(181);
    for (int round = 0; round < 300; ++round) {
        for (std::string text : {freq, map}) {
            const int kind = round % 3;
            if (kind == 0) {
                text.resize(random() % text.size());
            } else if (kind == 1) {
                for (int k = 0; k < 20; ++k)
                    text[random() % text.size()] = static_cast<char>(random());
            } else {
                text.insert(random() % text.size(), "\t2147483647\t-1e308\t,\r\nM\r\nA\r\n");
            }
            const bool isFreq = text.size() > 0 && text[0] == 'M';
            Core core;
            SilentUserInterface ui;
            const std::string path = folder.write(isFreq ? "f.freq" : "f.map", text);
            isFreq ? importFreqFile(core, ui, path) : importMapFile(core, ui, path);
            EXPECT_LE(core.markerMap.markers.size(), 200u);
        }
    }
}

}  // namespace
}  // namespace relatix
