// Reading and writing decimal numbers in user-typed and displayed text. Always
// uses a point as the decimal separator, whatever locale the process runs in.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace relatix {

// The leading decimal number of a text, as the C library's atof reads it: leading
// white space is skipped, reading stops at the first character that cannot
// continue the number, and a text without a number reads as 0.
double readDecimal(std::string_view text);

// The leading whole number of a text, as the C library's atoi reads it (0 when
// there is none), with a number beyond the range of int clamped to it.
int readLeadingInteger(std::string_view text);

// A whole text as one finite decimal number: blanks around it, a sign, digits
// with an optional point and exponent, and nothing else. Nothing for any other
// text, for "nan" and "inf", and for a value beyond the range of double ("1e999").
std::optional<double> parseDecimal(std::string_view text);
// A whole text as one decimal integer (blanks around it and a sign allowed).
std::optional<long long> parseInteger(std::string_view text);

// readDecimal, but a text that reads as 0 and holds exactly one comma is read
// again with that comma taken as the decimal point ("0,05" gives 0.05).
double readDecimalWithComma(std::string_view text);

// printf's "%.<decimals>f" and "%.<significant>g", independent of the locale.
std::string formatFixed(double value, int decimals);
std::string formatGeneral(double value, int significant);
// The shortest text that reads back as exactly the same value.
std::string formatShortest(double value);

}  // namespace relatix
