#include "simulation/simulation_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>

#include "core/core.h"
#include "dialogs/results_presenter.h"
#include "dialogs/simulate_data_presenter.h"
#include "dialogs/simulation_results_presenter.h"
#include "engine/catalogue_likelihoods.h"
#include "linkage/core_update.h"
#include "platform/atomic_file.h"
#include "platform/clock.h"
#include "platform/silent_user_interface.h"
#include "simulation/genotype_simulation.h"
#include "simulation_case.h"
#include "support/exact_engine_support.h"
#include "support/scripted_user_interface.h"

namespace relatix {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedUserInterface;
using testing::simulationCase;
using testing::SimulationMarkers;
using testing::SimulationProgramFolder;

constexpr int kDuo = 24;
constexpr int kUnrelated = 5;

struct FixedClock : Clock {
    std::time_t value;
    explicit FixedClock(std::time_t t) : value(t) {}
    std::time_t now() const override { return value; }
};

TEST(SimulationDialog, refusesWrongNumbersAndSeeds) {
    Core core = simulationCase("", kDuo, {kUnrelated}, {});
    ScriptedUserInterface ui;
    SimulateDataPresenter dialog(core, ui);
    EXPECT_EQ(dialog.numberOfSimulations, "1000");
    EXPECT_TRUE(dialog.randomSeed);
    EXPECT_FALSE(dialog.seedEditable());
    for (const char* text : {"9", "100001", "-5"}) {
        dialog.numberOfSimulations = text;
        ui.expectMessage(kSimulationRangeMessage, "Error");
        dialog.simulate();
    }
    dialog.numberOfSimulations = "many";
    ui.expectMessage(kNoSimulationsMessage, "Error");
    dialog.simulate();
    dialog.numberOfSimulations = "10";
    dialog.randomSeed = false;
    dialog.seed = "none";
    ui.expectMessage(kNoSeedMessage, "Error");
    dialog.simulate();
    EXPECT_FALSE(dialog.closed());
    EXPECT_TRUE(core.simulatedExactLikelihoods.empty());

    EXPECT_EQ(simulationInputError("10", true, ""), "");
    EXPECT_EQ(simulationInputError("100000", false, "3"), "");

    // The random seed is a draw from the generator seeded with the time.
    FixedClock one(1);
    Clock* previous = setClock(&one);
    EXPECT_EQ(simulationSeed(true, ""), 42u);
    setClock(previous);
    EXPECT_EQ(simulationSeed(false, "123"), 123u);
}

TEST(SimulationDialog, theResultsDialogsSimulateButton) {
    Core core = simulationCase("", kDuo, {kUnrelated}, {});
    ScriptedUserInterface ui;
    ResultsPresenter results(ui);
    core.mainHypothesis = kCreatedPedigrees;
    results.attach(core);
    ui.expectMessage("Simulation can not be performed using created pedigrees yet", "Notification");
    results.simulate();
    EXPECT_FALSE(results.simulated());

    core = simulationCase("", 4, {17, kUnrelated}, {});  // half siblings: three hypotheses
    results.attach(core);
    ui.expectMessage("Simulations have not yet been tested and verified\nUse with caution!",
                     "Notification");
    ui.expectMessage("Simulations will only work for the two first pedigrees!", "Notification");
    ui.expectDialog("Simulate data", [](Presenter&) { return DialogResult::Closed; });
    results.simulate();
    EXPECT_TRUE(results.simulated());
    EXPECT_EQ(core.clusterDatabase.clusters.size(), 5u);  // the case was prepared first
}

// Duo against unrelated at 20 linked markers, mutation rates 0, through the
// dialog with a fixed seed and the raw-data file.
TEST(SimulationRun, duoAgainstUnrelatedThroughTheEngine) {
    SimulationProgramFolder program;
    SimulationMarkers markers;
    markers.count = 20;
    Core core = simulationCase(program.path, kDuo, {kUnrelated}, markers);
    ScriptedUserInterface ui;
    SimulateDataPresenter dialog(core, ui);
    dialog.numberOfSimulations = "12";
    dialog.randomSeed = false;
    dialog.seed = "2024";
    dialog.saveRawData = true;
    const std::string raw = (program.folder.path() / "raw.txt").string();
    ui.expectSaveFile(raw);
    std::vector<std::vector<std::string>> rows;
    ui.expectDialogOf<SimulationResultsPresenter>("Simulation results - Likelihood ratios",
                                                  [&](SimulationResultsPresenter& p) {
                                                      rows = p.rows();
                                                      return DialogResult::Closed;
                                                  });
    dialog.simulate();
    ui.verify();
    EXPECT_EQ(ui.fileRequests.at(0).filter, kRawDataFilter);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0], "Paternity (duo)");

    ASSERT_EQ(core.simulatedExactLikelihoods.size(), 24u);
    ASSERT_TRUE(program.hasEngine());
    ASSERT_EQ(core.simulatedLinkedLikelihoods.size(), 24u);
    ASSERT_EQ(core.simulatedUnlinkedLikelihoods.size(), 24u);
    // The run worked in a folder of its own and removed it when it ended.
    EXPECT_TRUE(fs::is_empty(fs::path(program.path) / "temp"));

    // Without mutation the exact engine and the engine on the genetic map agree on
    // every data set; a family the data exclude (paternity excluded) is impossible
    // in both, and the data sets after it keep their values.
    int skipped = 0, afterSkipped = 0;
    for (size_t d = 0; d < 24; ++d) {
        const auto& exact = core.simulatedExactLikelihoods[d];
        const auto& linked = core.simulatedLinkedLikelihoods[d];
        const auto& unlinked = core.simulatedUnlinkedLikelihoods[d];
        for (size_t i = 0; i < 2; ++i) {
            ASSERT_TRUE(exact[i] && linked[i] && unlinked[i]) << "data set " << d;
            if (!std::isfinite(*exact[i])) {
                EXPECT_EQ(linked[i], *exact[i]) << "data set " << d;
                EXPECT_EQ(unlinked[i], *exact[i]) << "data set " << d;
                ++skipped;
                continue;
            }
            afterSkipped += skipped > 0;
            EXPECT_NEAR(*linked[i], *exact[i], 1e-6 * std::fabs(*exact[i])) << "data set " << d;
        }
        if (d % 2 == 0) {
            EXPECT_TRUE(std::isfinite(*linked[0]));  // drawn under paternity: never excluded
        }
    }
    EXPECT_GT(skipped, 0);
    EXPECT_GT(afterSkipped, 0);

    const std::string rawText = testing::readFile(raw);
    EXPECT_EQ(rawText.rfind("Likelihoods ratios (LR) L(Data|True hypothesis)/L(Data|Alternative "
                            "hypothesis)\r\nNumberOfSimulations:\t12\r\n\r\n(Assuming LE)\t",
                            0),
              0u);
    // The title row and every data row hold two group separators.
    size_t separators = 0;
    for (size_t at = rawText.find("|\t"); at != std::string::npos; at = rawText.find("|\t", at + 1))
        ++separators;
    EXPECT_EQ(separators, 2u * (1u + 12u));
}

