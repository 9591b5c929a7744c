#include "core/decimal_text.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
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

int readLeadingInteger(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 1LL + INT_MAX) value = 1LL + INT_MAX;  // clamped below
    }
    if (negative) value = -value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

namespace {

// The text without the blanks around it, and a leading "+" removed when a
// digit or point follows it (from_chars takes only "-").
std::string_view numberBody(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    if (text.size() > 1 && text[0] == '+' && (text[1] == '.' || (text[1] >= '0' && text[1] <= '9')))
        text.remove_prefix(1);
    return text;
}

}  // namespace

std::optional<double> parseDecimal(std::string_view text) {
    text = numberBody(text);
    if (text.empty()) return std::nullopt;
    // from_chars would read "infinity" and "nan" too; only digits may start a number.
    const char first = text[0] == '-' && text.size() > 1 ? text[1] : text[0];
    if (!(first == '.' || (first >= '0' && first <= '9'))) return std::nullopt;
    double value = 0.0;
    const auto result =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<long long> parseInteger(std::string_view text) {
    text = numberBody(text);
    if (text.empty()) return std::nullopt;
    long long value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
    return value;
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
