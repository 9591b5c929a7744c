// The per-sex mutation settings of a marker as the user edits them: the names of
// the models, the number test for typed values, the texts a side shows and the
// reading of a side's fields back into settings.
#pragma once

#include <optional>
#include <string>

#include "core/records.h"

namespace relatix {

// Report names: 1 "Simple model (Equal)", 2 "N step model", 3 "Extended
// step-wise model", anything else "None".
std::string mutationModelName(int model);

// True when the text reads as a finite non-zero decimal number, or is exactly
// "0", "0.0", "0.00", "0.000" or "0.0000".
bool isNumberText(const std::string& text);

// The three number fields of one side ("Rate:", "Range:", third field).
struct MutationSideTexts {
    std::string rate;
    std::string range;
    std::string third;  // "Steps (N):" for model 2, "Rate 2:" otherwise
};

// What a side shows for stored settings: the rate for a chosen model, the range
// for models 2 and 3, the steps (whole) for model 2 and the secondary rate for
// model 3; the other fields stay empty.
MutationSideTexts mutationSideTexts(const MutationSettings& settings);

// Why a side's fields were refused.
enum class MutationFieldError { NoModel, Rate, Steps, SecondaryRate };

struct MutationSideReading {
    std::optional<MutationSettings> settings;
    MutationFieldError error = MutationFieldError::NoModel;  // when settings is empty
};

// Reads one side: model is the list position (0 = none chosen). Models below 2
// keep range and rate2 at 0 whatever the hidden fields hold. Rates must lie in
// 0..1 (for model 3 also together) and the range must not be negative, since
// other values give transmission probabilities outside 0..1.
MutationSideReading readMutationSide(int model, const MutationSideTexts& texts);

}  // namespace relatix
