// The relationships of one family: every listed person plus the untyped founders
// added for parents that are named but not listed or missing, in an order in
// which parents come before their children.
#pragma once

#include <string>
#include <vector>

#include "pedigree_file.h"
#include "warnings.h"

namespace merlin {

struct Pedigree {
    std::vector<std::string> ids;
    std::vector<int> father;  // -1 for founders
    std::vector<int> mother;
    std::vector<int> listedAs;  // index into FamilyRecord::persons, -1 for added persons
    std::vector<std::vector<int>> children;
    std::vector<int> order;  // parents before children
    std::string error;       // set when the family cannot be analysed

    int size() const { return static_cast<int>(ids.size()); }
    bool isFounder(int p) const { return father[p] < 0; }
};

// Builds the pedigree of a family; warnings go to the sink when one is given.
Pedigree buildPedigree(const FamilyRecord& family, Warnings* warnings);

}  // namespace merlin
