#include "persistence/number_format.h"

#include <climits>
#include <cstdlib>

namespace relatix {

int parseLeadingInt(const std::string& text) {
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace relatix
