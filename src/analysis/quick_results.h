// Reading the engine's per-chromosome log-likelihoods of a quick analysis and the
// likelihood ratios and posteriors made from them. A value the engine did not
// give (a family it skipped, output that ends early) stays missing, and so does
// every ratio and posterior that depends on it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/quick_case.h"
#include "core/log_likelihood.h"

namespace relatix {

struct QuickChromosome {
    int chromosome = 0;
    std::vector<std::string> systems;  // names of the linkage systems on it
    LogLikelihoods lnLikelihood;       // per pedigree
};

struct QuickResults {
    std::vector<QuickChromosome> chromosomes;  // ascending
    // Why reading ended early (the engine gave no result); empty when it did not.
    std::string engineProblem;
    // lr[p][q]: likelihood of pedigree p over that of pedigree q, over every chromosome.
    std::vector<std::vector<std::optional<double>>> lr;
    // Posteriors under flat priors; all missing unless every pedigree has a value.
    std::vector<std::optional<double>> posterior;
    // ln L of each pedigree summed over the chromosomes.
    LogLikelihoods total;
};

// Reads the engine output of the quick case (the file's text, or nothing when it
// could not be read, with the reason) and computes ratios and posteriors.
QuickResults readQuickResults(const QuickCase& quickCase,
                              const std::optional<std::string>& engineOutput,
                              const std::string& whyNoOutput = {});

// Ratios and posteriors from summed log-likelihoods.
void computeQuickRatios(QuickResults& results);

// "NA" for a missing value, else the number in the default six-digit form.
std::string quickNumber(const std::optional<double>& value);

// The LR matrix file: a heading line, then one line per pedigree, tab-separated.
std::string quickMatrixText(const QuickResults& results);

}  // namespace relatix
