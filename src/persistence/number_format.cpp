#include "persistence/number_format.h"

namespace relatix {

int parseLeadingInt(const std::string& text) {
    return readLeadingInteger(text);
}

}  // namespace relatix
