#include "analysis/quick_analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "analysis/quick_linkage_files.h"
#include "analysis/quick_report.h"
#include "support/kovarian_case_writer.h"
#include "support/scripted_user_interface.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

using testing::KovCase;
using testing::ScopedCurrentDirectory;
using testing::ScriptedUserInterface;
using testing::TempFolder;

struct QuickAnalysis : ::testing::Test {
    TempFolder folder;
    ScopedCurrentDirectory here{folder.path()};

    QuickCase read(const KovCase& kov, const std::vector<MapEntry>& map = builtInMarkerTable()) {
        QuickCase quickCase;
        const QuickCaseRead result =
            readQuickCaseFile(folder.write("case.kov", kovarianCaseText(kov)), map, quickCase);
        EXPECT_TRUE(result.status.ok()) << result.status.message();
        return quickCase;
    }
    QuickOutcome analyse(const KovCase& kov, const std::string& name = "case.kov") {
        QuickRequest request;
        request.casePath = folder.write(name, kovarianCaseText(kov));
        request.mapPath = kQuickMapInitialText;
        request.programDirectory = RELATIX_PROGRAM_FOLDER;
        return analyseKovarianFile(request);
    }
};

TEST_F(QuickAnalysis, readsPersonsPedigreesAndSystems) {
    KovCase kov = testing::duoCase();
    kov.lineEnd = "\n";
    kov.storedResults = true;
    kov.persons.push_back({"Stray", false, {}});
    kov.commonRelations = {{0, 2}};
    kov.pedigrees[1].extraMales = 1;
    kov.pedigrees[1].relations = {{3, 1}, {2, 2}};  // a person is not its own parent
    kov.systems[1].name = "d3s1358 ";               // trailing blank, other case
    const QuickCase quickCase = read(kov);
    ASSERT_EQ(quickCase.persons.size(), 3u);
    EXPECT_EQ(quickCase.persons[0].sex, 1);
    EXPECT_EQ(quickCase.persons[1].sex, 2);
    EXPECT_EQ(quickCase.persons[1].records[1].firstName, "16");
    EXPECT_EQ(quickCase.persons[1].records[1].secondName, "17");
    EXPECT_TRUE(quickCase.persons[2].records.empty());
    ASSERT_EQ(quickCase.pedigrees.size(), 2u);
    // Own relations first, then the common ones.
    ASSERT_EQ(quickCase.pedigrees[0].relations.size(), 2u);
    EXPECT_EQ(quickCase.pedigrees[0].relations[1].child, 2);
    ASSERT_EQ(quickCase.pedigrees[1].relations.size(), 2u);
    EXPECT_EQ(quickCase.pedigrees[1].relations[0].parent, 3);
    EXPECT_EQ(quickCase.systems[1].name, "d3s1358");
    EXPECT_EQ(quickCase.systems[1].chromosome, 3);
    EXPECT_DOUBLE_EQ(quickCase.systems[1].position, 16.2);
    EXPECT_EQ(quickCase.warnings.size(), 1u);
}

// An index outside its list, or a file cut inside an item, refuses the file
// with the file, the line and the item, told to the user: an analysis of a
// record moved to another allele, or of part of a case, would give a wrong ratio.
TEST_F(QuickAnalysis, damagedFilesAreRefusedWithTheirLine) {
    QuickCase quickCase;
    const std::string path = folder.file("bad.kov");
    const auto refusal = [&](const KovCase& kov) {
        const QuickCaseRead read = readQuickCaseFile(folder.write("bad.kov", kovarianCaseText(kov)),
                                                     builtInMarkerTable(), quickCase);
        EXPECT_TRUE(read.tell);
        return read.status.ok() ? std::string() : read.status.message();
    };
    KovCase allele = testing::duoCase();
    allele.persons[0].records[0] = {999, 0, 0};
    EXPECT_EQ(refusal(allele), path +
                                   ", line 12: the DNA record of Father for system index 0 "
                                   "(allele indexes 999 and 0) names an allele outside the 3 "
                                   "alleles of D1S1656");
    KovCase system = testing::duoCase();
    system.persons[1].records[1] = {0, 0, 2};
    EXPECT_EQ(refusal(system), path +
                                   ", line 27: the DNA record of Child for system index 2 "
                                   "(allele indexes 0 and 0) names no system of the 2 systems "
                                   "of the file");
    KovCase relation = testing::duoCase();
    relation.pedigrees[1].relations = {{5, 1}};
    EXPECT_EQ(refusal(relation),
              path +
                  ", line 47: Pedigree 2 (Unrelated): the relation of parent index 5 and child "
                  "index 1 names a person outside its 2 persons");

    // Cut after any line before the last frequency: refused and told.
    const std::string whole = kovarianCaseText(testing::duoCase());
    size_t cuts = 0;
    for (size_t end = whole.find("\r\n"); end + 2 < whole.size();
         end = whole.find("\r\n", end + 2)) {
        const QuickCaseRead read = readQuickCaseFile(
            folder.write("cut.kov", whole.substr(0, end + 2)), builtInMarkerTable(), quickCase);
        EXPECT_FALSE(read.status.ok()) << end;
        EXPECT_TRUE(read.tell) << end;
        ++cuts;
    }
    EXPECT_GT(cuts, 40u);
    const QuickCaseRead cut =
        readQuickCaseFile(folder.write("cut.kov", whole.substr(0, whole.find("\"D3S1358\"") + 20)),
                          builtInMarkerTable(), quickCase);
    EXPECT_EQ(cut.status.message(),
              folder.file("cut.kov") + ", line 70: the file ends inside system 2 of 2 (D3S1358)");
}

