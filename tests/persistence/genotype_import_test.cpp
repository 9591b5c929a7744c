#include "persistence/genotype_import.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "core/allele_check.h"
#include "core/core.h"
#include "core/frequency_database.h"
#include "dialogs/dialog_questions.h"
#include "persistence/genotype_export.h"
#include "persistence/import_questions.h"
#include "support/scripted_user_interface.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

using testing::ScriptedUserInterface;
using testing::TempFolder;

// A case with four markers, two persons (both analysis persons) and a
// population that knows a few alleles of each marker. Samples go to persons
// by the assignment table; new alleles are recorded and never added.
class GenotypeImport : public ::testing::Test {
protected:
    void SetUp() override {
        core.markerMap.markers = {Marker("D3S1358", 3, 10.5), Marker("vWA", 12, 15.6),
                                  Marker("TH01", 11, 4.5), Marker("FGA", 4, 180)};
        Population population;
        population.name = "Test";
        for (const Marker& m : core.markerMap.markers) {
            Marker withAlleles = m;
            for (const char* a : {"12", "13", "15", "16", "17"})
                withAlleles.alleles.push_back({a, 0.2});
            population.markers.push_back(withAlleles);
        }
        core.populations = {population};
        core.activePopulation = 1;
        core.persons = {Person("Anna"), Person("Bo", true)};
        core.genotypeTable.personCount = 2;

        setNewAlleleQuestion([this](UserInterface&, Population*, const std::string& marker,
                                    const std::string& allele) {
            newAlleles.push_back(marker + ":" + allele);
            return false;
        });
        ImportQuestions questions;
        questions.importOptions = [this](UserInterface&, const std::string& sample,
                                         const std::vector<std::string>&) {
            offered.push_back(sample);
            const auto it = assignment.find(sample);
            if (it == assignment.end()) return ImportTarget{};
            return ImportTarget{it->second, false};
        };
        setImportQuestions(std::move(questions));
    }
    void TearDown() override { installDialogQuestions(); }

    GenotypeImportOutcome import(const std::string& name, const std::string& content) {
        return importGenotypes(core, ui, folder.write(name, content), false);
    }
    // "a/b" of the person's observation of the marker, "" without one.
    std::string dna(size_t person, const std::string& marker) const {
        for (const DnaObservation& o : core.persons[person].dna)
            if (o.markerName == marker) return o.allele1 + "/" + o.allele2;
        return {};
    }
    void expectPedQuestions(Answer values) {
        ui.expectMessage(kPedMarkerOrderQuestion, kApplicationTitle, Answer::Yes)
            .expectMessage(kPedAlleleValuesQuestion, kApplicationTitle, values);
    }

    TempFolder folder{"genotype-import"};
    Core core{"/prog"};
    ScriptedUserInterface ui;
    std::vector<std::string> newAlleles;
    std::vector<std::string> offered;
    std::map<std::string, int> assignment;
};

TEST_F(GenotypeImport, TableLayoutsAndSeparators) {
    assignment = {{"X1", 1}, {"S1", 2}};
    const auto two = import("two.txt",
                            "Sample\tD3S1358_1\tD3S1358_2\tvWA_1\tvWA_2\n"
                            "X1\t15\t16\t17\t17\n");
    EXPECT_TRUE(two.success);
    EXPECT_EQ(dna(0, "D3S1358"), "15/16");
    EXPECT_EQ(dna(0, "vWA"), "17/17");
    EXPECT_EQ(two.genotypesImported, 2);

    // One allele in a cell is a homozygote: "17" is never cut into 1 and 7.
    const auto one = import("one.csv", "Sample,D3S1358,vWA\nS1,15/16,17\n");
    EXPECT_TRUE(one.success);
    EXPECT_EQ(dna(1, "D3S1358"), "15/16");
    EXPECT_EQ(dna(1, "vWA"), "17/17");
    EXPECT_TRUE(newAlleles.empty());
    EXPECT_TRUE(one.newAlleles.empty());
    EXPECT_EQ(offered, (std::vector<std::string>{"X1", "S1"}));

    // Empty trailing columns are no marker pair hiding the one marker.
    EXPECT_TRUE(import("trailing.csv", "Sample,D3S1358,,\nS1,12/13,,\n").success);
    EXPECT_EQ(dna(1, "D3S1358"), "12/13");
}

TEST_F(GenotypeImport, headingsWithBlanksAroundThemFindTheirMarkerInAnyCase) {
    assignment = {{"S1", 2}, {"X1", 1}};
    EXPECT_TRUE(import("blank.csv", "Sample,D3S1358 , VWA\t\nS1,15/16,17/17\n").success);
    EXPECT_EQ(dna(1, "D3S1358"), "15/16");
    EXPECT_EQ(dna(1, "vWA"), "17/17");  // stored under the map's name
    EXPECT_TRUE(import("pairs.txt", "Sample\t th01_1 \tTH01_2 \nX1\t12\t13\n").success);
    EXPECT_EQ(dna(0, "TH01"), "12/13");
}

