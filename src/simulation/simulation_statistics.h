// Summary of the simulated likelihood ratios of one true pedigree against a
// scale pedigree: median, mean, extremes, low quantiles and exceedance fractions.
#pragma once

#include <vector>

#include "core/log_likelihood.h"

namespace relatix {

struct SimulationStatistics {
    double median = -1.0;
    double mean = -1.0;
    double minimum = 1e11;  // stays so when no ratio was collected
    double maximum = 0.0;
    double quantile5 = 0.0;     // 0 with fewer than 21 ratios
    double quantile1 = 0.0;     // 0 with fewer than 101 ratios
    int zeroCount = 0;          // data sets impossible under the numerator: LR 0
    int notAvailableCount = 0;  // data sets without a value for the scale, numerator or t
    double above1000 = -1.0;    // fraction of ratios strictly above 1000
    double above10000 = -1.0;
    double above100000 = -1.0;
    int ratioCount = 0;  // usable ratios
};

// Fewer usable ratios than this leave median, mean and fractions at -1.
inline constexpr int kMinimumRatios = 10;

// The ratios L(h)/L(c) over the data sets drawn under true pedigree t (0-based),
// where sets holds k log-likelihoods per data set, data set s*k + t from
// simulation s, and h is the second hypothesis when c is the first, else the
// first. A missing value for c, h or t makes the data set not available; ln L =
// -inf for h or t (data impossible under it) counts it as LR 0, and for c (an
// infinite ratio) as not available.
SimulationStatistics simulationStatistics(const SimulatedDataSets& sets, int t, int c);

// The numerator hypothesis of the statistics for scale c (0-based).
inline int numeratorHypothesis(int c) {
    return c == 0 ? 1 : 0;
}

}  // namespace relatix
