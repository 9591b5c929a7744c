// Probability of a part's genotypes at one marker for every inheritance vector.
//
// The vectors are walked as a tree, one non-founder after the other, so that
// vectors sharing their first bits share the work. Along a path the typed persons
// tie founder alleles together: each typed person says that the two founder
// alleles it carries hold its two alleles. A group of tied founder alleles admits
// at most two allele assignments, so the state is small. Groups that no later
// person can reach are closed into a factor, and subtrees whose open state was
// met before are copied, scaled, instead of being walked again.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "marker_set.h"
#include "part_model.h"

namespace merlin {

// Vectors [start, start + length) whose emission is `value`.
struct EmissionRun {
    std::uint64_t start;
    std::uint64_t length;
    double value;
};

class EmissionBuilder {
public:
    // Fills emission[0 .. 2^bits) for the marker; returns false when every entry is 0.
    bool compute(const PartModel& part, const MarkerGenotypes& genotypes, double* emission);
    // The vectors of non-zero emission as runs in increasing order (none when every
    // entry is 0); false, with the runs unspecified, when they would cover more than
    // `limit` vectors.
    bool computeRuns(const PartModel& part, const MarkerGenotypes& genotypes, size_t limit,
                     std::vector<EmissionRun>& runs);

private:
    struct State {
        std::int8_t comp[kMaxNodes];       // group of a founder allele, -1 when not tied yet
        std::int32_t value[2][kMaxNodes];  // allele under each assignment of its group
        std::uint64_t members[kMaxNodes];  // per group (indexed by a member node)
        std::uint8_t assignments[kMaxNodes];
        double weight[2][kMaxNodes];
        std::uint64_t groups;               // groups in use
        std::int8_t carried[2][kMaxSlots];  // founder alleles a slot carries
    };
    struct MemoEntry {
        size_t offset;
        double scale;
        size_t firstRun, endRun;  // the subtree's runs, when runs are written
    };

    void prepare(const PartModel& part, const MarkerGenotypes& genotypes);
    // Ties the typed founders' alleles; false when they are impossible.
    bool start(double& scale);
    template <class Sink>
    void walk(Sink& sink, int slot, int depth, double scale, size_t offset);
    bool place(State& state, int slot, int patChoice, int matChoice, double& scale) const;
    bool tie(State& state, int i, int j, int a, int b) const;
    void close(State& state, int level, double& scale) const;
    std::uint64_t liveNodes(const State& state, int level) const;
    double openScale(const State& state) const;
    void buildKey(const State& state, int level);

    const PartModel* part_ = nullptr;
    const MarkerGenotypes* genotypes_ = nullptr;
    int nodes_ = 0;
    std::vector<std::uint8_t> relevant_;       // slot matters at this marker
    std::vector<int> nextRelevant_;            // first relevant slot from s on (size slots + 1)
    std::vector<std::uint64_t> liveFounders_;  // after level s (index s + 1)
    std::vector<std::vector<int>> openSlots_;  // slots with relevant children after level s
    std::vector<State> stack_;
    std::vector<std::unordered_map<std::string, MemoEntry>> memo_;
    std::string key_;
};

}  // namespace merlin
