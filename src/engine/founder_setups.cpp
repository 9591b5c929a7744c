#include "engine/founder_setups.h"

#include <algorithm>

namespace relatix {

void FounderSetups::addGroup(int width, std::vector<int> tuples) {
    groups_.push_back({width, std::move(tuples)});
    slots_ += width;
}

FounderSetups FounderSetups::explicitList(const std::vector<std::vector<int>>& setups) {
    FounderSetups list;
    const int width = setups.empty() ? 0 : static_cast<int>(setups.front().size());
    std::vector<int> tuples;
    for (const auto& s : setups) tuples.insert(tuples.end(), s.begin(), s.end());
    if (width == 0) {
        // Setups without slots: one group of empty tuples is not representable, so
        // such a list holds one setup (no slots) when any setup was given.
        if (!setups.empty()) list.groups_.push_back({0, {}});
        return list;
    }
    list.addGroup(width, std::move(tuples));
    return list;
}

int FounderSetups::size() const {
    if (groups_.empty()) return 0;
    int n = 1;
    for (const auto& g : groups_) {
        if (g.width == 0) continue;
        n *= g.count();
    }
    return n;
}

void FounderSetups::decode(int h, int* slots) const {
    int offset = slots_;
    for (size_t gi = groups_.size(); gi > 0; --gi) {
        const Group& g = groups_[gi - 1];
        if (g.width == 0) continue;
        const int n = g.count();
        const int t = h % n;
        h /= n;
        offset -= g.width;
        std::copy_n(g.tuple(t), g.width, slots + offset);
    }
}

std::vector<int> FounderSetups::setup(int h) const {
    std::vector<int> slots(static_cast<size_t>(slots_));
    decode(h, slots.data());
    return slots;
}

}  // namespace relatix
