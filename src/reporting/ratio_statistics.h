// How far linkage moves the simulated likelihood ratios: per data set drawn under
// one true hypothesis, the exact LR of hypothesis 1 against another divided by
// the same LR under linkage equilibrium, summarised over the data sets.
#pragma once

#include <optional>

#include "core/log_likelihood.h"

namespace relatix {

// Missing values where they have no defined value: everything without a ratio,
// a quantile whose 1-based position floor(q * n) is 0.
struct RatioStatistics {
    int ratioCount = 0;
    std::optional<double> median;
    std::optional<double> maximum;
    std::optional<double> minimum;
    std::optional<double> quantile99;
    std::optional<double> quantile95;
    std::optional<double> quantile5;
    std::optional<double> quantile1;
};

// Row (i, j) of 1-based hypotheses with i = 1 or j = 1: the data sets s*k + i - 1
// of both lists (k log-likelihoods each), the ratio
// exp(exact[1] - exact[m]) / exp(unlinked[1] - unlinked[m]) with m the one of i
// and j that is not 1; data sets where any of the four values is missing or not
// finite are passed over.
RatioStatistics ratioStatistics(const SimulatedDataSets& exact, const SimulatedDataSets& unlinked,
                                int i, int j);

}  // namespace relatix