// Paternity index of a duo at one marker from the allele texts "10", "11", ...
// of the genotype table: P(child | father) / P(child), no mutation.
double duoIndex(const Core& core, const std::vector<double>& p) {
    double index = 1.0;
    for (int c = 1; c <= core.genotypeTable.clusterCount(); ++c) {
        auto allele = [&](int person, int slot) {
            return static_cast<size_t>(
                std::stoi(core.genotypeTable.alleleText(c, 1, person, slot)) - 10);
        };
        const size_t f1 = allele(1, 1), f2 = allele(1, 2), c1 = allele(2, 1), c2 = allele(2, 2);
        auto t = [&](size_t a) { return ((f1 == a) + (f2 == a)) / 2.0; };
        index *= 0.5 * (t(c1) * p[c2] + p[c1] * t(c2)) / (p[c1] * p[c2]);
    }
    return index;
}

// Under unrelated the expected paternity index is 1. Both persons are founders
// in the unrelated pedigree, so the ratio is a product of independent per-marker
// ratios and its variance is prod E[LR_m^2] - 1, computed exactly below; the mean
// of N draws then lies within 5 standard errors of 1 except with a probability
// far below 1e-4 (the sum of 20000 independent ratios with finite variance is
// close to normal; even Chebyshev bounds it by 1/25). The ratio is computed in
// closed form, checked against the exact engine on the first data sets.
// The data sets are drawn in sequence and computed on worker threads: the same
// seed gives the same stored values, bit for bit and in the same order, on one
// thread as on several (also more threads than cores, and than data sets in
// flight at the start).
TEST(SimulationRun, theSameSeedGivesTheSameBitsOnAnyNumberOfThreads) {
    SimulationProgramFolder program;
    ASSERT_TRUE(program.hasEngine());
    SimulationMarkers markers;
    markers.count = 8;
    markers.frequencies = {0.1, 0.2, 0.3, 0.4};
    auto bits = [](const SimulatedDataSets& sets) {
        std::vector<std::optional<std::uint64_t>> out;
        for (const LogLikelihoods& set : sets)
            for (const LogLikelihood& v : set)
                out.push_back(v ? std::optional(std::bit_cast<std::uint64_t>(*v)) : std::nullopt);
        return out;
    };
    struct Run {
        std::vector<std::optional<std::uint64_t>> exact, linked, unlinked;
    };
    auto run = [&](int threads) {
        Core core = simulationCase(program.path, kDuo, {kUnrelated}, markers);
        SilentUserInterface ui;
        EXPECT_TRUE(runSimulation(core, ui, 30, 4242u, "", threads));
        return Run{bits(core.simulatedExactLikelihoods), bits(core.simulatedLinkedLikelihoods),
                   bits(core.simulatedUnlinkedLikelihoods)};
    };
    const Run one = run(1);
    ASSERT_EQ(one.exact.size(), 60u * 2u);
    ASSERT_EQ(one.linked.size(), 60u * 2u);
    EXPECT_TRUE(std::all_of(one.exact.begin(), one.exact.end(), [](auto v) { return v; }));
    for (int threads : {2, 5}) {
        const Run many = run(threads);
        EXPECT_EQ(many.exact, one.exact) << threads << " threads";
        EXPECT_EQ(many.linked, one.linked) << threads << " threads";
        EXPECT_EQ(many.unlinked, one.unlinked) << threads << " threads";
    }
}

