#include <gtest/gtest.h>

#include <random>

#include "core/core.h"
#include "core/frequency_database.h"
#include "persistence/open_project.h"
#include "platform/silent_user_interface.h"
#include "support/scripted_user_interface.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

using testing::ScriptedUserInterface;
using testing::TempFolder;

// A generation 2 save file written line by line from its layout.
std::string generation2(const std::string& main, int thresholds, const std::string& alleles1,
                        const std::string& alleles2) {
    std::string t =
        "[Save file - Relatix Version 2.1]\r\nskip\r\nNewAlleleFrequency = 0.02\r\n"
        "HaplotypeWeight = 2\r\nReserved = 0\r\n[[Thresholds]]\r\n";
    for (int i = 0; i < thresholds; ++i)
        t += "T" + std::to_string(i) + " 0.00" + std::to_string(i + 1) + "\r\n";
    t += "[[Steps]]\r\n";
    for (int i = 0; i < 26; ++i) t += "S " + std::to_string(i % 4) + "\r\n";
    t += "[[End]]\r\nNumberOfClusters = 1\r\nClusterName = chr 12\t\r\nNumberOfSystems = 2\r\n";
    for (const char* name : {"vWA", "D12S391"}) {
        t += std::string("SystemName = ") + name + "\r\nGeneticPosition = 15.6\r\n";
        t += "Model = 4\r\nRate = 0.002\r\nSecond = 0.5\r\nThird = 0.0001\r\n";
        t += "Model = 1\r\nRate = 0.001\r\nSecond = 0.1\r\nThird = 0\r\n";
        t += "[[[Alleles]]]\r\nNumberOfAlleles = 2\r\n16 0.4\r\n17 0.6\r\n";
    }
    t += "[[Haplotypes]]\r\nNumberOfHaplotypes = 1\r\nh1 3 1 2\r\n[Hypotheses]\r\n"
         "NumberOfHypotheses = 3\r\nMainHypothesis = " +
         main +
         "\r\n[Alternatives]\r\n"
         "Alternatives = 0 3\r\n[Settings]\r\n[DNA data]\r\nNumberOfPersons = 2\r\n";
    t += "[Person]\r\nName = Anna\r\n[Sex]\r\nSex = 2\r\n[Alleles]\r\nAlleles = " + alleles1 +
         "\r\n";
    t += "[Person]\r\nName = NoName\r\n[Sex]\r\nSex = 1\r\n[Alleles]\r\nAlleles = " + alleles2 +
         "\r\n";
    t += "[Created pedigrees]\r\nNumberOfPedigrees = 1\r\nskip\r\nName = My pedigree\r\nskip\r\n"
         "NumberOfRelations = 2\r\nskip\r\nskip\r\n1 2\r\n3 2\r\n";
    return t;
}

struct Legacy : ::testing::Test {
    TempFolder folder;
    ScriptedUserInterface ui;
    Core core;
};

TEST_F(Legacy, createdPedigreesComeBackWithRelationsPersonsAndDna) {
    const std::string path =
        folder.write("old.sav", generation2("-3", 2, "16 17 16 16", "17 17 -1 -1"));
    ASSERT_TRUE(openProject(core, path, ui));
    EXPECT_EQ(core.mainHypothesis, kCreatedPedigrees);
    ASSERT_EQ(core.createdPedigrees.size(), 1u);
    EXPECT_EQ(core.createdPedigrees[0].name, "My pedigree");
    EXPECT_EQ(core.createdPedigrees[0].relations, (std::vector<Relation>{{1, 2}, {3, 2}}));
    const auto& persons = core.genotypeTable.pedigreePersons;
    ASSERT_EQ(persons.size(), 2u);
    EXPECT_EQ(persons[0].name, "Anna");
    EXPECT_FALSE(persons[0].isMale);
    EXPECT_TRUE(persons[1].isMale);
    ASSERT_EQ(persons[0].dna.size(), 2u);
    EXPECT_EQ(persons[0].dna[1].markerName, "D12S391");
    EXPECT_EQ(persons[0].dna[1].allele1, "16");
    EXPECT_EQ(persons[1].dna.size(), 1u);  // "-1 -1" is no typing
    EXPECT_EQ(core.genotypeTable.alleleText(1, 2, 2, 1), "-1");
    EXPECT_EQ(core.genotypeTable.alleleText(1, 1, 1, 2), "17");

    const ClusterDatabase& db = core.clusterDatabase;
    EXPECT_DOUBLE_EQ(db.newAlleleFrequency, 0.02);
    EXPECT_DOUBLE_EQ(db.haplotypeWeight, 2);
    EXPECT_EQ(db.clusterNames, (std::vector<std::string>{"chr 12"}));
    ASSERT_EQ(db.clusters.at(0).systems.size(), 2u);
    EXPECT_EQ(db.clusters[0].systems[0].mutation[0].model, 3);  // model 4 reads as 3
    EXPECT_EQ(db.clusters[0].haplotypes.at(0).alleleIndices, (std::vector<int>{1, 2}));
    // Fewer than 26 thresholds end at [[Steps]], and all 26 steps follow.
    EXPECT_DOUBLE_EQ(core.pedigreeSettings.threshold[1], 0.002);
    EXPECT_DOUBLE_EQ(core.pedigreeSettings.threshold[2], 0.00001);
    EXPECT_EQ(core.pedigreeSettings.steps[25], 1);
    EXPECT_EQ(core.pedigreeSettings.steps[3], 3);
    // Kept for the next calculation: the map and an active population named after the file.
    EXPECT_EQ(core.markerMap.markers.size(), 2u);
    ASSERT_NE(core.populationAt(core.activePopulation), nullptr);
    EXPECT_EQ(core.populationAt(core.activePopulation)->name, "old");
    EXPECT_EQ(core.populationAt(core.activePopulation)->markers.at(0).alleles.size(), 2u);
}

