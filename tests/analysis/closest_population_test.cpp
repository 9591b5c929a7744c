#include "analysis/closest_population.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "analysis/population_exports.h"
#include "core/core.h"
#include "simulation/random_generator.h"
#include "support/typed_observation.h"

namespace relatix {
namespace {

Marker populationMarker(const std::string& name, std::vector<Allele> alleles) {
    Marker marker(name, 1, 0.0);
    marker.alleles = std::move(alleles);
    return marker;
}

Population population(const std::string& name, std::vector<Marker> markers) {
    Population p;
    p.name = name;
    p.markers = std::move(markers);
    return p;
}

TEST(ClosestPopulation, genotypeProbabilityCountsAbsentAllelesWithFivePercent) {
    const Population p =
        population("P", {populationMarker("M", {{"10", 0.2}, {"11", 0.3}, {"12", 0.0}})});
    EXPECT_DOUBLE_EQ(genotypeProbability(p, "M", "10", "10"), 0.04);
    EXPECT_DOUBLE_EQ(genotypeProbability(p, "M", "10", "11"), 2 * 0.2 * 0.3);
    EXPECT_DOUBLE_EQ(genotypeProbability(p, "M", "10", "99"), 2 * 0.2 * 0.05);
    // Two absent alleles, one of them with frequency 0, and a marker the population lacks.
    EXPECT_DOUBLE_EQ(genotypeProbability(p, "M", "12", "99"), 0.005);
    EXPECT_DOUBLE_EQ(genotypeProbability(p, "Other", "1", "2"), 0.005);
    EXPECT_DOUBLE_EQ(genotypeProbability(p, "Other", "1", "1"), 0.0025);

    EXPECT_TRUE(snpMarker(Marker()));
    EXPECT_TRUE(snpMarker(populationMarker("S", {{"A", 0.5}, {"g", 0.3}, {"1", 0.1}, {"2", 0.1}})));
    EXPECT_FALSE(snpMarker(populationMarker("S", {{"A", 0.5}, {"AG", 0.5}})));
    EXPECT_FALSE(snpMarker(populationMarker("S", {{"12", 1.0}})));
    EXPECT_FALSE(snpMarker(
        populationMarker("S", {{"A", 0.2}, {"C", 0.2}, {"G", 0.2}, {"T", 0.2}, {"a", 0.2}})));
}

TEST(ClosestPopulation, markersAPopulationLacksAreLeftOutForAll) {
    Core core;
    core.markerMap.markers = {Marker("M1", 1, 1), Marker("M2", 1, 2), Marker("M3", 2, 1)};
    core.populations = {
        population("A", {populationMarker("M1", {{"1", 0.5}, {"2", 0.5}}),
                         populationMarker("M2", {{"1", 0.9}, {"2", 0.1}}),
                         populationMarker("M3", {{"1", 0.25}, {"2", 0.75}})}),
        population("B", {populationMarker("M3", {{"1", 0.5}, {"2", 0.5}}),
                         populationMarker("M1", {{"1", 0.1}, {"2", 0.9}})}),
    };
    Person profile("X");
    profile.dna = {
        testing::typedObservation("M3", "2", "2"), testing::typedObservation("M2", "1", "1"),
        testing::typedObservation("M1", "1", "2"), testing::typedObservation("Unmapped", "1", "1")};
    const MarkerIndexTable table(core);
    EXPECT_EQ(table.position(0, 1), 2);
    EXPECT_EQ(table.position(1, 1), std::nullopt);
    EXPECT_EQ(sharedMarkers(core, table, profile), (std::vector<size_t>{0, 2}));

    const auto unsorted = populationLikelihoods(core, profile, false);
    ASSERT_EQ(unsorted.size(), 2u);
    EXPECT_EQ(unsorted[0].population, "A");
    EXPECT_NEAR(unsorted[0].logLikelihood, std::log(0.5) + std::log(0.75 * 0.75), 1e-12);
    EXPECT_NEAR(unsorted[1].logLikelihood, std::log(0.18) + std::log(0.25), 1e-12);
    EXPECT_NEAR(unsorted[0].posterior + unsorted[1].posterior, 1.0, 1e-12);
    const auto sorted = populationLikelihoods(core, profile, true);
    EXPECT_EQ(sorted[0].population, "A");

    // Ties keep population order; a profile without shared markers gives 0 everywhere.
    Person untyped("Y");
    const auto ties = populationLikelihoods(core, untyped, true);
    EXPECT_EQ(ties[0].population, "A");
    EXPECT_EQ(ties[1].population, "B");
    EXPECT_DOUBLE_EQ(ties[0].posterior, 0.5);
}

TEST(ClosestPopulation, posteriorsHoldForVeryNegativeLogLikelihoods) {
    const auto near = posteriorsFromLogLikelihoods({-10, -12});
    EXPECT_NEAR(near[0], 0.8808, 5e-5);
    EXPECT_NEAR(near[1], 0.1192, 5e-5);
    const auto far = posteriorsFromLogLikelihoods({-805, -800});
    EXPECT_NEAR(far[0], 0.00669, 5e-6);
    EXPECT_NEAR(far[1], 0.99331, 5e-6);
    EXPECT_NEAR(far[0] + far[1], 1.0, 1e-12);
}

TEST(StructureExport, distanceLineAndDrawsFromFrequenciesBelowOne) {
    EXPECT_EQ(structureDistanceLine(
                  {Marker("a", 1, 10), Marker("b", 1, 25), Marker("c", 1, 40), Marker("d", 2, 5)}),
              "-1 15 15 -1 ");

    // Genotype weights 0.25 (A,A), 0.3 (A,B), 0.09 (B,B): total 0.64.
    const Marker marker = populationMarker("M", {{"A", 0.5}, {"B", 0.3}});
    RandomGenerator random(7);
    int last = 0;
    for (int k = 0; k < 300; ++k) {
        RandomGenerator peek = random;
        const double u = peek.uniform();
        const auto genotype = drawStructureGenotype(marker, random);
        ASSERT_TRUE(genotype);
        using G = std::pair<size_t, size_t>;
        const G expected = u < 0.25 ? G{0, 0} : u < 0.55 ? G{0, 1} : G{1, 1};
        EXPECT_EQ(*genotype, expected) << "u = " << u;
        last += u >= 0.64;
    }
    EXPECT_GT(last, 50);
    EXPECT_FALSE(drawStructureGenotype(Marker(), random));
}

// Three populations, each putting 80 % of every marker on two alleles of its own.
Core separatedPopulations(int markers) {
    Core core;
    for (int m = 0; m < markers; ++m)
        core.markerMap.markers.emplace_back("M" + std::to_string(m), 1 + m / 10, m % 10 * 5.0);
    for (int k = 0; k < 3; ++k) {
        Population p;
        p.name = std::string(1, static_cast<char>('A' + k));
        for (const Marker& mapMarker : core.markerMap.markers) {
            Marker marker(mapMarker.name, 1, 0);
            for (int a = 0; a < 6; ++a)
                marker.alleles.push_back({std::to_string(a + 1), a / 2 == k ? 0.4 : 0.05});
            p.markers.push_back(marker);
        }
        core.populations.push_back(p);
    }
    return core;
}

TEST(ClosestPopulation, profilesDrawnFromAPopulationAreAssignedToIt) {
    const Core core = separatedPopulations(30);
    const MarkerIndexTable table(core);
    int assigned = 0;
    for (std::uint32_t seed = 1; seed <= 100; ++seed) {
        RandomGenerator random(seed);
        Person profile("drawn");
        for (const Marker& marker : core.populations[0].markers) {
            const auto g = *drawStructureGenotype(marker, random);
            profile.dna.push_back(testing::typedObservation(
                marker.name, marker.alleles[g.first].name, marker.alleles[g.second].name));
        }
        const auto results = populationLikelihoods(core, table, profile, true);
        assigned += results[0].population == "A" && results[0].posterior > 0.99;
    }
    EXPECT_GE(assigned, 95);
}

TEST(StructureExport, fileHoldsReferenceIndividualsAndProfilesWithCodes) {
    Core core;
    core.markerMap.markers = {Marker("M1", 1, 10), Marker("M2", 1, 12.5)};
    core.populations = {
        population("A", {populationMarker("M1", {{"10", 0.5}, {"11", 0.5}})}),
        population("B", {populationMarker("M1", {{"12", 1.0}, {"10", 0.0}}),
                         populationMarker("M2", {{"7", 1.0}})}),
    };
    Person profile("Case 1");
    profile.dna = {testing::typedObservation("M1", "12", "99")};
    core.ancestryPersons = {profile};

    std::ostringstream file, again;
    writeStructureFile(core, 42, file);
    writeStructureFile(core, 42, again);
    EXPECT_EQ(file.str(), again.str());
    std::istringstream in(file.str());
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        ASSERT_FALSE(line.empty());
        ASSERT_EQ(line.back(), '\r');
        lines.push_back(line.substr(0, line.size() - 1));
    }
    ASSERT_EQ(lines.size(), 2u + 100u + 1u);
    EXPECT_EQ(lines[0], "M1 M2 ");
    EXPECT_EQ(lines[1], "-1 2.5 ");
    // Population A lacks M2; population B always draws 12/12 at M1 and 7/7 at M2.
    EXPECT_EQ(lines[2].substr(0, 16), "Individual1 1 1 ");
    EXPECT_EQ(lines[2].substr(lines[2].size() - 6), "-9 -9 ");
    EXPECT_EQ(lines[52], "Individual51 2 1 3 3 1 1 ");
    // A blank in a name would shift STRUCTURE's columns: it is written "_" and listed.
    EXPECT_EQ(lines[102], "Case_1 0 0 3 -9 -9 -9 ");
    const std::vector<StructureRename> renames = structureRenames(core);
    ASSERT_EQ(renames.size(), 1u);
    EXPECT_EQ(renames[0].from, "Case 1");
    EXPECT_EQ(renames[0].to, "Case_1");
    EXPECT_EQ(structureRenamesText(renames),
              "Names written otherwise in the STRUCTURE file:\nCase 1 -> Case_1");
    core.markerMap.markers[1].name = "PENTA\tD";
    std::ostringstream renamedMarker;
    writeStructureFile(core, 42, renamedMarker);
    EXPECT_EQ(renamedMarker.str().substr(0, 12), "M1 PENTA_D \r");
}

TEST(GenoGeographerExport, writesTypedMarkersThatPassTheSnpFilter) {
    Core core;
    core.markerMap.markers = {Marker("rs1", 1, 1), Marker("STR", 1, 2), Marker("rs2", 1, 3),
                              Marker("rs3", 1, 4), Marker("untyped", 1, 5)};
    core.populations = {
        population("Other", {populationMarker("rs2", {{"12", 1.0}})}),
        population("Active", {populationMarker("rs1", {{"A", 0.5}, {"G", 0.5}}),
                              populationMarker("STR", {{"12", 0.5}, {"13", 0.5}}),
                              populationMarker("untyped", {{"A", 1.0}})}),
    };
    core.activePopulation = 2;
    Person profile("P");
    profile.dna = {
        testing::typedObservation("rs3", "C", ""), testing::typedObservation("STR", "12", "13"),
        testing::typedObservation("rs1", "A", "G"), testing::typedObservation("rs2", "A", "A")};
    std::ostringstream out;
    writeGenoGeographerFile(core, profile, out);
    // rs2 is judged by the one population holding it; rs3 by none, so it passes.
    EXPECT_EQ(out.str(), "Marker;Genotype\r\nrs1;AG\r\nrs3;CC\r\n");

    std::ostringstream table;
    core.ancestryPersons = {profile};
    writeLikelihoodTable(core, table);
    // No marker is held by both populations: every log likelihood is 0.
    EXPECT_EQ(table.str(), "Sample id\tOther\tActive\t\r\nP\t0\t0\t\r\n");
}

}  // namespace
}  // namespace relatix
