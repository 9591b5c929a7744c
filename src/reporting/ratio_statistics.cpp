#include "reporting/ratio_statistics.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace relatix {
namespace {

bool finiteValue(const LogLikelihoods& set, size_t h) {
    return h < set.size() && set[h].has_value() && std::isfinite(*set[h]);
}

}  // namespace

RatioStatistics ratioStatistics(const SimulatedDataSets& exact, const SimulatedDataSets& unlinked,
                                int i, int j) {
    RatioStatistics out;
    if (exact.empty() || exact.front().empty() || i < 1 || j < 1) return out;
    const size_t k = exact.front().size();
    const int m = i != 1 ? i : j;
    if (static_cast<size_t>(std::max(i, m)) > k) return out;
    const size_t n = std::min(exact.size(), unlinked.size()) / k;
    const size_t first = 0, other = static_cast<size_t>(m - 1);

    std::vector<double> ratios;
    for (size_t s = 0; s < n; ++s) {
        const size_t d = s * k + static_cast<size_t>(i - 1);
        const LogLikelihoods& e = exact[d];
        const LogLikelihoods& u = unlinked[d];
        if (!finiteValue(e, first) || !finiteValue(e, other) || !finiteValue(u, first) ||
            !finiteValue(u, other))
            continue;
        // One exponential of the difference of the two log ratios.
        ratios.push_back(std::exp((*e[first] - *e[other]) - (*u[first] - *u[other])));
    }
    out.ratioCount = static_cast<int>(ratios.size());
    if (ratios.empty()) return out;
    std::sort(ratios.begin(), ratios.end());
    const size_t count = ratios.size();
    out.minimum = ratios.front();
    out.maximum = ratios.back();
    out.median =
        count % 2 == 1 ? ratios[count / 2] : (ratios[count / 2 - 1] + ratios[count / 2]) / 2.0;
    auto quantile = [&](int percent) -> std::optional<double> {
        const size_t position = count * static_cast<size_t>(percent) / 100;  // floor, 1-based
        if (position == 0) return std::nullopt;
        return ratios[position - 1];
    };
    out.quantile99 = quantile(99);
    out.quantile95 = quantile(95);
    out.quantile5 = quantile(5);
    out.quantile1 = quantile(1);
    return out;
}

}  // namespace relatix
