// The LINKAGE pedigree file temp.ped: one family per hypothesis, in hypothesis
// order (the main hypothesis first), each line the family number followed by the
// person's row.
#pragma once

#include <string>
#include <vector>

#include "core/core.h"

namespace relatix {

// Normal: temp.ped is replaced and hypothesis i is family i + 1. Simulation:
// temp.ped is appended to and hypothesis i of the data set drawn in simulation r
// with true pedigree s, out of k hypotheses, is family (r*k + s)*k + i + 1, so
// that every data set of a run gets families of its own.
struct PedFileLayout {
    bool simulation = false;
    long long r = 0;
    long long s = 0;
    long long k = 0;

    static PedFileLayout normal() { return {}; }
    static PedFileLayout simulationRun(long long r, long long s, long long k) {
        return {true, r, s, k};
    }
    long long familyNumber(int hypothesis) const;
};

// The catalogue codes of the hypotheses of a catalogue case, main first; empty
// when the main hypothesis or an alternative does not designate a code.
std::vector<int> hypothesisCodes(const Core& core);

// The whole text the pedigree file receives for the case's hypotheses.
std::string linkagePedText(const Core& core, const std::vector<bool>& clusterSkipList,
                           const PedFileLayout& layout);

// Writes temp.ped (creating the temp folder when missing). False when the file
// cannot be opened, or when the main hypothesis or an alternative designates no
// catalogue code: then no family is written (the normal layout leaves temp.ped
// empty rather than keep an earlier case's families).
bool writeLinkagePedFile(const Core& core, const std::vector<bool>& clusterSkipList,
                         const PedFileLayout& layout = PedFileLayout::normal());

}  // namespace relatix
