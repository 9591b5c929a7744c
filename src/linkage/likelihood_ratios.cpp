#include "linkage/likelihood_ratios.h"

#include <cmath>

namespace relatix {

std::vector<double> likelihoodRatios(const std::vector<double>& logLikelihoods, int reference) {
    std::vector<double> ratios(logLikelihoods.size(), 0.0);
    if (reference < 1 || reference > static_cast<int>(logLikelihoods.size())) return ratios;
    const double c = logLikelihoods[static_cast<size_t>(reference - 1)];
    if (c == 0.0) return ratios;
    for (size_t i = 0; i < logLikelihoods.size(); ++i)
        if (logLikelihoods[i] != 0.0) ratios[i] = std::exp(logLikelihoods[i] - c);
    return ratios;
}

std::vector<double> posteriorProbabilities(const std::vector<double>& ratios,
                                           const std::vector<double>& priors) {
    std::vector<double> products(ratios.size(), 0.0);
    double sum = 0.0;
    for (size_t i = 0; i < ratios.size(); ++i) {
        if (i < priors.size()) products[i] = ratios[i] * priors[i];
        if (std::isnan(products[i])) products[i] = 0.0;
        sum += products[i];
    }
    std::vector<double> posteriors(ratios.size(), 0.0);
    if (sum == 0.0 || std::isnan(sum)) return posteriors;
    if (std::isinf(sum)) {
        int infinite = 0;
        for (double p : products) infinite += std::isinf(p) && p > 0 ? 1 : 0;
        for (size_t i = 0; i < products.size(); ++i)
            if (std::isinf(products[i]) && products[i] > 0) posteriors[i] = 1.0 / infinite;
        return posteriors;
    }
    for (size_t i = 0; i < products.size(); ++i) posteriors[i] = products[i] / sum;
    return posteriors;
}

}  // namespace relatix
