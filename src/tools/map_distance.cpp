#include "tools/map_distance.h"

#include <cmath>

namespace relatix {

double cmToTheta(MapFunction function, double cm) {
    switch (function) {
        case MapFunction::Haldane: return (1.0 - std::exp(-2.0 * cm / 100.0)) * 0.5;
        // 0.5 (E - 1) / (E + 1) with E = exp(4d/100) is 0.5 tanh(2d/100), which
        // stays finite where E itself would overflow.
        case MapFunction::Kosambi: return 0.5 * std::tanh(2.0 * cm / 100.0);
        case MapFunction::Morgan: return cm / 100.0;
        case MapFunction::None: break;
    }
    return 0.0;
}

double thetaAsFraction(double theta) {
    return theta > 1.0 && theta < 100.0 ? theta / 100.0 : theta;
}

std::optional<double> thetaToCm(MapFunction function, double theta) {
    const double r = thetaAsFraction(theta);
    double cm = 0.0;
    switch (function) {
        case MapFunction::Haldane:
            if (r >= 0.5) return std::nullopt;
            cm = -50.0 * std::log1p(-2.0 * r);
            break;
        case MapFunction::Kosambi:
            if (r >= 0.5 || r <= -0.5) return std::nullopt;
            cm = 25.0 * std::log((1.0 + 2.0 * r) / (1.0 - 2.0 * r));
            break;
        case MapFunction::Morgan: cm = 100.0 * r; break;
        case MapFunction::None: return std::nullopt;
    }
    if (!std::isfinite(cm)) return std::nullopt;
    return cm;
}

}  // namespace relatix
