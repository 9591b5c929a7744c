// Markers with many alleles: the LINKAGE files merge only alleles nobody carries,
// so the linkage engine's likelihoods equal the exact engine's without mutation.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/core.h"
#include "linkage/calculation_workflow.h"
#include "platform/silent_user_interface.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

struct EngineFolder {
    TempFolder folder{"large"};
    std::string path = (folder.path() / "prog").string();
    EngineFolder() {
        fs::create_directories(fs::path(path) / "temp");
        const fs::path engine = fs::path(RELATIX_PROGRAM_FOLDER) / "merlinEngine";
        if (fs::exists(engine)) fs::create_symlink(engine, fs::path(path) / "merlinEngine");
    }
    bool hasEngine() const { return fs::exists(fs::path(path) / "merlinEngine"); }
};

// Uneven frequencies that sum to 1, from a small fixed generator.
std::vector<Allele> manyAlleles(int count, std::uint32_t seed) {
    std::vector<double> weights;
    double total = 0.0;
    for (int a = 0; a < count; ++a) {
        seed = seed * 1664525u + 1013904223u;
        weights.push_back(1.0 + (seed >> 8) % 1000);
        total += weights.back();
    }
    std::vector<Allele> alleles;
    for (int a = 0; a < count; ++a) alleles.push_back({std::to_string(a + 1), weights[a] / total});
    return alleles;
}

// One marker per allele count, 15 cM apart on chromosome 1; person p carries
// alleles picked from the whole range, the last ones included.
Core largeMarkerCase(const std::string& programDirectory, const std::vector<int>& counts,
                     const std::vector<bool>& males) {
    Core core(programDirectory);
    Population population;
    for (size_t m = 0; m < counts.size(); ++m) {
        const std::string name = "L" + std::to_string(counts[m]) + "_" + std::to_string(m);
        core.markerMap.markers.push_back(Marker(name, 1, 10.0 + 15.0 * m));
        Marker marker(name, 1, 0);
        marker.alleles = manyAlleles(counts[m], static_cast<std::uint32_t>(7 + m));
        population.markers.push_back(marker);
    }
    core.populations = {population};
    core.activePopulation = 1;
    for (size_t p = 0; p < males.size(); ++p) {
        Person person("NN" + std::to_string(p + 1), males[p]);
        for (size_t m = 0; m < counts.size(); ++m) {
            const int n = counts[m];
            // Shares an allele with the person before, so that relatedness shows.
            const int shared = (n * 3) / 5 + static_cast<int>(m % 3);
            const int own = (p % 2 == 0) ? n - static_cast<int>(p) : 1 + static_cast<int>(p + m);
            person.dna.push_back(
                {0, population.markers[m].name, 0, std::to_string(shared), std::to_string(own)});
        }
        core.persons.push_back(person);
    }
    core.genotypeTable.sexCodes.clear();
    for (bool male : males) core.genotypeTable.sexCodes.push_back(male ? 1 : 2);
    core.mutationsOff = true;
    return core;
}

void expectLinkedEqualsExact(Core& core) {
    SilentUserInterface ui;
    const CalculationOutcome outcome =
        runCalculation(core, ui, [](Core&, UserInterface&) { return true; });
    ASSERT_EQ(outcome.status, CalculationStatus::Calculated);
    ASSERT_TRUE(outcome.engineResultsAvailable);
    ASSERT_EQ(core.exactResults.size(), core.merlinResults.size());
    for (size_t h = 0; h < core.exactResults.size(); ++h) {
        ASSERT_TRUE(core.exactResults[h] && core.merlinResults[h]) << "hypothesis " << h + 1;
        const double exact = *core.exactResults[h];
        EXPECT_NEAR(*core.merlinResults[h], exact, 1e-9 * std::fabs(exact))
            << "hypothesis " << h + 1;
    }
}

const std::vector<int> kAlleleCounts = {60, 64, 65, 90, 200};

TEST(LargeMarkers, linkedLikelihoodsEqualExactOnesForDuoAndFullSiblings) {
    EngineFolder program;
    if (!program.hasEngine()) FAIL() << "merlinEngine is not built";
    Core core = largeMarkerCase(program.path, kAlleleCounts, {true, true});
    core.selectMainHypothesis(23);        // Paternity (duo)
    core.alternativeHypotheses = {0, 2};  // Full siblings, Unrelated
    expectLinkedEqualsExact(core);
}

TEST(LargeMarkers, linkedLikelihoodsEqualExactOnesForATrio) {
    EngineFolder program;
    if (!program.hasEngine()) FAIL() << "merlinEngine is not built";
    Core core = largeMarkerCase(program.path, kAlleleCounts, {true, false, true});
    // The child carries one allele of each parent at every marker.
    for (size_t m = 0; m < kAlleleCounts.size(); ++m) {
        core.persons[2].dna[m].allele1 = core.persons[0].dna[m].allele2;
        core.persons[2].dna[m].allele2 = core.persons[1].dna[m].allele1;
    }
    core.selectMainHypothesis(22);         // Paternity (trio)
    core.alternativeHypotheses = {9, 11};  // Three unrelated, Incest
    expectLinkedEqualsExact(core);
}

}  // namespace
}  // namespace relatix
