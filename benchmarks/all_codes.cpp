// Every one of the 26 catalogue relationships of the exact engine on the
// 40-marker case: 10 to 25 alleles per marker, four markers per chromosome, the
// default threshold and steps, mutation model 1 with rate 0.002 for both
// sexes; theta 0, and again with theta 0.02. The typed persons are taken from
// the synthetic family in the roles each code names, as closely as the family
// allows.
//
// One iteration of a single code (for instruction counts under callgrind):
//   bench_all_codes --benchmark_filter='Code/9$' --benchmark_min_time=0
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/core.h"
#include "engine/catalogue_likelihoods.h"
#include "engine/synthetic_case.h"

namespace {

using namespace relatix;
using F = FamilyMember;

struct CodeCase {
    std::vector<FamilyMember> typed;
    std::vector<int> sexes;
};

// The family: the grandparents, their sons the uncle and the father, the
// mother, and the father's and mother's two children.
CodeCase caseOf(int code) {
    switch (code) {
        case 1:
        case 2: return {{F::Mother, F::ChildA, F::ChildB}, {2, 1, 1}};
        case 3:
        case 4:
        case 5:
        case 7: return {{F::ChildA, F::ChildB}, {1, 1}};
        case 6:
        case 22: return {{F::Mother, F::Grandmother, F::ChildA, F::Uncle}, {2, 2, 1, 1}};
        case 8: return {{F::ChildA, F::ChildB, F::Father}, {1, 1, 1}};
        case 9:
        case 10:
        case 11: return {{F::ChildA, F::ChildB, F::Uncle}, {1, 1, 1}};
        case 12:
        case 14:
        case 21: return {{F::Uncle, F::Mother, F::ChildA}, {1, 2, 1}};
        case 13:
        case 15: return {{F::Uncle, F::ChildA}, {1, 1}};
        case 16: return {{F::Grandfather, F::Mother, F::ChildA}, {1, 2, 1}};
        case 17: return {{F::Grandmother, F::ChildA}, {2, 1}};
        case 18:
        case 19: return {{F::Grandfather, F::Grandmother, F::Mother, F::ChildA}, {1, 2, 2, 1}};
        case 20: return {{F::Grandfather, F::Grandmother, F::ChildA}, {1, 2, 1}};
        case 23: return {{F::Father, F::Mother, F::ChildA}, {1, 2, 1}};
        case 24: return {{F::Father, F::ChildA}, {1, 1}};
        case 25:
        case 26: return {{F::Grandfather, F::Father, F::ChildA}, {1, 2, 1}};
        default: return {};
    }
}

void runCode(benchmark::State& state, double theta) {
    const int code = static_cast<int>(state.range(0));
    CodeCase c = caseOf(code);
    SyntheticCaseOptions options;
    options.typed = std::move(c.typed);
    options.sexCodes = std::move(c.sexes);
    options.mainHypothesis = code - 1;
    Core core;
    fillSyntheticCase(core, options);
    core.clusterDatabase.theta = theta;
    const std::vector<bool> skip(core.clusterDatabase.clusters.size(), false);
    ExactLikelihoods exact;
    for (auto _ : state) {
        exact = computeExactLikelihoods(core, skip, nullptr);
        benchmark::DoNotOptimize(exact);
    }
    state.counters["lnL"] = exact.values.empty() ? 0.0 : exact.values[0].value_or(0.0);
    state.SetLabel(catalogueName(code));
}

void BM_Code(benchmark::State& state) {
    runCode(state, 0.0);
}
// The same with theta 0.02.
void BM_CodeTheta(benchmark::State& state) {
    runCode(state, 0.02);
}

}  // namespace

BENCHMARK(BM_Code)->Name("Code")->DenseRange(1, 26)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CodeTheta)->Name("CodeTheta")->DenseRange(1, 26)->Unit(benchmark::kMillisecond);
