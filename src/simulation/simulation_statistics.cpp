#include "simulation/simulation_statistics.h"

#include <algorithm>
#include <cmath>

namespace relatix {

SimulationStatistics simulationStatistics(const SimulatedDataSets& sets, int t, int c) {
    SimulationStatistics out;
    if (sets.empty() || sets.front().empty()) return out;
    const size_t k = sets.front().size();
    const size_t n = sets.size() / k;
    const int h = numeratorHypothesis(c);
    if (t < 0 || c < 0 || static_cast<size_t>(std::max({t, c, h})) >= k) return out;

    std::vector<double> ratios;
    double sum = 0.0;
    for (size_t j = 0; j < n; ++j) {
        const LogLikelihoods& w = sets[static_cast<size_t>(t) + j * k];
        if (w.size() < k) {
            ++out.notAvailableCount;
            continue;
        }
        const LogLikelihood& scale = w[static_cast<size_t>(c)];
        const LogLikelihood& numerator = w[static_cast<size_t>(h)];
        const LogLikelihood& truth = w[static_cast<size_t>(t)];
        // A missing value is never read as a ratio: such a data set has none.
        if (!scale || !numerator || !truth || std::isnan(*scale) || std::isnan(*numerator) ||
            (std::isinf(*scale) && std::isfinite(*numerator))) {
            ++out.notAvailableCount;
            continue;
        }
        if (std::isinf(*numerator) || std::isinf(*truth)) {
            ++out.zeroCount;
            continue;
        }
        const double ratio = std::exp(*numerator - *scale);
        sum += ratio;
        ratios.push_back(ratio);
        out.maximum = std::max(out.maximum, ratio);
        out.minimum = std::min(out.minimum, ratio);
    }
    const size_t count = ratios.size();
    out.ratioCount = static_cast<int>(count);
    if (count < static_cast<size_t>(kMinimumRatios)) return out;

    out.mean = sum / static_cast<double>(count);
    auto fraction = [&](double limit) {
        return static_cast<double>(std::count_if(ratios.begin(), ratios.end(),
                                                 [limit](double r) { return r > limit; })) /
               static_cast<double>(count);
    };
    out.above1000 = fraction(1000.0);
    out.above10000 = fraction(10000.0);
    out.above100000 = fraction(100000.0);
    std::sort(ratios.begin(), ratios.end());
    out.median =
        count % 2 == 1 ? ratios[count / 2] : (ratios[count / 2 - 1] + ratios[count / 2]) / 2.0;
    if (count >= 21) out.quantile5 = ratios[count / 20 - 1];    // position floor(0.05 L)
    if (count >= 101) out.quantile1 = ratios[count / 100 - 1];  // position floor(0.01 L)
    return out;
}

}  // namespace relatix
