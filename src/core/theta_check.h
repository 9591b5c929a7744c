// Theta (Fst), the correction for alleles shared by descent within a population,
// checked the same way wherever it enters a case: the command line, the project
// file, the "Edit markers" and "Options" windows. The founders' sampling formula
// weighs a frequency with 1 - theta and divides by 1 + (n - 1) * theta, so a
// theta below 0 or from 1 up gives no probabilities at all; such a value is
// refused. A value above 0.1 is far beyond what human populations show and
// usually a typing slip (5 for 0.05), so it is taken with a warning.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace relatix {

// The range taken, in words, for the messages of each entry.
inline constexpr const char* kThetaRangeText = "from 0 to below 1";
// Values above this are taken with the warning.
inline constexpr double kLargestUsualTheta = 0.1;

enum class ThetaVerdict { Taken, TakenUnusuallyLarge, Refused };

// Refused: below 0, from 1 up, or not a number.
ThetaVerdict checkTheta(double theta);

// "Theta (Fst) must be a number from 0 to below 1".
std::string thetaRangeMessage();
// "Theta (Fst) 0.3 is unusually large (above 0.1); it is used as given".
std::string largeThetaWarning(double theta);

// A theta typed into a window: the whole text as one number, a single comma
// taken as the decimal point ("0,05" is 0.05); an empty or blank text is 0, no
// correction. Nothing for any other text ("abc", "0.05x").
std::optional<double> readTypedTheta(std::string_view text);

}  // namespace relatix
