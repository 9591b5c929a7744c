// Values that enter through a project file or config.dat are checked: a value
// outside its range keeps its default and is named in the summary with its line;
// special and truncated files are refused or reported, never read silently.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <clocale>

#include "core/core.h"
#include "core/decimal_text.h"
#include "persistence/default_configuration.h"
#include "persistence/import_warnings.h"
#include "persistence/open_project.h"
#include "persistence/text_lines.h"
#include "support/scripted_user_interface.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

using testing::ScriptedUserInterface;
using testing::TempFolder;

std::string marker(const std::string& name, const std::string& chromosome,
                   const std::string& position, const std::string& model = "1",
                   const std::string& rate = "0.001") {
    return "<MARKER>\n<MARKERNAME>" + name + "</MARKERNAME>\n<MARKERCHROMOSOME>" + chromosome +
           "</MARKERCHROMOSOME>\n<MARKERPOSITION>" + position +
           "</MARKERPOSITION>\n<MARKERMUTATIONSETTINGS>\n<MARKERMALEMUTATIONMODEL>" + model +
           "</MARKERMALEMUTATIONMODEL>\n<MARKERMALEMUTATIONRATE>" + rate +
           "</MARKERMALEMUTATIONRATE>\n</MARKERMUTATIONSETTINGS>\n</MARKER>\n";
}

std::string allele(const std::string& name, const std::string& frequency) {
    return "<POPULATIONMARKERALLELE>\n<POPULATIONMARKERALLELENAME>" + name +
           "</POPULATIONMARKERALLELENAME>\n<POPULATIONMARKERALLELEFREQUENCY>" + frequency +
           "</POPULATIONMARKERALLELEFREQUENCY>\n</POPULATIONMARKERALLELE>\n";
}

struct ValidationFixture : ::testing::Test {
    TempFolder folder;
    ScriptedUserInterface ui;
    Core core{"/prog"};

    std::string open(const std::string& text) {
        ui.expectTextWindow();
        EXPECT_TRUE(openProject(core, folder.write("case.sav", text), ui));
        return ui.textWindows.empty() ? std::string() : ui.textWindows.back();
    }
};

TEST_F(ValidationFixture, valuesOutsideTheirRangeKeepTheirDefaultsAndAreListed) {
    const std::string text =
        "<RELATIX>\n<MARKERS>\n" + marker("A", "1", "10") + marker("B", "2", "I60") +
        marker("C", "-1e999", "5") + marker("D", "24", "7") + marker("E", "3", "1e999") +
        marker("F", "4", "-1") + marker("G", "5", "2", "4", "1.5") +
        "<MARKER>\n<MARKERNAME>H</MARKERNAME>\n<MARKERCHROMOSOME>6</MARKERCHROMOSOME>\n" +
        marker("I", "7", "3", "0", "nan") +
        "</MARKERS>\n<POPULATION>\n<POPULATIONNAME>P</POPULATIONNAME>\n"
        "<POPULATIONTHETA>2</POPULATIONTHETA>\n<POPULATIONMARKERS>\n<POPULATIONMARKER>\n"
        "<POPULATIONMARKERNAME>A</POPULATIONMARKERNAME>\n<POPULATIONMARKERALLELES>\n" +
        allele("1", "abc") + allele("2", "0.5") + allele("3", "-5") + allele("4", "inf") +
        allele("5", "1e999") + allele("6", "0.25") +
        "</POPULATIONMARKERALLELES>\n</POPULATIONMARKER>\n</POPULATIONMARKERS>\n"
        "</POPULATION>\n</RELATIX>\n";
    const std::string summary = open(text);
    EXPECT_EQ(summary.rfind("Import was successful", 0), 0u) << summary;

    // Imported: A, D (chromosome 24 stays in the map), G and I with default mutation values.
    std::vector<std::string> names;
    for (const Marker& m : core.markerMap.markers) names.push_back(m.name);
    EXPECT_EQ(names, (std::vector<std::string>{"A", "G", "I", "D"})) << summary;
    for (const Marker& m : core.markerMap.markers) {
        EXPECT_GE(m.maleMutation.model, 1) << m.name;
        EXPECT_LE(m.maleMutation.model, 3) << m.name;
        EXPECT_GE(m.maleMutation.rate, 0.0) << m.name;
        EXPECT_LE(m.maleMutation.rate, 1.0) << m.name;
    }
    ASSERT_EQ(core.populations.size(), 1u);
    EXPECT_EQ(core.populations[0].theta, 0.0);
    ASSERT_EQ(core.populations[0].markers.size(), 1u);
    const auto& alleles = core.populations[0].markers[0].alleles;
    ASSERT_EQ(alleles.size(), 2u);
    EXPECT_EQ(alleles[0].name, "2");
    EXPECT_EQ(alleles[1].frequency, 0.25);

    const size_t heading = summary.find("The following tags/lines (if any) were not recognized");
    ASSERT_NE(heading, std::string::npos);
    const std::string listed = summary.substr(heading);
    for (const char* expected :
         {"Line 15: <MARKERPOSITION>I60</MARKERPOSITION> - a position must be",
          "<MARKERCHROMOSOME>-1e999</MARKERCHROMOSOME> - a chromosome must be",
          "the marker B has no valid position and was not imported",
          "the marker C has no valid chromosome", "the marker E has no valid position",
          "the marker F has no valid position", "<MARKERMALEMUTATIONMODEL>4<",
          "<MARKERMALEMUTATIONRATE>1.5<", "<MARKERMALEMUTATIONMODEL>0<",
          "<MARKERMALEMUTATIONRATE>nan<", "the marker H has no </MARKER> line",
          "<POPULATIONTHETA>2</POPULATIONTHETA> - Theta (Fst) must be",
          ">abc</POPULATIONMARKERALLELEFREQUENCY> - a frequency must be", ">-5<", ">inf<",
          ">1e999<"})
        EXPECT_NE(listed.find(expected), std::string::npos) << expected << "\n" << listed;
}

