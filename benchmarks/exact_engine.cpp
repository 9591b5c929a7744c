// The exact engine on the 40-marker case: 10 to 25 alleles per marker, four
// markers per chromosome, the default threshold and steps, mutation model 1
// with rate 0.002 for both sexes.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include "core/core.h"
#include "engine/catalogue_likelihoods.h"
#include "engine/synthetic_case.h"
#include "platform/silent_user_interface.h"

namespace {

using namespace relatix;

void runCase(benchmark::State& state, int catalogueIndex, std::vector<FamilyMember> typed) {
    Core core;
    SyntheticCaseOptions options;
    options.typed = std::move(typed);
    options.mainHypothesis = catalogueIndex;
    fillSyntheticCase(core, options);
    const std::vector<bool> skip(core.clusterDatabase.clusters.size(), false);
    ExactLikelihoods exact;
    for (auto _ : state) {
        exact = computeExactLikelihoods(core, skip, nullptr);
        benchmark::DoNotOptimize(exact);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["lnL"] = exact.values.empty() ? 0.0 : exact.values[0].value_or(0.0);
    state.counters["peakRSS_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_FullSiblings40(benchmark::State& state) {
    runCase(state, 2, {FamilyMember::ChildA, FamilyMember::ChildB});
}
void BM_Uncle40(benchmark::State& state) {
    runCase(state, 12, {FamilyMember::Uncle, FamilyMember::ChildA});
}
void BM_UncleHypothesisOnSiblings40(benchmark::State& state) {
    runCase(state, 12, {FamilyMember::ChildB, FamilyMember::ChildA});
}
void BM_PaternityTrio40(benchmark::State& state) {
    runCase(state, 22, {FamilyMember::Father, FamilyMember::Mother, FamilyMember::ChildA});
}

}  // namespace

BENCHMARK(BM_FullSiblings40)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Uncle40)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UncleHypothesisOnSiblings40)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaternityTrio40)->Unit(benchmark::kMillisecond);