// Cancel in the progress window stops the run after the data set in progress and
// leaves every simulated likelihood of the run before it.
TEST(SimulationRun, aCancelledRunLeavesTheEarlierResults) {
    SimulationProgramFolder program;
    SimulationMarkers markers;
    markers.count = 5;
    Core core = simulationCase(program.path, kDuo, {kUnrelated}, markers);
    core.simulatedExactLikelihoods = {{-1.0, -2.0}, {-3.0, -4.0}};
    core.simulatedLinkedLikelihoods = {{-5.0, -6.0}, {-7.0, -8.0}};
    const auto exactBefore = core.simulatedExactLikelihoods;
    const auto linkedBefore = core.simulatedLinkedLikelihoods;
    ScriptedUserInterface ui;
    ui.cancelAfterSteps = 3;
    EXPECT_FALSE(runSimulation(core, ui, 50, 7u, ""));
    EXPECT_EQ(std::count(ui.progressLog.begin(), ui.progressLog.end(), "step"), 3);
    EXPECT_EQ(core.simulatedExactLikelihoods, exactBefore);
    EXPECT_EQ(core.simulatedLinkedLikelihoods, linkedBefore);
    EXPECT_TRUE(fs::is_empty(fs::path(program.path) / "temp"));
}

// Files cut short by a full disk never reach the engine: the run keeps its exact
// values and has no linked ones.
TEST(SimulationRun, aFullDiskLeavesTheLinkedValuesNotAvailable) {
    SimulationProgramFolder program;
    ASSERT_TRUE(program.hasEngine());
    SimulationMarkers markers;
    markers.count = 5;
    Core core = simulationCase(program.path, kDuo, {kUnrelated}, markers);
    core.simulatedLinkedLikelihoods = {{-5.0, -6.0}};  // an earlier run's values
    struct DiskFull {
        DiskFull() { simulateDiskFullAfter(40); }
        ~DiskFull() { simulateDiskFullAfter(std::nullopt); }
    } diskFull;
    SilentUserInterface ui;
    EXPECT_TRUE(runSimulation(core, ui, 10, 7u, ""));
    ASSERT_EQ(core.simulatedExactLikelihoods.size(), 20u);
    ASSERT_EQ(core.simulatedLinkedLikelihoods.size(), 20u);
    for (size_t d = 0; d < 20; ++d)
        for (size_t h = 0; h < 2; ++h) {
            EXPECT_TRUE(core.simulatedExactLikelihoods[d][h]) << d;
            EXPECT_FALSE(core.simulatedLinkedLikelihoods[d][h]) << d;
            EXPECT_FALSE(core.simulatedUnlinkedLikelihoods[d][h]) << d;
        }
}

