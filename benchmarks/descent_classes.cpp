// The grandparent, uncle-with-mother and incest relationships on the 40-marker
// case: 10 to 25 alleles per marker, four markers per chromosome, the default
// threshold and steps, mutation model 1 with rate 0.002 for both sexes. The
// typed persons are taken from the synthetic family in the roles of each code.
#include <benchmark/benchmark.h>

#include "core/core.h"
#include "engine/catalogue_likelihoods.h"
#include "engine/synthetic_case.h"
#include "platform/silent_user_interface.h"

namespace {

using namespace relatix;
using F = FamilyMember;

void runCase(benchmark::State& state, int code, std::vector<F> typed, std::vector<int> sexes) {
    Core core;
    SyntheticCaseOptions options;
    options.typed = std::move(typed);
    options.sexCodes = std::move(sexes);
    options.mainHypothesis = code - 1;
    fillSyntheticCase(core, options);
    const std::vector<bool> skip(core.clusterDatabase.clusters.size(), false);
    ExactLikelihoods exact;
    for (auto _ : state) {
        exact = computeExactLikelihoods(core, skip, nullptr);
        benchmark::DoNotOptimize(exact);
    }
    state.counters["lnL"] = exact.values.empty() ? 0.0 : exact.values[0].value_or(0.0);
}

void BM_Grandparent17(benchmark::State& state) {
    runCase(state, 17, {F::Grandmother, F::ChildA}, {2, 1});
}
void BM_GrandparentDataMother16(benchmark::State& state) {
    runCase(state, 16, {F::Grandfather, F::Mother, F::ChildA}, {1, 2, 1});
}
void BM_Grandparents20(benchmark::State& state) {
    runCase(state, 20, {F::Grandfather, F::Grandmother, F::ChildA}, {1, 2, 1});
}
void BM_GrandparentsDataMother18(benchmark::State& state) {
    runCase(state, 18, {F::Grandfather, F::Grandmother, F::Mother, F::ChildA}, {1, 2, 2, 1});
}
void BM_UncleDataMother12(benchmark::State& state) {
    runCase(state, 12, {F::Uncle, F::Mother, F::ChildA}, {1, 2, 1});
}
// The father's line read as father, daughter and her child.
void BM_Incest25(benchmark::State& state) {
    runCase(state, 25, {F::Grandfather, F::Father, F::ChildA}, {1, 2, 1});
}
void BM_NoIncest26(benchmark::State& state) {
    runCase(state, 26, {F::Grandfather, F::Father, F::ChildA}, {1, 2, 1});
}

}  // namespace

BENCHMARK(BM_Grandparent17)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrandparentDataMother16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Grandparents20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrandparentsDataMother18)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UncleDataMother12)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Incest25)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NoIncest26)->Unit(benchmark::kMillisecond);
