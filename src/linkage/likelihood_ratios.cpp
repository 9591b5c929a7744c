#include "linkage/likelihood_ratios.h"

#include <cmath>
#include <limits>

namespace relatix {

std::vector<std::optional<double>> likelihoodRatios(const LogLikelihoods& logLikelihoods,
                                                    int reference) {
    std::vector<std::optional<double>> ratios(logLikelihoods.size());
    if (reference < 1 || reference > static_cast<int>(logLikelihoods.size())) return ratios;
    const LogLikelihood& c = logLikelihoods[static_cast<size_t>(reference - 1)];
    if (!c || std::isnan(*c)) return ratios;
    for (size_t i = 0; i < logLikelihoods.size(); ++i) {
        const LogLikelihood& l = logLikelihoods[i];
        if (!l || std::isnan(*l)) continue;
        if (std::isinf(*c) && *c < 0) {
            if (std::isfinite(*l)) ratios[i] = std::numeric_limits<double>::infinity();
            continue;  // -inf against -inf has no ratio
        }
        ratios[i] = std::exp(*l - *c);
    }
    return ratios;
}

std::vector<std::optional<double>> posteriorProbabilities(const LogLikelihoods& logLikelihoods,
                                                          const std::vector<double>& priors) {
    const size_t n = logLikelihoods.size();
    std::vector<std::optional<double>> posteriors(n);
    // ln(p[i] L[i]) for the hypotheses with a value; -inf for prior 0 or L = 0.
    std::vector<double> terms(n, -std::numeric_limits<double>::infinity());
    double largest = -std::numeric_limits<double>::infinity();
    for (size_t i = 0; i < n; ++i) {
        const LogLikelihood& l = logLikelihoods[i];
        if (!l || std::isnan(*l)) continue;
        const double prior = i < priors.size() ? priors[i] : 0.0;
        if (prior > 0 && std::isfinite(prior) && std::isfinite(*l)) terms[i] = std::log(prior) + *l;
        if (terms[i] > largest) largest = terms[i];
    }
    if (!std::isfinite(largest)) return posteriors;
    double sum = 0.0;
    for (double t : terms) sum += std::exp(t - largest);
    const double logSum = largest + std::log(sum);
    for (size_t i = 0; i < n; ++i) {
        const LogLikelihood& l = logLikelihoods[i];
        if (l && !std::isnan(*l)) posteriors[i] = std::exp(terms[i] - logSum);
    }
    return posteriors;
}

}  // namespace relatix
