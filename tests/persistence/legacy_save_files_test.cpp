#include <gtest/gtest.h>

#include <random>

#include "core/catalogue.h"
#include "core/core.h"
#include "core/frequency_database.h"
#include "persistence/open_project.h"
#include "persistence/text_lines.h"
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

// A file cut anywhere before the end of its DNA data is refused with the file,
// the line and the item it was cut in, and leaves an empty case; a file cut
// after its haplotypes never gets a main hypothesis it does not hold.
TEST_F(Legacy, generation2FilesCutShortAreRefused) {
    const std::string valid = generation2("3", 26, "16 17 16 16", "17 17 16 17");
    const std::vector<std::string> lines = splitTextLines(valid);
    const auto upTo = [&](const std::string& last) {
        std::string text;
        for (const std::string& line : lines) {
            text += line + "\r\n";
            if (line == last) break;
        }
        return text;
    };
    const std::string path = folder.file("cut.sav");
    ui.expectMessage(path + ", line 95: the file ends inside the hypotheses", kApplicationTitle);
    EXPECT_FALSE(openProject(core, folder.write("cut.sav", upTo("h1 3 1 2")), ui));
    EXPECT_EQ(core.mainHypothesis, kNoHypothesis);
    EXPECT_TRUE(core.clusterDatabase.clusters.empty());
    EXPECT_TRUE(core.populations.empty());
    ui.expectMessage(
        path + ", line 78: the file ends inside system 2 of 2 of cluster 1 of 1 (chr 12)",
        kApplicationTitle);
    EXPECT_FALSE(openProject(core, folder.write("cut.sav", upTo("17 0.6")), ui));
    ui.verify();

    const size_t lastPersonLine = 114;
    ASSERT_EQ(lines[lastPersonLine - 1], "Alleles = 17 17 16 17");
    SilentUserInterface silent;
    for (size_t keep = 2; keep < lastPersonLine; ++keep) {
        std::string text;
        for (size_t i = 0; i < keep; ++i) text += lines[i] + "\r\n";
        Core cut;
        EXPECT_FALSE(openProject(cut, folder.write("cut.sav", text), silent)) << keep;
        EXPECT_TRUE(cut.persons.empty()) << keep;
        EXPECT_TRUE(cut.clusterDatabase.clusters.empty()) << keep;
    }
    // A person whose alleles stop short takes no words from the lines after it.
    std::string shortPerson = valid;
    shortPerson.replace(shortPerson.find("17 17 16 17"), 11, "17 17");
    ui.expectMessage(folder.file("person.sav") +
                         ", line 114: the alleles of person 2 of 2 (NoName) hold fewer than the "
                         "two alleles of the 2 systems",
                     kApplicationTitle);
    EXPECT_FALSE(openProject(core, folder.write("person.sav", shortPerson), ui));

    // An alternative outside the main hypothesis's alternatives is no alternative.
    std::string outside = valid;
    outside.replace(outside.find("Alternatives = 0 3"), 18, "Alternatives = 0 99");
    ui.expectMessage(folder.file("outside.sav") +
                         ", line 99: alternative hypothesis 2 is position " +
                         "99, but the main hypothesis has " +
                         std::to_string(catalogueAlternatives(4).size()) + " alternatives",
                     kApplicationTitle);
    EXPECT_FALSE(openProject(core, folder.write("outside.sav", outside), ui));
}

TEST_F(Legacy, generation1FilesCutShortAreRefused) {
    const std::string valid =
        "[Save file - Relatix Version 1.5]\nskip\nA = 1\nNewAlleleFrequency = 0.03\n"
        "B = 2\nskip\nNumberOfSystems = 2\nSystemName = penta d\nskip\n"
        "NumberOfAlleles = 2\n9 0.5\n10 0.5\nSystemName = D99\nskip\nNumberOfAlleles = 1\n1 1";
    ui.expectMessage(folder.file("g1.sav") + ", line 13: the file ends inside system 2 of 2 (D99)",
                     kApplicationTitle);
    EXPECT_FALSE(openProject(core, folder.write("g1.sav", valid.substr(0, valid.size() - 2)), ui));
    EXPECT_TRUE(core.clusterDatabase.clusters.empty());
    EXPECT_TRUE(core.populations.empty());
    // Without its last line break the file is whole.
    EXPECT_TRUE(openProject(core, folder.write("g1.sav", valid), ui));
    EXPECT_EQ(core.clusterDatabase.clusters.size(), 2u);
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
        EXPECT_LE(core.genotypeTable.personCount, 3) << text;
        EXPECT_LE(core.hypothesisPedigrees.size(), 27u);
    }
}

}  // namespace
}  // namespace relatix
