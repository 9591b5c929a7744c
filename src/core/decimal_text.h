// Reading and writing decimal numbers in user-typed and displayed text. Always
// uses a point as the decimal separator, whatever locale the process runs in.
#pragma once

#include <string>
#include <string_view>

namespace relatix {

// The leading decimal number of a text, as the C library's atof reads it: leading
// white space is skipped, reading stops at the first character that cannot
// continue the number, and a text without a number reads as 0.
double readDecimal(std::string_view text);

// readDecimal, but a text that reads as 0 and holds exactly one comma is read
// again with that comma taken as the decimal point ("0,05" gives 0.05).
double readDecimalWithComma(std::string_view text);

// printf's "%.<decimals>f" and "%.<significant>g", independent of the locale.
std::string formatFixed(double value, int decimals);
std::string formatGeneral(double value, int significant);
// The shortest text that reads back as exactly the same value.
std::string formatShortest(double value);

}  // namespace relatix