TEST_F(QuickAnalysis, theVersionDecidesTheLinesBeforeThePersonsAndTheSecondRates) {
    for (const char* version : {"1.5", "1.97", "2.0", "3.0", "3.1"}) {
        KovCase kov = testing::duoCase();
        kov.version = version;
        const QuickCase quickCase = read(kov);
        ASSERT_EQ(quickCase.persons.size(), 2u) << version;
        EXPECT_EQ(quickCase.persons[0].name, "Father") << version;
        ASSERT_EQ(quickCase.systems.size(), 2u) << version;
        ASSERT_EQ(quickCase.systems[1].alleles.size(), 3u) << version;
        EXPECT_EQ(quickCase.systems[1].alleles[2].name, "17") << version;
        EXPECT_DOUBLE_EQ(quickCase.systems[1].alleles[2].frequency, 0.6) << version;
    }
}

TEST_F(QuickAnalysis, refusesFilesItCannotUse) {
    QuickCase quickCase;
    const auto refusal = [&](const std::string& text) {
        return readQuickCaseFile(folder.write("bad.kov", text), builtInMarkerTable(), quickCase);
    };
    const QuickCaseRead header = refusal("\"Input from elsewhere\"\n");
    EXPECT_FALSE(header.status.ok());
    EXPECT_FALSE(header.tell);
    EXPECT_FALSE(readQuickCaseFile(folder.file("none.kov"), {}, quickCase).status.ok());

    KovCase one = testing::duoCase();
    one.pedigrees.pop_back();
    const QuickCaseRead pedigrees = refusal(kovarianCaseText(one));
    EXPECT_EQ(pedigrees.status.message(), kQuickTooFewPedigrees);
    EXPECT_TRUE(pedigrees.tell);
    KovCase none = testing::duoCase();
    none.systems.clear();
    const QuickCaseRead systems = refusal(kovarianCaseText(none));
    EXPECT_EQ(systems.status.message(), kQuickNoSystems);
    EXPECT_TRUE(systems.tell);
}

TEST_F(QuickAnalysis, theMapFallsBackToMarkerPositionsThenToTheBuiltInTable) {
    EXPECT_EQ(loadQuickMarkerMap("Default").size(), builtInMarkerTable().size());
    folder.write(kMarkerPositionsFileName,
                 "MARKER\tCHR\tPOS\nD1S1656\t1\t5.5\nBAD\tx\t1\nX\t2\t3\n");
    const std::vector<MapEntry> map = loadQuickMarkerMap("Default");
    ASSERT_EQ(map.size(), 1u);  // a line whose numbers do not read ends the map
    EXPECT_DOUBLE_EQ(map[0].position, 5.5);
    const std::string own = folder.write("own.map", "header\nTPOX\t2\t1.7 rest ignored\n");
    EXPECT_EQ(loadQuickMarkerMap(own).at(0).name, "TPOX");
}

