// Moving a distribution over inheritance vectors from one marker to the next.
// Every meiosis recombines independently with the same probability, so the step
// is one two-by-two kernel per bit; a founder's fixed meiosis recombining flips
// all of the founder's free bits together.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "part_model.h"

namespace merlin {

// Haldane's recombination fraction for a distance in cM.
double haldaneTheta(double distanceCm);

void applyTransition(double* x, int bits, double theta,
                     const std::vector<std::uint64_t>& founderMasks);

// The fixed meiosis of a founder couple (see CoupleSymmetry): each vector keeps
// 1 - theta of itself and takes theta of its image.
void applyCoupleStep(double* x, int bits, double theta, const CoupleSymmetry& couple);

// The whole step of a part: every free bit, the founders' and the couples' fixed meioses.
void applyPartTransition(double* x, const PartModel& part, double theta);

// Bits of a part that share one weight table (see PairTransition).
struct PairWeightGroup {
    std::uint64_t mask;
    const double* weight;  // by the number of differing bits of the mask
};

// The same step between few vectors: for each target vector, the sum over the source
// vectors of the source value times the probability of moving from it to the target.
// Costs one weight per pair; for sparse distributions over many bits.
class PairTransition {
public:
    void prepare(const PartModel& part, double theta);
    void apply(const std::uint64_t* from, const double* fromValue, size_t fromCount,
               const std::uint64_t* to, size_t toCount, double* toValue);
    // Pairs one apply evaluates per source and target vector.
    static size_t sourcesPerVector(const PartModel& part) {
        return size_t{1} << part.couples.size();
    }

private:
    std::vector<PairWeightGroup> groups_;
    std::vector<double> tables_;
    std::vector<CoupleSymmetry> couples_;
    double theta_ = 0.0;
    std::vector<std::uint64_t> sourceIndex_;
    std::vector<double> sourceValue_;
};

// Sum with small rounding error over long vectors.
double accurateSum(const double* x, size_t count);

}  // namespace merlin
