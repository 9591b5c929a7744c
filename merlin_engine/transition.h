// Moving a distribution over inheritance vectors from one marker to the next.
// Every meiosis recombines independently with the same probability, so the step
// is one two-by-two kernel per bit; a founder's fixed meiosis recombining flips
// all of the founder's free bits together.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace merlin {

// Haldane's recombination fraction for a distance in cM.
double haldaneTheta(double distanceCm);

void applyTransition(double* x, int bits, double theta,
                     const std::vector<std::uint64_t>& founderMasks);

// Sum with small rounding error over long vectors.
double accurateSum(const double* x, size_t count);

}  // namespace merlin