// A population's theta from 1 up (or below 0) is refused with its line and the
// theta kept; one above 0.1 is taken with a warning; the case takes the active
// population's theta.
TEST_F(ValidationFixture, thetaOfAPopulationIsCheckedWithItsLine) {
    auto population = [](const std::string& name, const std::string& theta) {
        return "<POPULATION>\n<POPULATIONNAME>" + name + "</POPULATIONNAME>\n<POPULATIONTHETA>" +
               theta + "</POPULATIONTHETA>\n</POPULATION>\n";
    };
    const std::string summary =
        open("<RELATIX>\n<GENERAL>\n<ACTIVEPOPULATION>1</ACTIVEPOPULATION>\n" +
             population("Five", "5") + population("Large", "0.9") + population("Usual", "0.05") +
             population("Below", "-0.01") + "</RELATIX>\n");
    ASSERT_EQ(core.populations.size(), 4u);
    EXPECT_EQ(core.populations[0].theta, 0.0);
    EXPECT_EQ(core.populations[1].theta, 0.9);
    EXPECT_EQ(core.populations[2].theta, 0.05);
    EXPECT_EQ(core.populations[3].theta, 0.0);
    EXPECT_EQ(core.clusterDatabase.theta, 0.0);
    for (const char* expected :
         {"Line 6: <POPULATIONTHETA>5</POPULATIONTHETA> - Theta (Fst) must be a number from 0 to "
          "below 1; not used, the population's theta stays 0\r\n",
          "Line 10: Theta (Fst) 0.9 is unusually large (above 0.1); it is used as given\r\n",
          "Line 18: <POPULATIONTHETA>-0.01</POPULATIONTHETA> - Theta (Fst) must be"})
        EXPECT_NE(summary.find(expected), std::string::npos) << expected << "\n" << summary;
    EXPECT_EQ(summary.find("0.05 is unusually"), std::string::npos) << summary;
}

// The findings of the summary, as data: each with its line, or none when the
// finding has no line; the summary stays as the desktop program shows it.
TEST_F(ValidationFixture, theFindingsOfTheSummaryAreCollectedWithTheirLines) {
    const std::string text = "<RELATIX>\n<MARKERS>\n" + marker("A", "1", "10") +
                             marker("B", "2", "I60") + "</MARKERS>\n\t<STRANGE>x</STRANGE>\n" +
                             "<PERSONS>\n<PERSON>\n<PERSONNAME>P</PERSONNAME>\n</PERSON>\n";
    std::string summary;
    std::vector<ImportWarning> warnings;
    {
        ImportWarningCollector collector;
        summary = open(text);
        warnings = collector.warnings();
    }
    const std::vector<ImportWarning> expected = {
        {15,
         "<MARKERPOSITION>I60</MARKERPOSITION> - a position must be a number of cM from 0; "
         "not used"},
        {20, "the marker B has no valid position and was not imported"},
        {22, "not recognized: <STRANGE>x</STRANGE>"},
        {std::nullopt, "Failed to import persons"},
        {std::nullopt, "The file ends before </RELATIX>; it may be incomplete"}};
    EXPECT_EQ(warnings, expected);
    // Without a collector nothing is kept, and the summary is the same.
    Core again{"/prog"};
    ui.expectTextWindow();
    ASSERT_TRUE(openProject(again, folder.write("again.sav", text), ui));
    EXPECT_EQ(ui.textWindows.back(), summary);
    EXPECT_NE(summary.find("Line 20: the marker B has no valid position"), std::string::npos);
    EXPECT_NE(summary.find("\r\n\t<STRANGE>x</STRANGE>\r\n"), std::string::npos) << summary;
}

