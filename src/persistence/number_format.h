// Number texts as the file formats read them.
#pragma once

#include <string>

#include "core/decimal_text.h"

namespace relatix {

// The C library's atoi, with an out-of-range number clamped instead of undefined.
int parseLeadingInt(const std::string& text);

}  // namespace relatix