// Lines ended by CR alone (old Mac programs) are lines too.
TEST_F(GenotypeImport, crOnlyLineEndsSeparateTheRows) {
    assignment = {{"X1", 1}, {"S1", 2}};
    const auto cr = import("cr.txt", "Sample\tD3S1358\tvWA\rX1\t15/16\t17/17\rS1\t12/13\t15/16\r");
    EXPECT_TRUE(cr.success);
    EXPECT_EQ(cr.samplesImported, 2);
    EXPECT_EQ(dna(0, "D3S1358"), "15/16");
    EXPECT_EQ(dna(1, "vWA"), "15/16");
}

TEST_F(GenotypeImport, OneColumnFieldForms) {
    assignment = {{"S1", 1}, {"S2", 2}};
    core.persons[0].dna = {{0, "vWA", 0, "16", "16"}};
    const auto outcome = import("forms.txt",
                                "Sample\tD3S1358\tvWA\tTH01\tFGA\n"
                                "S1\t15 16\tN\t12, 13\t-\n");
    EXPECT_TRUE(outcome.success);
    EXPECT_EQ(dna(0, "D3S1358"), "15/16");
    EXPECT_EQ(dna(0, "vWA"), "16/16");  // N is missing: the old genotype stays
    EXPECT_EQ(dna(0, "TH01"), "12/13");
    EXPECT_EQ(dna(0, "FGA"), "");

    // The table's own separator is no allele separator: in a semicolon table
    // "15,16" is two alleles, in a comma table "12;13" is.
    EXPECT_TRUE(import("semi.csv", "Sample;D3S1358;vWA\nS2;15,16;17\n").success);
    EXPECT_EQ(dna(1, "D3S1358"), "15/16");
    EXPECT_EQ(dna(1, "vWA"), "17/17");
    EXPECT_TRUE(import("comma.csv", "Sample,TH01,FGA\nS2,12;13,15 / 17\n").success);
    EXPECT_EQ(dna(1, "TH01"), "12/13");
    EXPECT_EQ(dna(1, "FGA"), "15/17");
    EXPECT_TRUE(newAlleles.empty());

    // A cell that cannot be split is found before any row is stored.
    for (const char* cell : {"15/16/17", "15/", "15 16 17", "15/16 17"}) {
        ui.expectMessage("Error detected when trying to separate single column marker\n" +
                             folder.file("broken.txt") + ", line 3: the genotype '" + cell +
                             "' of D3S1358 (sample S2) cannot be split into one or two alleles",
                         kApplicationTitle);
        const auto broken = import("broken.txt", std::string("Sample\tD3S1358\tvWA\n"
                                                             "Anna\t12/13\t16\n"
                                                             "S2\t") +
                                                     cell + "\t16\n");
        EXPECT_FALSE(broken.success) << cell;
        EXPECT_FALSE(broken.readingStarted) << cell;
        EXPECT_EQ(dna(0, "D3S1358"), "15/16") << cell;  // Anna's row was not stored
    }
}

// The alleles an import adds to the population are named in its outcome.
TEST_F(GenotypeImport, newAllelesAreNamed) {
    setNewAlleleQuestion([](UserInterface&, Population* population, const std::string& marker,
                            const std::string& allele) {
        return addAllele(*findMarker(*population, marker), allele, 0.01);
    });
    assignment = {{"S1", 1}};
    const auto outcome = import("new.csv", "Sample,D3S1358,vWA\nS1,15/99,17.3\n");
    EXPECT_TRUE(outcome.success);
    EXPECT_EQ(outcome.newAlleles, (std::vector<std::string>{"D3S1358 99", "vWA 17.3"}));
    EXPECT_EQ(dna(0, "vWA"), "17.3/17.3");
}

