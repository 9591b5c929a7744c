#include "engine/mutation_models.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/decimal_text.h"

namespace relatix {
namespace {

// Two alleles are step neighbours when both are numeric and differ by a whole
// number of repeats; steps is then that number. The difference is compared with
// the nearest whole number: decimal designations such as 10.1 and 9.1 differ by
// slightly less than 1 in binary arithmetic.
bool stepNeighbours(double a, double b, int& steps) {
    if (a == 0.0 || b == 0.0) return false;
    const double d = std::fabs(a - b);
    const double whole = std::round(d);
    if (std::fabs(d - whole) > 1e-7) return false;
    steps = static_cast<int>(whole);
    return true;
}

// A rate as a probability: within 0..1, and 0 when it is not a number.
double probability(double rate) {
    return rate > 0.0 ? std::min(rate, 1.0) : 0.0;
}

// Model 1: every other allele equally likely. A system of one allele has
// nothing to mutate into and passes it on unchanged.
void fillSimple(MutationMatrix& m, double rate) {
    const int n = m.size();
    if (n == 1) {
        m.at(0, 0) = 1.0;
        return;
    }
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) m.at(i, j) = i == j ? 1.0 - rate : rate / (n - 1);
}

// Model 2: a change of k repeats (at most N) has weight range^k, the weights
// of a row normalised over the step neighbours the system holds; a row without
// such a neighbour keeps its allele.
void fillNStep(MutationMatrix& m, const MutationModel& s, const std::vector<double>& values) {
    const int n = m.size();
    const double maxSteps = s.rate2;
    const double range = std::max(s.range, 0.0);
    std::vector<double> weights(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        std::fill(weights.begin(), weights.end(), 0.0);
        double sum = 0.0;
        for (int j = 0; j < n; ++j) {
            int k = 0;
            if (j != i && stepNeighbours(values[i], values[j], k) &&
                std::fabs(values[i] - values[j]) <= maxSteps + 0.001) {
                weights[static_cast<size_t>(j)] = std::pow(range, k);
                sum += weights[static_cast<size_t>(j)];
            }
        }
        const double rate = sum > 0.0 ? probability(s.rate) : 0.0;
        m.at(i, i) = 1.0 - rate;
        if (rate == 0.0) continue;
        for (int j = 0; j < n; ++j)
            if (weights[static_cast<size_t>(j)] > 0.0)
                m.at(i, j) = rate * weights[static_cast<size_t>(j)] / sum;
    }
}

// Model 3: the rate spread over the step neighbours (any number of repeats,
// weight range^k, normalised over the neighbours the system holds) and the
// secondary rate evenly over the other alleles. A row without a neighbour of
// positive weight has no step-wise mutation, a row without other alleles no
// secondary one.
void fillExtended(MutationMatrix& m, const MutationModel& s, const std::vector<double>& values) {
    const int n = m.size();
    const double range = std::max(s.range, 0.0);
    double stepRate = probability(s.rate);
    double otherRate = probability(s.rate2);
    if (stepRate + otherRate > 1.0) {
        const double total = stepRate + otherRate;
        stepRate /= total;
        otherRate /= total;
    }
    std::vector<double> weights(static_cast<size_t>(n));
    std::vector<char> neighbour(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        std::fill(weights.begin(), weights.end(), 0.0);
        std::fill(neighbour.begin(), neighbour.end(), 0);
        double sum = 0.0;
        int others = 0;
        for (int j = 0; j < n; ++j) {
            if (j == i) continue;
            int k = 0;
            if (stepNeighbours(values[i], values[j], k)) {
                neighbour[static_cast<size_t>(j)] = 1;
                weights[static_cast<size_t>(j)] = std::pow(range, k);
                sum += weights[static_cast<size_t>(j)];
            } else {
                ++others;
            }
        }
        const double rate2 = others == 0 ? 0.0 : otherRate;
        const double rate = sum > 0.0 ? stepRate : 0.0;
        // Never below 0: rates scaled to a sum of 1 may leave a rounding error.
        m.at(i, i) = std::max(0.0, 1.0 - rate - rate2);
        for (int j = 0; j < n; ++j) {
            if (j == i) continue;
            if (!neighbour[static_cast<size_t>(j)])
                m.at(i, j) = rate2 / others;
            else if (rate > 0.0)
                m.at(i, j) = rate * weights[static_cast<size_t>(j)] / sum;
        }
    }
}

}  // namespace

double alleleValue(const std::string& name) {
    return readDecimal(name);
}

MutationMatrix buildMutationMatrix(const MutationModel& model,
                                   const std::vector<std::string>& alleleNames) {
    const int n = static_cast<int>(alleleNames.size());
    MutationMatrix m(n);
    std::vector<double> values;
    values.reserve(alleleNames.size());
    for (const auto& name : alleleNames) values.push_back(alleleValue(name));
    switch (model.model) {
        case 1: fillSimple(m, probability(model.rate)); break;
        case 2: fillNStep(m, model, values); break;
        case 3: fillExtended(m, model, values); break;
        default: break;
    }
    return m;
}

void chainedTransmissionRow(const MutationMatrix& first, const MutationMatrix& second, int from,
                            double* out) {
    const int n = first.size();
    std::fill(out, out + n, 0.0);
    for (int between = 0; between < n; ++between) {
        const double p = first.at(from, between);
        if (p == 0.0) continue;
        const double* row = second.row(between);
        for (int to = 0; to < n; ++to) out[to] += p * row[to];
    }
}

MutationMatrix chainedTransmissions(const MutationMatrix& first, const MutationMatrix& second) {
    const int n = first.size();
    MutationMatrix chained(n);
    std::vector<double> row(static_cast<size_t>(n));
    for (int from = 0; from < n; ++from) {
        chainedTransmissionRow(first, second, from, row.data());
        for (int to = 0; to < n; ++to) chained.at(from, to) = row[static_cast<size_t>(to)];
    }
    return chained;
}

}  // namespace relatix
