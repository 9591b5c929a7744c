#include "tools/mutation_settings.h"

#include <cmath>

#include "core/decimal_text.h"

namespace relatix {

std::string mutationModelName(int model) {
    switch (model) {
        case 1: return "Simple model (Equal)";
        case 2: return "N step model";
        case 3: return "Extended step-wise model";
        default: return "None";
    }
}

bool isNumberText(const std::string& text) {
    if (text == "0" || text == "0.0" || text == "0.00" || text == "0.000" || text == "0.0000")
        return true;
    const double value = readDecimal(text);
    return value != 0.0 && std::isfinite(value);
}

MutationSideTexts mutationSideTexts(const MutationSettings& settings) {
    MutationSideTexts texts;
    auto g = [](double v) { return formatGeneral(v, 6); };
    if (settings.model > 0) texts.rate = g(settings.rate);
    if (settings.model >= 2) texts.range = g(settings.range);
    if (settings.model == 2) texts.third = g(std::trunc(settings.rate2));
    if (settings.model == 3) texts.third = g(settings.rate2);
    return texts;
}

MutationSideReading readMutationSide(int model, const MutationSideTexts& texts) {
    MutationSideReading reading;
    if (model <= 0) {
        reading.error = MutationFieldError::NoModel;
        return reading;
    }
    MutationSettings settings;
    settings.model = model;
    if (!isNumberText(texts.rate)) {
        reading.error = MutationFieldError::Rate;
        return reading;
    }
    settings.rate = readDecimal(texts.rate);
    if (settings.rate < 0.0 || settings.rate > 1.0) {
        reading.error = MutationFieldError::Rate;
        return reading;
    }
    if (model >= 2) {
        if (!isNumberText(texts.range) || readDecimal(texts.range) < 0.0) {
            reading.error = MutationFieldError::Rate;
            return reading;
        }
        settings.range = readDecimal(texts.range);
        const double value = readDecimal(texts.third);
        if (model == 2) {
            const int whole = readLeadingInteger(texts.third);
            if (whole <= 0 || static_cast<double>(whole) != value) {
                reading.error = MutationFieldError::Steps;
                return reading;
            }
        }
        if (!isNumberText(texts.third)) {
            reading.error = MutationFieldError::SecondaryRate;
            return reading;
        }
        if (model == 3 && (value < 0.0 || value > 1.0 || settings.rate + value > 1.0)) {
            reading.error = MutationFieldError::SecondaryRate;
            return reading;
        }
        settings.rate2 = value;
    }
    reading.settings = settings;
    return reading;
}

}  // namespace relatix