TEST_F(Legacy, catalogueAndOutOfRangeHypotheses) {
    ASSERT_TRUE(openProject(
        core, folder.write("cat.sav", generation2("3", 26, "16 17 16 16", "17 17 16 17")), ui));
    EXPECT_EQ(core.mainHypothesis, 3);
    EXPECT_EQ(core.alternativeHypotheses, (std::vector<int>{0, 3}));
    EXPECT_EQ(core.hypothesisPedigrees.size(), 3u);
    EXPECT_EQ(core.persons.size(), 2u);
    EXPECT_EQ(core.persons[1].name, "NN2");
    EXPECT_EQ(core.persons[1].dna.size(), 2u);

    for (const char* main : {"-1", "26", "2147483647"}) {
        Core other;
        ASSERT_TRUE(openProject(
            other, folder.write("none.sav", generation2(main, 26, "16 17 16 16", "17 17 16 17")),
            ui));
        EXPECT_EQ(other.mainHypothesis, kNoHypothesis) << main;
        EXPECT_TRUE(other.hypothesisPedigrees.empty()) << main;
        EXPECT_EQ(other.genotypeTable.personCount, 2) << main;
    }
}

TEST_F(Legacy, generation1TakesPositionsFromTheBuiltInTable) {
    const std::string path = folder.write(
        "g1.sav",
        "[Save file - Relatix Version 1.5]\nskip\nA = 1\nNewAlleleFrequency = 0.03\n"
        "B = 2\nskip\nNumberOfSystems = 2\nSystemName = penta d\nskip\n"
        "NumberOfAlleles = 2\n9 0.5\n10 0.5\nSystemName = D99\nskip\nNumberOfAlleles = 1\n"
        "1 1\n");
    ASSERT_TRUE(openProject(core, path, ui));
    const ClusterDatabase& db = core.clusterDatabase;
    ASSERT_EQ(db.clusters.size(), 2u);
    EXPECT_EQ(db.clusterNames[0], "Unnamed");
    EXPECT_EQ(db.clusters[0].chromosome, 20);
    EXPECT_DOUBLE_EQ(db.clusters[0].systems.at(0).position, 44);
    EXPECT_EQ(db.clusters[1].chromosome, -2);
    EXPECT_DOUBLE_EQ(db.clusters[1].systems.at(0).position, 10000);
    EXPECT_DOUBLE_EQ(db.newAlleleFrequency, 0.03);
    EXPECT_EQ(core.genotypeTable.systemsPerCluster, (std::vector<int>{1, 1}));
}

TEST(LegacyFuzz, damagedFilesAreReadWithoutCrashing) {
    TempFolder folder;
    const std::string valid = generation2("-3", 3, "16 17 16 16", "17 17 -1 -1");
    std::mt19937 random(1802);
    for (int round = 0; round < 300; ++round) {
        std::string text = valid;
        const int kind = round % 3;
        if (kind == 0) {
            text.resize(40 + random() % (text.size() - 40));
        } else if (kind == 1) {
            static const char* counts[] = {"2147483647", "-7", "1e300", "nan"};
            const size_t at = text.find(" = ", 40 + random() % (text.size() - 40));
            if (at != std::string::npos) text.insert(at + 3, counts[random() % 4]);
        } else {
            for (int k = 0; k < 10; ++k)
                text[40 + random() % (text.size() - 40)] = static_cast<char>(random());
        }
        SilentUserInterface ui;
        Core core;
        openProject(core, folder.write("f.sav", text), ui);
        EXPECT_LE(core.genotypeTable.personCount, 3);
        EXPECT_LE(core.hypothesisPedigrees.size(), 27u);
    }
}

}  // namespace
}  // namespace relatix
