#include "core/theta_check.h"

#include <algorithm>

#include "core/decimal_text.h"

namespace relatix {

ThetaVerdict checkTheta(double theta) {
    if (!(theta >= 0.0 && theta < 1.0)) return ThetaVerdict::Refused;
    return theta > kLargestUsualTheta ? ThetaVerdict::TakenUnusuallyLarge : ThetaVerdict::Taken;
}

std::string thetaRangeMessage() {
    return std::string("Theta (Fst) must be a number ") + kThetaRangeText;
}

std::string largeThetaWarning(double theta) {
    return "Theta (Fst) " + formatGeneral(theta, 6) + " is unusually large (above " +
           formatGeneral(kLargestUsualTheta, 6) + "); it is used as given";
}

std::optional<double> readTypedTheta(std::string_view text) {
    if (std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t'; }))
        return 0.0;
    if (const std::optional<double> value = parseDecimal(text)) return value;
    if (std::count(text.begin(), text.end(), ',') != 1) return std::nullopt;
    std::string pointed(text);
    std::replace(pointed.begin(), pointed.end(), ',', '.');
    return parseDecimal(pointed);
}

}  // namespace relatix