TEST(SimulationRun, meanPaternityIndexUnderUnrelatedIsOne) {
    SimulationMarkers markers;  // five markers 10 cM apart, frequencies 0.2, 0.3, 0.5
    const std::vector<double> p = markers.frequencies;
    Core core = simulationCase("", kDuo, {kUnrelated}, markers);
    ScriptedUserInterface ui;
    updateCore(core);
    SimulationRun run(core);
    prepareSimulationTables(run, ui);
    run.random.seed(4711);
    const int n = 20000;
    const std::vector<bool> skip(5, false);
    double sum = 0.0;
    for (int s = 0; s < n; ++s) {
        drawDataSet(run, 1, ui);
        const double index = duoIndex(core, p);
        sum += index;
        if (s < 300) {
            testing::computeCatalogueLikelihoods(core, skip, true, ui);
            const auto& w = core.simulatedExactLikelihoods.back();
            const double exact = w[0] && std::isfinite(*w[0]) ? std::exp(*w[0] - *w[1]) : 0.0;
            ASSERT_NEAR(exact, index, 1e-9 * index) << "data set " << s;
        }
        clearSimulatedGenotypes(run);
    }
    const double mean = sum / n;

    // E[LR_m^2] for one marker: sum over father f and child c of P(f)P(c) LR^2,
    // LR = P(c | f) / P(c) with the child taking one of f's alleles at random.
    double second = 0.0;
    for (size_t f1 = 0; f1 < 3; ++f1)
        for (size_t f2 = 0; f2 < 3; ++f2)
            for (size_t c1 = 0; c1 < 3; ++c1)
                for (size_t c2 = 0; c2 < 3; ++c2) {
                    // Ordered genotypes: P(c | f) = 1/2 [t(f, c1) p(c2) + p(c1) t(f, c2)]
                    // with t the fraction of f's alleles equal to the allele.
                    auto t = [&](size_t a) { return ((f1 == a) + (f2 == a)) / 2.0; };
                    const double given = 0.5 * (t(c1) * p[c2] + p[c1] * t(c2));
                    const double lr = given / (p[c1] * p[c2]);
                    second += p[f1] * p[f2] * p[c1] * p[c2] * lr * lr;
                }
    const double variance = std::pow(second, 5) - 1.0;
    const double bound = 5.0 * std::sqrt(variance / n);
    EXPECT_LT(bound, 0.2);  // the check is sharp enough to catch a wrong model
    EXPECT_NEAR(mean, 1.0, bound) << "variance " << variance;
}

}  // namespace
}  // namespace relatix

