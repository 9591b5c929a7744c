// Conversion between genetic map distances in centimorgan and recombination
// fractions under the Haldane, Kosambi and Morgan (linear) map functions.
#pragma once

#include <optional>

namespace relatix {

enum class MapFunction { None = 0, Haldane = 1, Kosambi = 2, Morgan = 3 };

// The recombination fraction of a distance in cM; None gives 0.
double cmToTheta(MapFunction function, double cm);

// The distance in cM of a recombination fraction. A value between 1 and 100
// (both excluded) is read as a percentage first. Nothing when the map function
// has no finite distance there (Haldane and Kosambi at theta >= 0.5, Kosambi
// also at theta <= -0.5) and for None.
std::optional<double> thetaToCm(MapFunction function, double theta);

// The fraction thetaToCm works with: theta / 100 for 1 < theta < 100, else theta.
double thetaAsFraction(double theta);

}  // namespace relatix