// A file cut inside its last row is refused before anything is stored.
TEST_F(GenotypeImport, aLastRowCutShortIsRefused) {
    assignment = {{"S1", 1}, {"S2", 2}};
    const std::string path = folder.file("cut.txt");
    ui.expectMessage(path + ", line 3: the file ends inside the row of sample S2 (2 of 3 fields)",
                     kApplicationTitle);
    const auto cut = import("cut.txt", "Sample\tD3S1358\tvWA\nS1\t15/16\t17\nS2\t15/1");
    EXPECT_FALSE(cut.success);
    EXPECT_EQ(dna(0, "D3S1358"), "");
    // The same row with its line break, or complete without one, is read.
    EXPECT_TRUE(import("short.txt", "Sample\tD3S1358\tvWA\nS1\t15/16\t17\nS2\t15/1\n").success);
    EXPECT_EQ(dna(1, "D3S1358"), "15/1");
    EXPECT_TRUE(import("whole.txt", "Sample\tD3S1358\tvWA\nS1\t15/16\t17\nS2\t15/1\t17").success);

    ui.expectMessage(kPgmQuestion, kApplicationTitle, Answer::Yes)
        .expectMessage(kPgmSingleSampleQuestion, kApplicationTitle, Answer::No)
        .expectMessage(folder.file("pgm.txt") +
                           ", line 3: the file ends inside the row of sample Anna (5 of 7 fields)",
                       kApplicationTitle);
    core.persons[0].dna.clear();
    EXPECT_FALSE(import("pgm.txt",
                        "Chrom\tSample\tc\td\tMarker\tf\tGenotype\n"
                        "1\tAnna\t.\t.\tD3S1358\t.\tC\n"
                        "1\tAnna\t.\t.\tvWA")
                     .success);
    EXPECT_EQ(dna(0, "D3S1358"), "");
}

TEST_F(GenotypeImport, MergeQuestionAndRowLimit) {
    // Anna matches and is merged; S2 fills the second analysis person, so S3
    // is never read.
    assignment = {{"S2", 2}, {"S3", 1}};
    ui.expectMessage(mergeQuestion("Anna"), kApplicationTitle, Answer::Yes);
    const auto outcome = import("rows.txt",
                                "Sample\tD3S1358\n"
                                "Anna\t15/16\nS2\t12/13\nS3\t17/17\n");
    EXPECT_TRUE(outcome.success);
    EXPECT_EQ(outcome.samplesImported, 2);
    EXPECT_EQ(offered, (std::vector<std::string>{"S2"}));
    EXPECT_EQ(dna(0, "D3S1358"), "15/16");
    EXPECT_EQ(dna(1, "D3S1358"), "12/13");

    ui.expectMessage(mergeQuestion("Bo"), kApplicationTitle, Answer::Cancel);
    EXPECT_FALSE(import("cancel.txt", "Sample\tD3S1358\nBo\t17/17\n").success);
    EXPECT_EQ(dna(1, "D3S1358"), "12/13");
}

TEST_F(GenotypeImport, PgmExports) {
    assignment = {{"case7", 1}, {"Z9", 2}};
    ui.expectMessage(kPgmQuestion, kApplicationTitle, Answer::Yes)
        .expectMessage(kPgmSingleSampleQuestion, kApplicationTitle, Answer::Yes);
    EXPECT_TRUE(import("case7.txt",
                       "Chrom\tPos\tMarker\tx\tGenotype\n"
                       "chr3\t1\tD3S1358\tx\tAG\nchr12\t2\tvWA\tx\t-\nchr1\t3\tnone\tx\tAA\n")
                    .success);
    EXPECT_EQ(dna(0, "D3S1358"), "A/G");
    EXPECT_EQ(dna(0, "vWA"), "");

    // Several samples: each is matched or offered once, and a known name needs no question.
    ui.expectMessage(kPgmQuestion, kApplicationTitle, Answer::Yes)
        .expectMessage(kPgmSingleSampleQuestion, kApplicationTitle, Answer::No);
    const auto multi = import("multi.txt",
                              "Chrom\tSample\tc\td\tMarker\tf\tGenotype\n"
                              "1\tAnna\t.\t.\tD3S1358\t.\tC\n"
                              "1\tZ9\t.\t.\tvWA\t.\tTT\n"
                              "1\tZ9\t.\t.\tTH01\t.\tGAT\n"
                              "1\tZ9\t.\t.\tFGA\t.\tGA\n");
    EXPECT_TRUE(multi.success);
    EXPECT_EQ(multi.samplesImported, 2);
    EXPECT_EQ(dna(0, "D3S1358"), "C/C");
    EXPECT_EQ(dna(1, "vWA"), "T/T");
    EXPECT_EQ(dna(1, "TH01"), "");  // three characters are missing here
    EXPECT_EQ(dna(1, "FGA"), "G/A");
    EXPECT_EQ(offered, (std::vector<std::string>{"case7", "Z9"}));
}