namespace relatix {
namespace {

// A marker with 70 alleles of which the case's persons carry only the first
// ones: the calculation's frequency file would end after them, but drawn data
// may carry any allele, so the simulation's file keeps all 70 numbers.
TEST(SimulationRun, dataFilesGiveEveryAlleleOfALargeMarkerItsNumber) {
    testing::SimulationProgramFolder program;
    testing::SimulationMarkers markers;
    markers.count = 2;
    markers.frequencies.assign(70, 1.0 / 70);
    Core core = testing::simulationCase(program.path, 24, {5}, markers);
    core.persons[0].dna = {{0, "M1", 0, "10", "14"}};
    core.persons[1].dna = {{0, "M1", 0, "10", "10"}};
    updateCore(core);
    const GenotypeTable before = core.genotypeTable;
    ASSERT_TRUE(writeSimulationDataFiles(core));
    const std::string frequencies = program.temp("temp.freq");
    EXPECT_NE(frequencies.find("A 70 "), std::string::npos);
    EXPECT_EQ(frequencies.find("A 71 "), std::string::npos);
    EXPECT_EQ(core.genotypeTable.alleleTexts, before.alleleTexts);  // the case's table stays
}

// A raw-data table that cannot be written at the end of the run is a failure the
// caller learns of (relatix2-cli simulate then exits 1), not only a message.
TEST(SimulationRun, aRawDataTableThatCannotBeWrittenIsReported) {
    SimulationProgramFolder program;
    SimulationMarkers markers;
    markers.count = 2;
    Core core = simulationCase(program.path, kDuo, {kUnrelated}, markers);
    SilentUserInterface ui;
    Status rawData;
    const std::string raw = (program.folder.path() / "no such folder" / "raw.txt").string();
    ASSERT_TRUE(runSimulation(core, ui, 10, 5u, raw, 1, &rawData));
    EXPECT_FALSE(rawData.ok());
    Status written;
    ASSERT_TRUE(runSimulation(core, ui, 10, 5u, program.folder.file("raw.txt"), 1, &written));
    EXPECT_TRUE(written.ok()) << written.message();
}

// Drawn data sets at markers of 90 and 200 alleles: without mutation the exact
// engine and the engine on the genetic map agree on every data set.
TEST(SimulationRun, largeMarkersGiveLinkedValuesEqualToExactOnes) {
    SimulationProgramFolder program;
    ASSERT_TRUE(program.hasEngine());
    for (int alleles : {90, 200}) {
        SimulationMarkers markers;
        markers.count = 3;
        markers.frequencies.clear();
        double total = 0;
        for (int a = 0; a < alleles; ++a) total += 1 + a % 7;
        for (int a = 0; a < alleles; ++a) markers.frequencies.push_back((1 + a % 7) / total);
        Core core = simulationCase(program.path, kDuo, {3, kUnrelated}, markers);
        core.mutationsOff = true;
        SilentUserInterface ui;
        ASSERT_TRUE(runSimulation(core, ui, 10, 77u, "", 2));
        ASSERT_EQ(core.simulatedLinkedLikelihoods.size(), core.simulatedExactLikelihoods.size());
        for (size_t d = 0; d < core.simulatedExactLikelihoods.size(); ++d)
            for (size_t i = 0; i < core.simulatedExactLikelihoods[d].size(); ++i) {
                const LogLikelihood& exact = core.simulatedExactLikelihoods[d][i];
                const LogLikelihood& linked = core.simulatedLinkedLikelihoods[d][i];
                ASSERT_TRUE(exact && linked) << alleles << " alleles, data set " << d;
                if (!std::isfinite(*exact)) {
                    EXPECT_EQ(*linked, *exact);
                    continue;
                }
                EXPECT_NEAR(*linked, *exact, 1e-9 * std::fabs(*exact))
                    << alleles << " alleles, data set " << d << ", hypothesis " << i + 1;
            }
    }
}

}  // namespace
}  // namespace relatix
