// The founder allele setups of one marker. Every relationship class builds its
// setups as the product of independent groups of founder slots (a typed
// founder's two orders, an untyped parent's single allele, an untyped
// ancestor's ordered pairs), so the list is stored as those groups: setup h is
// decoded in mixed radix with the last group changing fastest. This keeps a
// marker with hundreds of thousands of setups at a few kilobytes.
#pragma once

#include <cstddef>
#include <vector>

namespace relatix {

class FounderSetups {
public:
    struct Group {
        int width = 0;            // slots filled by this group
        std::vector<int> tuples;  // count() tuples of width allele indices, in order
        int count() const { return width == 0 ? 0 : static_cast<int>(tuples.size()) / width; }
        const int* tuple(int t) const { return tuples.data() + static_cast<size_t>(t) * width; }
    };

    // Appends a group of slots; the tuples vector holds width entries per choice.
    void addGroup(int width, std::vector<int> tuples);
    // A list given setup by setup (every setup the same number of slots).
    static FounderSetups explicitList(const std::vector<std::vector<int>>& setups);

    int size() const;
    int slotCount() const { return slots_; }
    const std::vector<Group>& groups() const { return groups_; }
    // Writes the slots of setup h (slotCount() entries).
    void decode(int h, int* slots) const;
    std::vector<int> setup(int h) const;

private:
    std::vector<Group> groups_;
    int slots_ = 0;
};

}  // namespace relatix
