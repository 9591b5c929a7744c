#include <gtest/gtest.h>

#include "core/core.h"

namespace relatix {
namespace {

TEST(InitialisePriors, replacesPriorsThatDoNotFitTheHypothesisCount) {
    Core core;
    ASSERT_TRUE(core.selectMainHypothesis(2));  // Full Siblings
    core.alternativeHypotheses = {0, 1};
    ASSERT_EQ(core.hypothesisCount(), 3);
    core.priors = {0.5, 0.5};
    core.initialisePriors();
    ASSERT_EQ(core.priors.size(), 3u);
    for (double p : core.priors) EXPECT_DOUBLE_EQ(p, 1.0 / 3.0);
}

TEST(InitialisePriors, keepsFittingPriorsEvenWhenTheyDoNotSumToOne) {
    Core core;
    core.selectMainHypothesis(2);
    core.alternativeHypotheses = {0, 1};
    core.priors = {0.7, 0.7, 0.1};
    core.initialisePriors();
    EXPECT_EQ(core.priors, (std::vector<double>{0.7, 0.7, 0.1}));
}

TEST(InitialisePriors, createdPedigreesWithoutPedigreesGiveNoPriors) {
    Core core;
    core.mainHypothesis = kCreatedPedigrees;
    core.priors = {1.0};
    core.initialisePriors();
    EXPECT_EQ(core.hypothesisCount(), 0);
    EXPECT_TRUE(core.priors.empty());
}

TEST(ResetCore, emptiesTheCaseAndKeepsBookkeepingAndSettings) {
    Core core("/prog");
    core.setProjectName("case A");
    core.projectPath = "/cases/a.sav";
    core.savedToPath = true;
    core.mutationsOff = true;
    core.pedigreeSettings.threshold[4] = 0.5;
    core.activePopulation = 2;
    core.selectMainHypothesis(22);
    core.alternativeHypotheses = {0};
    core.persons.emplace_back("P1");
    core.populations.emplace_back();
    core.ancestryPersons.emplace_back("A1");
    core.markerMap.markers.emplace_back("D1S1656", 1, 10.0);
    core.clusterDatabase.clusters.emplace_back();
    core.clusterDatabase.clusterNames.push_back("D1S1656");
    core.clusterDatabase.theta = 0.03;
    core.unlinkedResults = {-1.0};
    core.merlinResults = {-2.0};
    core.exactResults = {-3.0};
    core.priors = {1.0};
    core.simulatedLinkedLikelihoods = {{-1.0}};
    core.simulatedUnlinkedLikelihoods = {{-1.0}};
    core.simulatedExactLikelihoods = {{-1.0}};
    core.genotypeTable.addCluster();
    core.genotypeTable.addSystem(1);
    const size_t pedigreePersons = core.genotypeTable.pedigreePersons.size();

    core.resetCore();

    EXPECT_EQ(core.mainHypothesis, kNoHypothesis);
    EXPECT_TRUE(core.alternativeHypotheses.empty());
    EXPECT_TRUE(core.persons.empty());
    EXPECT_TRUE(core.populations.empty());
    EXPECT_TRUE(core.ancestryPersons.empty());
    EXPECT_TRUE(core.markerMap.markers.empty());
    EXPECT_TRUE(core.clusterDatabase.clusters.empty());
    EXPECT_TRUE(core.clusterDatabase.clusterNames.empty());
    EXPECT_DOUBLE_EQ(core.clusterDatabase.theta, 0.03);
    EXPECT_TRUE(core.unlinkedResults.empty());
    EXPECT_TRUE(core.merlinResults.empty());
    EXPECT_TRUE(core.priors.empty());
    EXPECT_TRUE(core.simulatedLinkedLikelihoods.empty());
    EXPECT_TRUE(core.simulatedUnlinkedLikelihoods.empty());
    EXPECT_TRUE(core.genotypeTable.systemsPerCluster.empty());
    EXPECT_TRUE(core.genotypeTable.alleleTexts.empty());
    // What stays.
    EXPECT_EQ(core.projectName, "case A");
    EXPECT_EQ(core.projectPath, "/cases/a.sav");
    EXPECT_TRUE(core.savedToPath);
    EXPECT_TRUE(core.mutationsOff);
    EXPECT_DOUBLE_EQ(core.pedigreeSettings.threshold[4], 0.5);
    EXPECT_EQ(core.activePopulation, 2);
    EXPECT_EQ(core.exactResults, LogLikelihoods{-3.0});
    EXPECT_EQ(core.simulatedExactLikelihoods.size(), 1u);
    EXPECT_EQ(core.hypothesisPedigrees.size(), 1u);
    EXPECT_EQ(core.genotypeTable.personCount, 3);
    EXPECT_EQ(core.genotypeTable.pedigreePersons.size(), pedigreePersons);
}

TEST(SelectMainHypothesis, threePersonCodeBuildsTableAndPedigreePersons) {
    Core core;
    core.genotypeTable.addCluster();
    core.genotypeTable.addSystem(1);
    core.genotypeTable.addSystem(1);
    core.genotypeTable.addCluster();
    core.genotypeTable.addSystem(2);
    core.alternativeHypotheses = {3};
    core.unlinkedResults = {-1};
    core.priors = {0.5, 0.5};
    core.hypothesisPedigrees.resize(3);

    ASSERT_TRUE(core.selectMainHypothesis(22));  // Paternity (trio), code 23

    EXPECT_EQ(core.mainHypothesis, 22);
    EXPECT_EQ(core.hypothesisCount(), 1);
    EXPECT_TRUE(core.alternativeHypotheses.empty());
    EXPECT_TRUE(core.unlinkedResults.empty());
    EXPECT_TRUE(core.priors.empty());
    const GenotypeTable& table = core.genotypeTable;
    EXPECT_EQ(table.personCount, 3);
    for (int c = 1; c <= 2; ++c)
        for (int s = 1; s <= table.systemsPerCluster[c - 1]; ++s)
            for (int p = 1; p <= 3; ++p)
                for (int slot = 1; slot <= 2; ++slot)
                    EXPECT_EQ(table.alleleText(c, s, p, slot), "-1");
    ASSERT_EQ(core.hypothesisPedigrees.size(), 1u);
    EXPECT_EQ(core.hypothesisPedigrees[0].name, "No name");
    EXPECT_EQ(core.hypothesisPedigrees[0].relations, (std::vector<Relation>{{1, 3}, {2, 3}}));
    const std::vector<int> expectedSexes = {2, 1, 1, 1, 2, 1, 2, 1, 2};
    ASSERT_EQ(table.pedigreePersons.size(), expectedSexes.size());
    for (size_t i = 0; i < expectedSexes.size(); ++i) {
        EXPECT_EQ(table.pedigreePersons[i].name, "NN" + std::to_string(i + 1));
        EXPECT_EQ(table.pedigreePersons[i].isMale, expectedSexes[i] == 1) << i;
    }
}

TEST(SelectMainHypothesis, indexOutsideTheCatalogueChangesNothing) {
    Core core;
    core.selectMainHypothesis(3);
    EXPECT_FALSE(core.selectMainHypothesis(26));
    EXPECT_FALSE(core.selectMainHypothesis(-1));
    EXPECT_EQ(core.mainHypothesis, 3);
    EXPECT_EQ(core.genotypeTable.personCount, 2);
}

TEST(HypothesisPedigrees, alternativesAppendAndRemovalKeepsTheFirstOnRequest) {
    Core core;
    core.selectMainHypothesis(2);
    EXPECT_TRUE(core.addAlternativePedigree(5));
    EXPECT_TRUE(core.addAlternativePedigree(13));
    EXPECT_FALSE(core.addAlternativePedigree(0));
    EXPECT_FALSE(core.addAlternativePedigree(27));
    ASSERT_EQ(core.hypothesisPedigrees.size(), 3u);
    EXPECT_TRUE(core.hypothesisPedigrees[1].relations.empty());  // code 5, unrelated
    EXPECT_EQ(core.hypothesisPedigrees[2].relations.size(), 5u);
    core.removeHypothesisPedigrees(true);
    ASSERT_EQ(core.hypothesisPedigrees.size(), 1u);
    EXPECT_EQ(core.hypothesisPedigrees[0].relations.size(), 4u);
    core.removeHypothesisPedigrees(false);
    EXPECT_TRUE(core.hypothesisPedigrees.empty());
}

TEST(GenotypeTable, resizingKeepsSystemsAndRefillsEveryPerson) {
    GenotypeTable table;
    table.addCluster();
    EXPECT_TRUE(table.addSystem(1));
    EXPECT_FALSE(table.addSystem(2));
    EXPECT_FALSE(table.addSystem(0));
    table.personNames = {"a"};
    table.sexCodes = {1};
    table.resize(4);
    EXPECT_EQ(table.personCount, 4);
    EXPECT_TRUE(table.personNames.empty());
    EXPECT_TRUE(table.sexCodes.empty());
    EXPECT_EQ(table.systemsPerCluster, std::vector<int>{1});
    EXPECT_TRUE(table.setAlleleText(1, 1, 4, 2, "12"));
    EXPECT_EQ(table.alleleText(1, 1, 4, 2), "12");
    table.addCluster();
    EXPECT_TRUE(table.addSystem(2));
    EXPECT_EQ(table.alleleText(2, 1, 4, 1), "-1");
    // Out of range reads give "", writes are refused.
    EXPECT_EQ(table.alleleText(1, 1, 5, 1), "");
    EXPECT_EQ(table.alleleText(1, 2, 1, 1), "");
    EXPECT_EQ(table.alleleText(1, 1, 1, 3), "");
    EXPECT_FALSE(table.setAlleleText(3, 1, 1, 1, "9"));
    EXPECT_FALSE(table.setAlleleText(1, 1, 0, 1, "9"));
}

TEST(PopulationAt, isOneBasedAndRefusesOutsidePositions) {
    Core core;
    core.populations.resize(2);
    core.populations[1].name = "second";
    EXPECT_EQ(core.populationAt(0), nullptr);
    EXPECT_EQ(core.populationAt(3), nullptr);
    ASSERT_NE(core.populationAt(2), nullptr);
    EXPECT_EQ(core.populationAt(2)->name, "second");
}

}  // namespace
}  // namespace relatix