TEST_F(QuickAnalysis, linkageFilesHoldOnlyAutosomalSystemsThatSomeoneCarries) {
    KovCase kov = testing::duoCase();
    kov.systems.push_back({"NOWHERE", {{"1", 1.0}}});              // not on the map
    kov.systems.push_back({"TPOX", {{"8", 0.5}, {"9", 0.5}}});     // carried by nobody
    kov.systems.push_back({"XMARKER", {{"1", 0.5}, {"2", 0.5}}});  // chromosome 23
    kov.persons[0].records.push_back({0, 1, 4});
    kov.persons[0].records.push_back({0, 0, 2});
    kov.persons[1].records[1] = {0, 2, 1};  // observed 15 and 17 of D3S1358 only once more
    kov.pedigrees[0].relations = {{0, 1}};
    std::vector<MapEntry> map = builtInMarkerTable();
    map.push_back({"XMARKER", 23, 10.0});
    const QuickCase quickCase = read(kov, map);
    const QuickLinkageTexts texts = quickLinkageTexts(quickCase);
    EXPECT_EQ(texts.data, "M D1S1656\nM D3S1358\n");
    EXPECT_EQ(texts.map, "CHROMOSOME\tMARKER\tPOSITION\n1\tD1S1656\t244.2\n3\tD3S1358\t16.2\n");
    EXPECT_EQ(texts.frequencies,
              "M D1S1656\nA 1 0.1\nA 2 0.2\nA 66 0.7\nM D3S1358\nA 1 0.3\nA 2 0.1\nA 3 0.6\n");
    // One parent: a founder of the other sex closes the family.
    EXPECT_EQ(texts.pedigree,
              "1\t1\t0\t0\t1\t1 1 1 2 \n"
              "1\t2\t1\t3\t2\t1 2 1 3 \n"
              "1\t3\t0\t0\t2\t0 0 0 0 \n"
              "2\t1\t0\t0\t1\t1 1 1 2 \n"
              "2\t2\t0\t0\t2\t1 2 1 3 \n");
    const std::string markers = quickReportMarkers(quickCase, {});
    EXPECT_NE(markers.find("| NOWHERE              -1               -1\r\n"), std::string::npos)
        << markers;
    EXPECT_NE(markers.find("Left out: XMARKER lies on chromosome 23"), std::string::npos);

    // Two spellings that the engine would read as one name stay two markers.
    KovCase spellings = testing::duoCase();
    spellings.systems[1].name = "PENTA E";
    spellings.systems.push_back({"PENTA_E", {{"5", 0.5}, {"6", 0.5}}});
    spellings.persons[0].records.push_back({0, 1, 2});
    EXPECT_EQ(quickLinkageTexts(read(spellings)).data, "M D1S1656\nM PENTA_E\nM PENTA_E_3\n");

    QuickSystem many;
    many.alleles.resize(70);
    EXPECT_EQ(quickRestAlleleNumber(many), 71);
    many.alleles.resize(65);
    EXPECT_EQ(quickRestAlleleNumber(many), 66);
}

TEST_F(QuickAnalysis, skippedFamiliesAndMissingOutputGiveNaNeverZero) {
    const QuickCase quickCase = read(testing::duoCase());
    const std::string skipped =
        "Chromosome 1 (1 markers)\nFamily 1 [3 persons, 2 meioses]\nlnLikelihood = -4.5\n"
        "Family 2 [2 persons, 0 meioses]\n  family not analysed\n"
        "Skipping family 2: too many meioses (30 > 24)\nlnLikelihood = 0\n"
        "Chromosome 3 (1 markers)\nFamily 1 [3 persons, 2 meioses]\nlnLikelihood = -2\n"
        "Family 2 [2 persons, 0 meioses]\nlnLikelihood = -3\n";
    const QuickResults results = readQuickResults(quickCase, skipped);
    EXPECT_TRUE(results.engineProblem.empty());
    EXPECT_DOUBLE_EQ(*results.lr[0][0], 1.0);
    EXPECT_FALSE(results.lr[0][1].has_value());
    EXPECT_FALSE(results.lr[1][1].has_value());
    EXPECT_FALSE(results.posterior[0].has_value());
    EXPECT_EQ(quickMatrixText(results),
              "LR versus ->\tPed 1\tPed 2\t\r\nPed 1\t1\tNA\t\r\nPed 2\tNA\tNA\t\r\n");
    const std::string report = quickReportResults(quickCase, results);
    EXPECT_NE(report.find("Pedigree 2: NA (skipped by the linkage program: too many meioses"),
              std::string::npos)
        << report;

    // Output that ends before chromosome 3: reading ends, what depends on it is NA.
    const QuickResults cut = readQuickResults(quickCase, skipped.substr(0, skipped.find("Chr", 5)));
    EXPECT_FALSE(cut.engineProblem.empty());
    EXPECT_FALSE(cut.lr[0][1].has_value());
    EXPECT_NE(quickReportResults(quickCase, cut).find("The linkage program gave no result"),
              std::string::npos);

    const QuickResults both = readQuickResults(
        quickCase, std::string("Family 1\nlnLikelihood = -1.5\nFamily 2\nlnLikelihood = -20\n"
                               "Family 1\nlnLikelihood = -3\nFamily 2\nlnLikelihood = -1\n"));
    EXPECT_NEAR(*both.lr[0][1] * *both.lr[1][0], 1.0, 1e-12);
    EXPECT_NEAR(*both.lr[0][1], std::exp(16.5), 1e-3);
    EXPECT_EQ(quickPosteriorText(both.posterior[0]), ">0.999999");
}

