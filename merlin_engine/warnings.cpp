#include "warnings.h"

namespace merlin {

namespace {
constexpr long kShownPerKind = 5;
}

void Warnings::warn(const std::string& kind, const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++total_;
    if (quiet_) return;
    if (++perKind_[kind] > kShownPerKind) {
        ++held_;
        return;
    }
    sink_ << "Warning: " << text << '\n';
}

void Warnings::warnAlways(const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++total_;
    sink_ << "Warning: " << text << '\n';
}

void Warnings::finish() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!quiet_ && held_ > 0)
        sink_ << "Note: " << held_ << " further warnings of the kinds above were not shown\n";
}

}  // namespace merlin
