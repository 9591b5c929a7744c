// Likelihood ratios against a reference hypothesis and posterior probabilities
// under priors, from natural-log likelihoods in which exactly 0 means "no value".
#pragma once

#include <vector>

namespace relatix {

// exp(r[i] - r[k-1]) for every hypothesis i; 0 where r[i] or the reference value
// is 0, so the reference gets 1 unless it has no value. A reference k outside
// 1..size gives all zeros.
std::vector<double> likelihoodRatios(const std::vector<double>& logLikelihoods, int reference);

// L[i]*p[i] / sum of L[j]*p[j]. A hypothesis without a prior counts with prior 0.
// When the sum is 0 every posterior is 0; when it is infinite (ratios beyond the
// range of a double) the hypotheses with an infinite product share the whole
// probability and the others get 0.
std::vector<double> posteriorProbabilities(const std::vector<double>& ratios,
                                           const std::vector<double>& priors);

}  // namespace relatix
