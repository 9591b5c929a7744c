#include <gtest/gtest.h>

#include <cmath>

#include "core/core.h"
#include "linkage/core_update.h"
#include "simulation/genotype_simulation.h"
#include "simulation/random_generator.h"
#include "simulation_case.h"
#include "support/scripted_user_interface.h"

namespace relatix {
namespace {

using testing::ScriptedUserInterface;
using testing::simulationCase;
using testing::SimulationMarkers;

constexpr int kTrio = 23;
constexpr int kDuo = 24;
constexpr int kUnrelated = 5;

TEST(RandomGenerator, firstDrawAfterSeedOneAndTheInverseDistributionDraw) {
    RandomGenerator random(1);
    EXPECT_EQ(random.next(), 41);

    // A list ending at 0.9 returns its last index for every u >= 0.9, and the
    // first index whose entry exceeds u otherwise.
    const std::vector<double> cumulative = {0.3, 0.6, 0.9};
    RandomGenerator a(12345), b(12345);
    int high = 0;
    for (int i = 0; i < 5000; ++i) {
        const double u = a.uniform();
        const int j = drawIndex(b, cumulative);
        const int expected = u < 0.3 ? 1 : u < 0.6 ? 2 : 3;
        ASSERT_EQ(j, expected) << "u = " << u;
        high += u >= 0.9;
    }
    EXPECT_GT(high, 300);  // the u >= 0.9 case was met
    EXPECT_EQ(drawIndex(b, std::vector<double>{}), 0);
    EXPECT_EQ(drawIndex(b, std::vector<double>{0.0, 1.0, 1.0}), 2);  // never past the first 1
}

struct DrawingCase {
    ScriptedUserInterface ui;
    Core core;
    SimulationRun run{core};
    DrawingCase(int mainCode, const std::vector<int>& alternatives, SimulationMarkers markers)
        : core(simulationCase("", mainCode, alternatives, markers)) {
        updateCore(core);
        prepareSimulationTables(run, ui);
    }
    std::vector<Person>& persons() { return core.genotypeTable.pedigreePersons; }
    int allele(int person, size_t entry, int slot) {
        const DnaObservation& d = persons()[static_cast<size_t>(person - 1)].dna.at(entry);
        return std::stoi(slot == 1 ? d.allele1 : d.allele2);
    }
    void setMutation(int sexFlag, int model, double rate) {
        for (Cluster& cluster : core.clusterDatabase.clusters)
            cluster.systems[0].mutation[sexFlag] = {model, rate, 0.0, 0.0};
        prepareSimulationTables(run, ui);
    }
};

TEST(GenotypeDrawing, trioTablesTransformationAndInheritanceWithoutMutation) {
    DrawingCase trio(kTrio, {}, {});
    ASSERT_EQ(trio.persons().size(), 9u);
    ASSERT_EQ(trio.run.mapEntries.size(), 5u);
    EXPECT_EQ(trio.run.mapEntries[2].cluster, 3);
    EXPECT_EQ(trio.run.mapEntries[2].system, 1);
    EXPECT_DOUBLE_EQ(trio.run.mapEntries[2].position, 25.0);
    const PedigreeStructure& pedigree = trio.run.pedigrees.at(0);
    EXPECT_EQ(pedigree.founderFlags,
              (std::vector<bool>{true, true, false, true, true, true, true, true, true}));
    EXPECT_EQ(pedigree.parentLists[2], (std::vector<int>{1, 2}));
    EXPECT_FALSE(trio.persons()[0].isMale);  // person 1 of a trio is the mother
    EXPECT_EQ(simulationTransformation(kTrio, trio.ui),
              (std::vector<int>{1, 2, 3, 0, 0, 0, 0, 0, 0}));

    for (int set = 0; set < 200; ++set) {
        drawDataSet(trio.run, 0, trio.ui);
        for (size_t h = 0; h < 5; ++h) {
            const int a1 = trio.allele(3, h, 1), a2 = trio.allele(3, h, 2);
            ASSERT_TRUE(a1 == trio.allele(1, h, 1) || a1 == trio.allele(1, h, 2));
            ASSERT_TRUE(a2 == trio.allele(2, h, 1) || a2 == trio.allele(2, h, 2));
            // The table holds the names of the drawn numbers for analysis persons 1..3.
            for (int p = 1; p <= 3; ++p)
                ASSERT_EQ(trio.core.genotypeTable.alleleText(static_cast<int>(h) + 1, 1, p, 1),
                          std::to_string(9 + trio.allele(p, h, 1)));
        }
        clearSimulatedGenotypes(trio.run);
        for (const Person& p : trio.persons()) ASSERT_TRUE(p.dna.empty());
    }
}

TEST(GenotypeDrawing, aFixedSeedGivesTheSameDataSets) {
    auto draw = [](std::uint32_t seed) {
        DrawingCase c(kTrio, {}, {});
        c.run.random.seed(seed);
        std::vector<std::string> texts;
        for (int set = 0; set < 20; ++set) {
            drawDataSet(c.run, 0, c.ui);
            for (const Person& p : c.persons())
                for (const DnaObservation& d : p.dna) texts.push_back(d.allele1 + "/" + d.allele2);
            clearSimulatedGenotypes(c.run);
        }
        return texts;
    };
    EXPECT_EQ(draw(77), draw(77));
    EXPECT_NE(draw(77), draw(78));
}

TEST(GenotypeDrawing, mutationUsesTheParentsSexAndItsRate) {
    // Every founder is 10/10; the mother (person 1 of a trio) always mutates to
    // allele 11, the father never mutates.
    SimulationMarkers markers;
    markers.frequencies = {1.0, 0.0};
    DrawingCase trio(kTrio, {}, markers);
    trio.core.clusterDatabase.clusters[0].systems[0].frequencies = {1.0, 0.0};
    for (Cluster& cluster : trio.core.clusterDatabase.clusters)
        cluster.systems[0].frequencies = {1.0, 0.0};
    trio.setMutation(0, 1, 1.0);  // female: model 1, rate 1
    for (int set = 0; set < 20; ++set) {
        drawDataSet(trio.run, 0, trio.ui);
        for (size_t h = 0; h < 5; ++h) {
            ASSERT_EQ(trio.allele(1, h, 1), 1);
            ASSERT_EQ(trio.allele(3, h, 1), 2);  // from the mother, mutated
            ASSERT_EQ(trio.allele(3, h, 2), 1);  // from the father
        }
        clearSimulatedGenotypes(trio.run);
    }
}

TEST(GenotypeDrawing, slotChoiceFollowsKosambiAlongAChromosome) {
    DrawingCase c(kDuo, {kUnrelated}, {});
    c.run.mapEntries = {{0.0, 0, 1, 1}, {0.0, 0, 2, 1}, {10.0, 0, 3, 1}, {10.0, 1, 4, 1}};
    const CumulativeMatrix& none = c.run.femaleCumulativeMutation[0][0];
    int switchesAtZero = 0, switchesAtTen = 0, slot1OnNewChromosome = 0;
    const int n = 20000;
    for (int i = 0; i < n; ++i) {
        int state = 0;
        const int first = transmitAllele(c.run, 0, 1, 2, state, none).passed;
        switchesAtZero += transmitAllele(c.run, 1, 1, 2, state, none).passed != first;
        const int second = state;
        switchesAtTen += transmitAllele(c.run, 2, 1, 2, state, none).passed != second;
        slot1OnNewChromosome += transmitAllele(c.run, 3, 1, 2, state, none).passed == 1;
    }
    EXPECT_EQ(switchesAtZero, 0);  // 0 cM apart: always the same slot
    // 10 cM: theta = 0.5 * tanh(0.2) = 0.0987; binomial standard error 0.0021.
    EXPECT_NEAR(switchesAtTen / double(n), 0.5 * std::tanh(0.2), 0.01);
    EXPECT_NEAR(slot1OnNewChromosome / double(n), 0.5, 0.015);  // even choice
}

TEST(GenotypeDrawing, foundersDrawAllelesWithTheirFrequencies) {
    DrawingCase c(kDuo, {kUnrelated}, {});
    int counts[3] = {0, 0, 0};
    int total = 0;
    for (int set = 0; set < 2000; ++set) {
        simulateFounders(c.run, c.run.pedigrees[1].founderFlags);  // unrelated: all founders
        for (const Person& p : c.persons())
            for (const DnaObservation& d : p.dna) {
                ++counts[std::stoi(d.allele1) - 1];
                ++counts[std::stoi(d.allele2) - 1];
                total += 2;
            }
        clearSimulatedGenotypes(c.run);
    }
    const double expected[3] = {0.2, 0.3, 0.5};
    for (int a = 0; a < 3; ++a) EXPECT_NEAR(counts[a] / double(total), expected[a], 0.01);
}

TEST(GenotypeDrawing, badCodesAndPedigreesWithoutFoundersFailSoftly) {
    ScriptedUserInterface ui;
    ui.expectMessage(kSimulationErrorMessage, "Relatix2");
    EXPECT_TRUE(simulationTransformation(27, ui).empty());

    // A pedigree in which two persons are each other's parent: neither can be
    // drawn from parents, so both are drawn as founders, and nothing hangs.
    DrawingCase c(kDuo, {kUnrelated}, {});
    c.run.pedigrees[0].founderFlags.assign(c.persons().size(), true);
    c.run.pedigrees[0].founderFlags[0] = c.run.pedigrees[0].founderFlags[1] = false;
    c.run.pedigrees[0].parentLists.assign(c.persons().size(), {});
    c.run.pedigrees[0].parentLists[0] = {2};
    c.run.pedigrees[0].parentLists[1] = {1};
    drawDataSet(c.run, 0, c.ui);
    EXPECT_EQ(c.persons()[0].dna.size(), 5u);
    EXPECT_EQ(c.persons()[1].dna.size(), 5u);
}

}  // namespace
}  // namespace relatix
