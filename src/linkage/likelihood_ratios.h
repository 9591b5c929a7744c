// Likelihood ratios against a reference hypothesis and posterior probabilities
// under priors, computed in log space from natural-log likelihoods that may be
// missing. ln L = -inf is a value: such a hypothesis has LR 0 against a finite
// reference and posterior 0. A missing likelihood is never treated as a value.
#pragma once

#include <optional>
#include <vector>

#include "core/log_likelihood.h"

namespace relatix {

// exp(l[i] - l[k-1]) for every hypothesis i. Missing where l[i] or the reference
// is missing, and where both are -inf (0/0). A reference of -inf gives +inf for
// every hypothesis with a finite value. A reference k outside 1..size gives all
// missing values.
std::vector<std::optional<double>> likelihoodRatios(const LogLikelihoods& logLikelihoods,
                                                    int reference);

// p[i] L[i] / sum over j of p[j] L[j], by log-sum-exp over the hypotheses that have
// a value (a hypothesis without a prior counts with prior 0). Missing where l[i]
// is missing, and everywhere when no hypothesis with a positive prior has a
// finite likelihood.
std::vector<std::optional<double>> posteriorProbabilities(const LogLikelihoods& logLikelihoods,
                                                          const std::vector<double>& priors);

}  // namespace relatix
