// Marker names as outside files write them: with blanks or tabs around them
// (common in quoted Kovarian names) and in any letter case. Every lookup of a
// marker by name goes through sameMarkerName, and every reader keeps the name
// as written without the surrounding blanks.
#pragma once

#include <string>
#include <string_view>

namespace relatix {

// The name without leading and trailing blanks, tabs and line-end characters.
std::string trimmedName(std::string_view name);

// Equality of marker names once trimmed, ignoring the case of ASCII letters.
bool sameMarkerName(std::string_view a, std::string_view b);

}  // namespace relatix