TEST_F(GenotypeImport, PedValuesAndIndices) {
    core.persons[1].name = "FAM 1 - ID 3";
    core.persons[1].dna = {{0, "vWA", 0, "16", "16"}};
    expectPedQuestions(Answer::Yes);
    const auto values = import("v.ped", "1 3 1 2 2 15 16 17 17 0 0 12 13\n");
    EXPECT_TRUE(values.success);
    EXPECT_EQ(dna(1, "D3S1358"), "15/16");
    EXPECT_EQ(dna(1, "vWA"), "17/17");
    EXPECT_EQ(dna(1, "FGA"), "12/13");
    EXPECT_TRUE(offered.empty());

    expectPedQuestions(Answer::No);
    const auto indices = import("i.ped", "1 3 1 2 2 1/2 0/2 5/5 3/4\n");
    EXPECT_TRUE(indices.success);
    EXPECT_EQ(dna(1, "D3S1358"), "12/13");
    EXPECT_EQ(dna(1, "vWA"), "17/17");  // an index 0 leaves the marker untouched
    EXPECT_EQ(dna(1, "TH01"), "17/17");
    EXPECT_EQ(dna(1, "FGA"), "15/16");
}

TEST_F(GenotypeImport, PedFailuresStoreNothing) {
    core.persons[0].name = "FAM 1 - ID 1";
    const std::string good = "1 1 0 0 1 15 16 17 17 12 12 13 13\n";

    // A sex other than 1 or 2 and a short line are both found before anything is stored.
    expectPedQuestions(Answer::Yes);
    const auto sex = import("sex.ped", good + "1 2 0 0 3 15 16 17 17 12 12 13 13\n");
    EXPECT_FALSE(sex.success);
    EXPECT_FALSE(sex.readingStarted);
    expectPedQuestions(Answer::Yes);
    ui.expectMessage(folder.file("short.ped") + ", line 2 (sample FAM 1) has 7 fields, 13 expected",
                     kApplicationTitle);
    EXPECT_FALSE(import("short.ped", good + "1 2 0 0 1 15 16").success);
    EXPECT_TRUE(core.persons[0].dna.empty());

    // An index beyond the alleles on line 2 refuses the file: line 1 is not stored either.
    core.persons[1].name = "FAM 1 - ID 2";
    expectPedQuestions(Answer::No);
    ui.expectMessage(
        "Allele indeces exceeded number of alleles in database, please check input and "
        "database\n" +
            folder.file("index.ped") +
            ", line 2: the allele index '9' of D3S1358 (sample FAM 1 - ID 2) is not one of the 5 "
            "alleles of the population",
        kApplicationTitle);
    const auto index =
        import("index.ped", "1 1 0 0 1 1 1 2 2 3 3 4 4\n1 2 0 0 2 1 9 1 1 1 1 1 1\n");
    EXPECT_FALSE(index.success);
    EXPECT_FALSE(index.readingStarted);
    EXPECT_TRUE(core.persons[0].dna.empty());
    EXPECT_TRUE(core.persons[1].dna.empty());
    EXPECT_EQ(index.samplesImported, 0);

    ui.expectMessage(kPedMarkerOrderQuestion, kApplicationTitle, Answer::Cancel);
    EXPECT_FALSE(import("cancel.ped", good).success);
}

TEST_F(GenotypeImport, ExportBothWaysAndRoundTrip) {
    core.markerMap.markers.resize(2);
    core.persons[0].dna = {{0, "vWA", 0, "16", "17"}, {0, "D3S1358", 0, "15", ""}};
    core.persons[1].dna = {{0, "D3S1358", 0, "12", "13"}};
    std::ostringstream rows, columns;
    writeGenotypeTable(core, true, rows);
    writeGenotypeTable(core, false, columns);
    EXPECT_EQ(rows.str(),
              "Sample id\tD3S1358\tvWA\t\r\n"
              "Anna\t15, 15\t16, 17\t\r\n"
              "Bo\t12, 13\t\t\r\n");
    EXPECT_EQ(columns.str(),
              "Marker\tChromosome\tPosition\tAnna\tBo\t\r\n"
              "D3S1358\t3\t10.5\t15, 15\t12, 13\t\r\n"
              "vWA\t12\t15.6\t16, 17\t\t\r\n");

    const std::string path = folder.file("export.txt");
    ASSERT_EQ(exportGenotypes(core, path, true), AtomicWriteStatus::Written);
    const Core original = core;
    for (Person& person : core.persons) person.dna.clear();
    ui.expectMessage(mergeQuestion("Anna"), kApplicationTitle, Answer::Yes)
        .expectMessage(mergeQuestion("Bo"), kApplicationTitle, Answer::Yes);
    EXPECT_TRUE(importGenotypes(core, ui, path, false).success);
    for (size_t p = 0; p < 2; ++p)
        for (const Marker& m : core.markerMap.markers)
            EXPECT_EQ(exportedGenotype(core, p, m.name), exportedGenotype(original, p, m.name))
                << p << " " << m.name;
    EXPECT_TRUE(newAlleles.empty());
}

}  // namespace
}  // namespace relatix
