#include "core/decimal_text.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace relatix {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string formatWith(double value, std::chars_format format, int precision,
                       const char* printfFormat) {
    char buffer[512];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
    if (result.ec == std::errc()) return std::string(buffer, result.ptr);
    // Only reached for values too long for the buffer.
    const int length = std::snprintf(nullptr, 0, printfFormat, precision, value);
    std::string text(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
    std::snprintf(text.data(), text.size(), printfFormat, precision, value);
    text.resize(static_cast<size_t>(std::max(length, 0)));
    return text;
}

}  // namespace

double readDecimal(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // A second sign ("+-5") ends the number before it starts.
    if (i >= text.size() || text[i] == '+' || text[i] == '-') return 0.0;
    double value = 0.0;
    const char* first = text.data() + i;
    const char* last = text.data() + text.size();
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec != std::errc()) return 0.0;
    return negative ? -value : value;
}

double readDecimalWithComma(std::string_view text) {
    const double value = readDecimal(text);
    if (value != 0.0 || std::count(text.begin(), text.end(), ',') != 1) return value;
    std::string withPoint(text);
    std::replace(withPoint.begin(), withPoint.end(), ',', '.');
    return readDecimal(withPoint);
}

std::string formatFixed(double value, int decimals) {
    return formatWith(value, std::chars_format::fixed, decimals, "%.*f");
}

std::string formatGeneral(double value, int significant) {
    return formatWith(value, std::chars_format::general, significant, "%.*g");
}

std::string formatShortest(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace relatix