TEST_F(QuickAnalysis, reportKeepsItsFixedWidthLayout) {
    EXPECT_EQ(quickRatioCell(12.3456), "12.35          ");
    EXPECT_EQ(quickRatioCell(0.0123456789), "0.0123457      ");
    EXPECT_EQ(quickRatioCell(1.0), "1              ");
    EXPECT_EQ(quickPosteriorText(0.999999), "0.999999");
    EXPECT_EQ(quickPosteriorText(0.9999995), ">0.999999");

    KovCase kov = testing::duoCase();
    kov.systems[0].name = "ABCDEFGHIJKL";  // 12 characters
    for (int i = 0; i < 6; ++i) kov.persons.push_back({"P" + std::to_string(i), false, {}});
    const std::string eight = quickReportPersons(read(kov), "case.kov");
    EXPECT_NE(eight.find("\r\nABCDEFGHIJK12,12    12,13    "), std::string::npos) << eight;
    EXPECT_NE(eight.find("\r\nABCDEFGH         \r\n"), std::string::npos) << eight;  // block 2
    EXPECT_NE(eight.find("          8.      \r\n"), std::string::npos);
    EXPECT_EQ(eight.substr(eight.size() - 2), "\r\n");

    const std::string five = quickReportPersons(read(testing::duoCase()), "case.kov");
    EXPECT_NE(five.find("            1.       2.       \r\n"), std::string::npos) << five;
    EXPECT_EQ(five.substr(five.size() - 6), "\r\n\r\n\r\n");  // blocks 2 and 3: bare breaks
}

TEST_F(QuickAnalysis, aDuoAtUnlinkedMarkersGivesTheProductOfSingleMarkerRatios) {
    const QuickOutcome outcome = analyse(testing::duoCase());
    ASSERT_TRUE(outcome.read) << outcome.refusal;
    ASSERT_TRUE(outcome.results.engineProblem.empty()) << outcome.results.engineProblem;
    ASSERT_EQ(outcome.results.chromosomes.size(), 2u);
    EXPECT_NEAR(*outcome.results.lr[0][1], 12.5, 1e-6);
    EXPECT_NEAR(*outcome.results.lr[1][0], 0.08, 1e-9);
    EXPECT_NEAR(*outcome.results.posterior[0], 12.5 / 13.5, 1e-9);
    EXPECT_TRUE(outcome.reportWritten);
    EXPECT_EQ(testing::readFile(folder.file("case_Relatixed.txt")),
              "LR versus ->\tPed 1\tPed 2\t\r\nPed 1\t1\t12.5\t\r\nPed 2\t0.08\t1\t\r\n");
    const std::string report = testing::readFile(folder.file("case_RelatixReport.rtf"));
    EXPECT_NE(report.find("Chromosome 3 (Markers: D3S1358,)\r\n"), std::string::npos);
    EXPECT_NE(report.find("Pedigree 1  1              12.5           \r\n"), std::string::npos)
        << report;
    EXPECT_NE(report.find("1\t2\t1\t3\t2     (Child)\r\n1\t3\t0\t0\t2\t\r\n"), std::string::npos);
}

TEST_F(QuickAnalysis, analyseAsksBeforeOpeningManyReportsAndOpensOnlyThisRunsReports) {
    ScriptedUserInterface ui;
    QuickDialogValues values;
    values.programDirectory = RELATIX_PROGRAM_FOLDER;
    ui.expectMessage("Select file to analyse!", "Error");
    EXPECT_TRUE(runQuickAnalysis(ui, values).empty());
    ui.verify();

    // An old report beside a file that is now refused is not opened.
    KovCase refused = testing::duoCase();
    refused.pedigrees.pop_back();
    const std::string bad = folder.write("bad.kov", kovarianCaseText(refused));
    folder.write("bad_RelatixReport.rtf", "an earlier run's report");
    const std::string good = folder.write("good.kov", kovarianCaseText(testing::duoCase()));
    values.caseFiles = bad + ";" + good + ";";
    ui.expectMessage(kQuickTooFewPedigrees, "");
    EXPECT_EQ(runQuickAnalysis(ui, values).size(), 2u);
    ui.verify();
    EXPECT_EQ(ui.openedDocuments, std::vector<std::string>{folder.file("good_RelatixReport.rtf")});

    ui.openedDocuments.clear();
    values.caseFiles.clear();
    for (int i = 0; i < 10; ++i) values.caseFiles += folder.file("none.kov") + ";";
    EXPECT_EQ(runQuickAnalysis(ui, values).size(), 10u);  // ten: no question
    values.caseFiles += good;
    ui.expectMessage(kQuickManyFilesQuestion, "Warning", Answer::No);
    EXPECT_EQ(runQuickAnalysis(ui, values).size(), 11u);
    ui.verify();
    EXPECT_TRUE(ui.openedDocuments.empty());
    values.openReport = false;
    values.caseFiles = good;
    runQuickAnalysis(ui, values);
    EXPECT_TRUE(ui.openedDocuments.empty());
}

}  // namespace
}  // namespace relatix
