// The sibling relationships of the exact engine on the 40-marker case: 10 to
// 25 alleles per marker, four markers per chromosome, the default threshold
// and steps, mutation model 1 with rate 0.002 for both sexes. The typed persons
// come from the case's family and fit the hypothesis as closely as it allows.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include "core/core.h"
#include "engine/catalogue_likelihoods.h"
#include "engine/synthetic_case.h"
#include "platform/silent_user_interface.h"

namespace {

using namespace relatix;
using F = FamilyMember;

void BM_Code(benchmark::State& state, int code, std::vector<FamilyMember> typed,
             std::vector<int> sexes) {
    SyntheticCaseOptions options;
    options.typed = std::move(typed);
    options.sexCodes = std::move(sexes);
    options.mainHypothesis = code - 1;
    Core core;
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

}  // namespace

BENCHMARK_CAPTURE(BM_Code, FullSiblingsDataMother1, 1, {F::Mother, F::ChildA, F::ChildB}, {2, 1, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Code, HalfSiblingsDataMother2, 2, {F::Mother, F::ChildA, F::ChildB}, {2, 1, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Code, HalfSiblings4, 4, {F::ChildA, F::ChildB}, {1, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Code, HalfSiblingsUncleNephew4, 4, {F::Uncle, F::ChildA}, {1, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Code, PaternalHalfSiblingsDataMothers6, 6,
                  {F::Mother, F::Grandmother, F::ChildA, F::Uncle}, {2, 2, 1, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Code, HalfSiblingsDifferentMothers7, 7, {F::ChildA, F::ChildB}, {1, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Code, ThreeFullSiblings8, 8, {F::ChildA, F::ChildB, F::Father}, {1, 1, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Code, ThreeFullSiblingsUncleFather8, 8, {F::Uncle, F::Father, F::ChildA},
                  {1, 1, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Code, TwoFullSiblingsOneHalf9, 9, {F::ChildA, F::ChildB, F::Uncle}, {1, 1, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Code, TwoFullSiblingsOnePaternalHalf10, 10, {F::ChildA, F::ChildB, F::Uncle},
                  {1, 1, 1})
    ->Unit(benchmark::kMillisecond);
