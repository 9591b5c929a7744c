#include "engine/mutation_models.h"

#include <cmath>
#include <cstdlib>

#include "core/decimal_text.h"

namespace relatix {
namespace {

// Two alleles are step neighbours when both are numeric and differ by a whole
// number of repeats; steps is then that number.
bool stepNeighbours(double a, double b, int& steps) {
    if (a == 0.0 || b == 0.0) return false;
    const double d = a - b;
    double whole = 0.0;
    if (std::fabs(std::modf(d, &whole)) > 1e-7) return false;
    steps = static_cast<int>(std::fabs(d));
    return true;
}

void fillSimple(MutationMatrix& m, double rate) {
    const int n = m.size();
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) m.at(i, j) = i == j ? 1.0 - rate : rate / (n - 1);
}

void fillNStep(MutationMatrix& m, const MutationModel& s, const std::vector<double>& values) {
    const int n = m.size();
    const double maxSteps = s.rate2;
    for (int i = 0; i < n; ++i) {
        double sum = 0.0;
        for (int j = 0; j < n; ++j) {
            int k = 0;
            if (j != i && stepNeighbours(values[i], values[j], k) &&
                std::fabs(values[i] - values[j]) <= maxSteps + 0.001)
                sum += std::pow(s.range, k);
        }
        const double rate = sum == 0.0 ? 0.0 : s.rate;
        m.at(i, i) = 1.0 - rate;
        if (sum == 0.0) continue;
        for (int j = 0; j < n; ++j) {
            int k = 0;
            if (j != i && stepNeighbours(values[i], values[j], k) &&
                std::fabs(values[i] - values[j]) <= maxSteps + 0.001)
                m.at(i, j) = rate * std::pow(s.range, k) / sum;
        }
    }
}

void fillExtended(MutationMatrix& m, const MutationModel& s, const std::vector<double>& values) {
    const int n = m.size();
    for (int i = 0; i < n; ++i) {
        double sum = 0.0;
        int others = 0;
        for (int j = 0; j < n; ++j) {
            if (j == i) continue;
            int k = 0;
            if (stepNeighbours(values[i], values[j], k))
                sum += std::pow(s.range, k);
            else
                ++others;
        }
        const double rate2 = others == 0 ? 0.0 : s.rate2;
        const double rate = others == n - 1 ? 0.0 : s.rate;
        m.at(i, i) = 1.0 - rate - rate2;
        for (int j = 0; j < n; ++j) {
            if (j == i) continue;
            int k = 0;
            if (!stepNeighbours(values[i], values[j], k))
                m.at(i, j) = rate2 / others;
            else
                m.at(i, j) = sum > 0.0 ? rate * std::pow(s.range, k) / sum : 0.0;
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
        case 1: fillSimple(m, model.rate); break;
        case 2: fillNStep(m, model, values); break;
        case 3: fillExtended(m, model, values); break;
        default: break;
    }
    return m;
}

}  // namespace relatix
