#include "core/marker_names.h"

namespace relatix {

namespace {

bool isPadding(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmedView(std::string_view name) {
    while (!name.empty() && isPadding(name.front())) name.remove_prefix(1);
    while (!name.empty() && isPadding(name.back())) name.remove_suffix(1);
    return name;
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string trimmedName(std::string_view name) {
    return std::string(trimmedView(name));
}

bool sameMarkerName(std::string_view a, std::string_view b) {
    a = trimmedView(a);
    b = trimmedView(b);
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

}  // namespace relatix
