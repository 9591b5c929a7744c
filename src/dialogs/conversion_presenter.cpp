#include "dialogs/conversion_presenter.h"

#include <cmath>

#include "core/decimal_text.h"
#include "tools/map_distance.h"

namespace relatix {

const std::vector<std::string>& ConversionPresenter::methodOptions() {
    static const std::vector<std::string> options = {"Selected method...", "Haldane", "Kosambi",
                                                     "Morgan"};
    return options;
}

const std::vector<std::string>& ConversionPresenter::directionOptions() {
    static const std::vector<std::string> options = {"cM -> Theta", "cM <- Theta"};
    return options;
}

void ConversionPresenter::selectMethod(int index) {
    if (index >= 0 && index < static_cast<int>(methodOptions().size())) method_ = index;
}

void ConversionPresenter::selectDirection(int index) {
    if (index >= 0 && index < static_cast<int>(directionOptions().size())) direction_ = index;
}

void ConversionPresenter::convert() {
    if (method_ == 0) {
        ui_.error("Please enter conversion method");
        return;
    }
    const MapFunction function = static_cast<MapFunction>(method_);
    if (direction_ == 0) {
        const double cm = readDecimal(distance_);
        if (cm == 0.0 || !std::isfinite(cm)) return;
        theta_ = formatFixed(cmToTheta(function, cm), 4);
        return;
    }
    const double theta = readDecimal(theta_);
    if (theta == 0.0 || !std::isfinite(theta)) return;
    const std::optional<double> cm = thetaToCm(function, theta);
    if (!cm) {
        ui_.error(thetaAsFraction(theta) >= 0.5 ? "No finite distance for theta >= 0.5"
                                                : "No finite distance for theta <= -0.5");
        return;
    }
    distance_ = formatFixed(*cm, 4);
}

}  // namespace relatix
