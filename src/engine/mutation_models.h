// Mutation models as dense transmission matrices: entry [from][to] is the
// probability that a parent carrying allele "from" passes on allele "to". Every
// row of a model's matrix sums to 1 over the alleles of the system: a mutation
// is spread over the alleles the system holds, and where a row has no allele to
// mutate into, its allele is passed on unchanged.
#pragma once

#include <string>
#include <vector>

namespace relatix {

// The mutation settings of one sex of one allele system.
struct MutationModel {
    int model = 1;       // 1 simple, 2 N step, 3 extended step-wise; others give a zero matrix
    double rate = 0.0;   // probability of a mutation (of a step-wise mutation for model 3)
    double range = 0.0;  // factor by which each further step is less likely
    double rate2 = 0.0;  // model 2: the maximal number of steps; model 3: rate of other mutations
};

class MutationMatrix {
public:
    MutationMatrix() = default;
    explicit MutationMatrix(int alleles)
        : n_(alleles), values_(static_cast<size_t>(alleles) * static_cast<size_t>(alleles), 0.0) {}

    int size() const { return n_; }
    double at(int from, int to) const { return values_[index(from, to)]; }
    double& at(int from, int to) { return values_[index(from, to)]; }
    const double* row(int from) const { return values_.data() + index(from, 0); }

private:
    size_t index(int from, int to) const {
        return static_cast<size_t>(from) * static_cast<size_t>(n_) + static_cast<size_t>(to);
    }
    int n_ = 0;
    std::vector<double> values_;
};

// The numeric value of an allele name; 0 when the name is not a number (or is "0").
double alleleValue(const std::string& name);

// The matrix of a model over the alleles of a system, in allele order. Rates are
// taken within 0..1 (for model 3 the two rates together; a larger sum is scaled
// down to 1) and a negative range as 0, so that every entry is a probability.
MutationMatrix buildMutationMatrix(const MutationModel& model,
                                   const std::vector<std::string>& alleleNames);

// Two transmissions in a row, the first by `first` and the second by `second`:
// entry [from][to] is the probability that "to" arrives, summed over the allele
// passed on in between.
MutationMatrix chainedTransmissions(const MutationMatrix& first, const MutationMatrix& second);
// Row `from` of chainedTransmissions into out (as many entries as alleles).
void chainedTransmissionRow(const MutationMatrix& first, const MutationMatrix& second, int from,
                            double* out);

}  // namespace relatix