TEST_F(ValidationFixture, aFileCutBeforeItsClosingTagSaysSo) {
    const std::string summary = open("<RELATIX>\n<MARKERS>\n" + marker("A", "1", "10"));
    EXPECT_EQ(summary.rfind("The file ends before </RELATIX>; it may be incomplete", 0), 0u)
        << summary;
    EXPECT_EQ(summary.find("Import was successful"), std::string::npos);
    EXPECT_EQ(core.markerMap.markers.size(), 1u);
}

TEST_F(ValidationFixture, specialFilesAreRefusedWithoutBlocking) {
    const std::string fifo = folder.file("case.fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    for (const std::string& path : {fifo, folder.path().string(), std::string("/dev/zero")}) {
        ui.expectMessage(path + " is not a regular file", "Relatix2");
        EXPECT_FALSE(openProject(core, path, ui)) << path;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    const TextFile file = readTextFile(fifo);
    EXPECT_FALSE(file.text);
    EXPECT_TRUE(file.refused);
}

TEST(NumberParsing, wholeTextsOnlyAndIndependentOfTheLocale) {
    EXPECT_EQ(parseDecimal(" 0.25 "), 0.25);
    EXPECT_EQ(parseDecimal("1e-005"), 1e-5);
    EXPECT_EQ(parseDecimal("+3"), 3.0);
    for (const char* bad : {"", "abc", "I60", "1e999", "nan", "inf", "-inf", "0.5x", "1,5", "+-1"})
        EXPECT_FALSE(parseDecimal(bad)) << bad;
    EXPECT_EQ(parseInteger("-12"), -12);
    EXPECT_FALSE(parseInteger("7.5"));
    EXPECT_EQ(readLeadingInteger("99999999999999"), 2147483647);
    // A decimal comma locale (when installed) changes nothing.
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
        EXPECT_EQ(parseDecimal("0.125"), 0.125);
        std::setlocale(LC_NUMERIC, "C");
    }
}

TEST(DefaultConfiguration, valuesOutsideTheirRangeKeepTheirDefaults) {
    TempFolder folder;
    folder.write("config.dat",
                 "[Default configuration - Relatix Version 2.1]\r\n[Default parameters]\r\n"
                 "NewAlleleFrequency = abc\r\nErrorRate = 1.5\r\n[Clusters]\r\n"
                 "NumberOfClusters = 1\r\nClusterName = c\r\n[[Allele systems]]\r\n"
                 "NumberOfSystems = 1\r\nSystemName = S\r\nGeneticPosition = I60\r\n"
                 "[[[Alleles]]]\r\nNumberOfAlleles = 3\r\n1\t0.5\r\n2\t1e999\r\n3\t0.5\r\n"
                 "[[Haplotypes]]\r\nNumberOfHaplotypes = 0\r\nEnd");
    Core core(folder.path().string());
    const std::vector<std::string> problems = readDefaultConfiguration(core);
    const ClusterDatabase& db = core.clusterDatabase;
    EXPECT_EQ(db.newAlleleFrequency, 0.01);
    EXPECT_EQ(db.errorRate, 0.001);
    ASSERT_EQ(db.clusters.size(), 1u);
    ASSERT_EQ(db.clusters[0].systems.size(), 1u);
    const ClusterSystem& system = db.clusters[0].systems[0];
    EXPECT_GE(system.position, 0.0);
    EXPECT_EQ(system.alleleNames, (std::vector<std::string>{"1", "3"}));
    ASSERT_EQ(problems.size(), 4u);
    EXPECT_EQ(problems[0].rfind("config.dat line 3: ", 0), 0u) << problems[0];
    EXPECT_EQ(problems[3].rfind("config.dat line 15: ", 0), 0u) << problems[3];
}

}  // namespace
}  // namespace relatix
