#include "emission.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace merlin {

namespace {

// Subtrees smaller than this are walked again rather than looked up.
constexpr int kMemoMinBits = 3;

std::uint64_t bit(int node) {
    return std::uint64_t{1} << node;
}

// The walk writes the emission through a sink: every entry of a vector, or runs of
// equal non-zero entries. Both see the same calls in increasing order of offset.
struct DenseSink {
    double* out;
    size_t mark() const { return 0; }
    bool full() const { return false; }
    void fill(size_t offset, size_t count, double value) {
        std::fill(out + offset, out + offset + count, value);
    }
    // Copies [offset, offset + sub) to the `copies - 1` blocks that follow it.
    void repeat(size_t offset, size_t sub, int copies, size_t) {
        for (int c = 1; c < copies; ++c)
            std::memcpy(out + offset + c * sub, out + offset, sub * sizeof(double));
    }
    void copyScaled(size_t to, size_t from, size_t count, double factor, size_t, size_t) {
        const double* source = out + from;
        double* target = out + to;
        for (size_t i = 0; i < count; ++i) target[i] = source[i] * factor;
    }
};

struct RunSink {
    std::vector<EmissionRun>& runs;
    size_t limit;
    size_t covered = 0;
    bool overflow = false;

    size_t mark() const { return runs.size(); }
    bool full() const { return overflow; }
    void push(std::uint64_t start, std::uint64_t length, double value) {
        covered += length;
        if (covered > limit)
            overflow = true;
        else
            runs.push_back({start, length, value});
    }
    void fill(size_t offset, size_t count, double value) {
        if (value != 0.0) push(offset, count, value);
    }
    // The runs from `first` on are those of [offset, offset + sub).
    void repeat(size_t, size_t sub, int copies, size_t first) {
        const size_t end = runs.size();
        for (int c = 1; c < copies && !overflow; ++c)
            for (size_t r = first; r < end && !overflow; ++r)
                push(runs[r].start + c * sub, runs[r].length, runs[r].value);
    }
    void copyScaled(size_t to, size_t from, size_t, double factor, size_t first, size_t end) {
        for (size_t r = first; r < end && !overflow; ++r)
            push(runs[r].start - from + to, runs[r].length, runs[r].value * factor);
    }
};

}  // namespace

void EmissionBuilder::prepare(const PartModel& part, const MarkerGenotypes& genotypes) {
    part_ = &part;
    genotypes_ = &genotypes;
    const int founders = part.founders();
    const int slots = part.slots();
    nodes_ = 2 * founders;

    relevant_.assign(slots, 0);
    std::vector<int> lastSlotChild(slots, -1);
    std::vector<int> lastFounderChild(founders, -1);
    for (int s = slots - 1; s >= 0; --s) {
        relevant_[s] = genotypes.slotA[s] >= 0 || lastSlotChild[s] >= 0;
        if (!relevant_[s]) continue;
        for (int ref : {part.fatherRef[s], part.motherRef[s]}) {
            if (ref >= 0)
                lastSlotChild[ref] = std::max(lastSlotChild[ref], s);
            else
                lastFounderChild[-ref - 1] = std::max(lastFounderChild[-ref - 1], s);
        }
    }
    nextRelevant_.assign(slots + 1, slots);
    for (int s = slots - 1; s >= 0; --s) nextRelevant_[s] = relevant_[s] ? s : nextRelevant_[s + 1];

    liveFounders_.assign(slots + 1, 0);
    openSlots_.assign(slots + 1, {});
    for (int level = -1; level < slots; ++level) {
        std::uint64_t mask = 0;
        for (int f = 0; f < founders; ++f)
            if (lastFounderChild[f] > level) mask |= bit(2 * f) | bit(2 * f + 1);
        liveFounders_[level + 1] = mask;
        for (int t = 0; t <= level; ++t)
            if (lastSlotChild[t] > level) openSlots_[level + 1].push_back(t);
    }
    if (static_cast<int>(stack_.size()) < part.bits + 2) stack_.resize(part.bits + 2);
    if (static_cast<int>(memo_.size()) < slots) memo_.resize(slots);
    for (auto& table : memo_)
        if (!table.empty()) table.clear();
}

std::uint64_t EmissionBuilder::liveNodes(const State& state, int level) const {
    std::uint64_t live = liveFounders_[level + 1];
    for (int t : openSlots_[level + 1]) live |= bit(state.carried[0][t]) | bit(state.carried[1][t]);
    return live;
}

double EmissionBuilder::openScale(const State& state) const {
    double product = 1.0;
    for (std::uint64_t g = state.groups; g; g &= g - 1) {
        const int c = std::countr_zero(g);
        product *= state.weight[0][c] + (state.assignments[c] == 2 ? state.weight[1][c] : 0.0);
    }
    return product;
}

void EmissionBuilder::close(State& state, int level, double& scale) const {
    const std::uint64_t live = liveNodes(state, level);
    for (std::uint64_t g = state.groups; g; g &= g - 1) {
        const int c = std::countr_zero(g);
        if (state.members[c] & live) continue;
        scale *= state.weight[0][c] + (state.assignments[c] == 2 ? state.weight[1][c] : 0.0);
        state.groups &= ~bit(c);
        for (std::uint64_t m = state.members[c]; m; m &= m - 1)
            state.comp[std::countr_zero(m)] = -1;
    }
}

// Ties founder alleles i and j (carried by one typed person) to the genotype {a, b}.
bool EmissionBuilder::tie(State& s, int i, int j, int a, int b) const {
    const double* f = genotypes_->frequencies;
    // Keeps the assignments flagged in keep, moving a lone survivor to the front.
    auto filter = [&](int c, bool keep0, bool keep1) {
        if (s.assignments[c] < 2) keep1 = false;
        if (!keep0 && !keep1) return false;
        if (!keep0) {
            for (std::uint64_t m = s.members[c]; m; m &= m - 1) {
                const int node = std::countr_zero(m);
                s.value[0][node] = s.value[1][node];
            }
            s.weight[0][c] = s.weight[1][c];
        }
        s.assignments[c] = keep0 && keep1 ? 2 : 1;
        return true;
    };
    const int ci = s.comp[i];
    const int cj = s.comp[j];
    if (i == j) {  // both alleles descend from one founder allele
        if (a != b) return false;
        if (ci < 0) {
            if (f[a] <= 0.0) return false;
            s.comp[i] = static_cast<std::int8_t>(i);
            s.members[i] = bit(i);
            s.value[0][i] = a;
            s.weight[0][i] = f[a];
            s.assignments[i] = 1;
            s.groups |= bit(i);
            return true;
        }
        return filter(ci, s.value[0][i] == a, s.value[1][i] == a);
    }
    if (ci < 0 && cj < 0) {
        const double w = f[a] * f[b];
        if (w <= 0.0) return false;
        s.comp[i] = s.comp[j] = static_cast<std::int8_t>(i);
        s.members[i] = bit(i) | bit(j);
        s.value[0][i] = a;
        s.value[0][j] = b;
        s.value[1][i] = b;
        s.value[1][j] = a;
        s.weight[0][i] = s.weight[1][i] = w;
        s.assignments[i] = a == b ? 1 : 2;
        s.groups |= bit(i);
        return true;
    }
    if (ci < 0 || cj < 0) {  // one allele joins the group of the other
        const int inside = ci < 0 ? j : i;
        const int outside = ci < 0 ? i : j;
        const int c = s.comp[inside];
        bool keep[2] = {false, false};
        for (int h = 0; h < s.assignments[c]; ++h) {
            const int x = s.value[h][inside];
            const int y = x == a ? b : (x == b ? a : -1);
            if (y < 0 || f[y] <= 0.0) continue;
            keep[h] = true;
            s.value[h][outside] = y;
            s.weight[h][c] *= f[y];
        }
        s.comp[outside] = static_cast<std::int8_t>(c);
        s.members[c] |= bit(outside);
        return filter(c, keep[0], keep[1]);
    }
    if (ci == cj) {
        bool keep[2] = {false, false};
        for (int h = 0; h < s.assignments[ci]; ++h) {
            const int x = s.value[h][i];
            const int y = s.value[h][j];
            keep[h] = (x == a && y == b) || (x == b && y == a);
        }
        return filter(ci, keep[0], keep[1]);
    }
    // Two groups become one: at most two of the combined assignments fit {a, b}.
    int pairs[2][2];
    int found = 0;
    for (int h1 = 0; h1 < s.assignments[ci]; ++h1)
        for (int h2 = 0; h2 < s.assignments[cj]; ++h2) {
            const int x = s.value[h1][i];
            const int y = s.value[h2][j];
            if ((x == a && y == b) || (x == b && y == a)) {
                pairs[found][0] = h1;
                pairs[found][1] = h2;
                ++found;
            }
        }
    if (found == 0) return false;
    for (int side = 0; side < 2; ++side) {
        const int c = side == 0 ? ci : cj;
        for (std::uint64_t m = s.members[c]; m; m &= m - 1) {
            const int node = std::countr_zero(m);
            const int v0 = s.value[0][node];
            const int v1 = s.value[1][node];
            for (int k = 0; k < found; ++k) s.value[k][node] = pairs[k][side] == 0 ? v0 : v1;
        }
    }
    double weights[2];
    for (int k = 0; k < found; ++k)
        weights[k] = s.weight[pairs[k][0]][ci] * s.weight[pairs[k][1]][cj];
    for (int k = 0; k < found; ++k) s.weight[k][ci] = weights[k];
    s.assignments[ci] = static_cast<std::uint8_t>(found);
    for (std::uint64_t m = s.members[cj]; m; m &= m - 1)
        s.comp[std::countr_zero(m)] = static_cast<std::int8_t>(ci);
    s.members[ci] |= s.members[cj];
    s.groups &= ~bit(cj);
    return true;
}

bool EmissionBuilder::place(State& state, int slot, int patChoice, int matChoice,
                            double& scale) const {
    const PartModel& part = *part_;
    const int father = part.fatherRef[slot];
    const int mother = part.motherRef[slot];
    const int pat = father < 0 ? 2 * (-father - 1) + patChoice : state.carried[patChoice][father];
    const int mat = mother < 0 ? 2 * (-mother - 1) + matChoice : state.carried[matChoice][mother];
    state.carried[0][slot] = static_cast<std::int8_t>(pat);
    state.carried[1][slot] = static_cast<std::int8_t>(mat);
    const int a = genotypes_->slotA[slot];
    if (a >= 0 && !tie(state, pat, mat, a, genotypes_->slotB[slot])) return false;
    close(state, slot, scale);
    return scale > 0.0;
}

void EmissionBuilder::buildKey(const State& state, int level) {
    key_.clear();
    auto push = [&](std::int32_t v) { key_.append(reinterpret_cast<const char*>(&v), sizeof v); };
    // A slot carries founder-allele nodes, never allele numbers: two nodes fit one word.
    static_assert(kMaxNodes <= 64);
    for (int t : openSlots_[level + 1]) push(state.carried[0][t] * 64 + state.carried[1][t]);
    std::int8_t canon[kMaxNodes];
    std::uint8_t orient[kMaxNodes];
    int order[kMaxNodes];
    int groups = 0;
    for (std::uint64_t g = state.groups; g; g &= g - 1) canon[std::countr_zero(g)] = -1;
    for (std::uint64_t live = liveNodes(state, level); live; live &= live - 1) {
        const int node = std::countr_zero(live);
        const int c = state.comp[node];
        if (c < 0) {
            push(-1);
            continue;
        }
        if (canon[c] < 0) {
            canon[c] = static_cast<std::int8_t>(groups);
            orient[c] = state.assignments[c] == 2 && state.value[1][node] < state.value[0][node];
            order[groups++] = c;
        }
        const int o = orient[c];
        push(canon[c]);
        push(state.value[o][node]);
        push(state.assignments[c] == 2 ? state.value[1 - o][node] : -2);
    }
    for (int k = 0; k < groups; ++k) {
        const int c = order[k];
        if (state.assignments[c] < 2) continue;
        const double share = state.weight[orient[c]][c] / (state.weight[0][c] + state.weight[1][c]);
        key_.append(reinterpret_cast<const char*>(&share), sizeof share);
    }
}

template <class Sink>
void EmissionBuilder::walk(Sink& sink, int s, int depth, double scale, size_t offset) {
    if (sink.full()) return;
    const PartModel& part = *part_;
    const int slots = part.slots();
    State& state = stack_[depth];
    for (;;) {
        if (nextRelevant_[s] == slots) {
            sink.fill(offset, size_t{1} << part.bitsAfter[s], scale);
            return;
        }
        if (!relevant_[s]) {
            const int k = part.freeBits(s);
            if (k == 0) {
                ++s;
                continue;
            }
            const size_t sub = size_t{1} << part.bitsAfter[s + 1];
            const size_t first = sink.mark();
            walk(sink, s + 1, depth, scale, offset);
            sink.repeat(offset, sub, 1 << k, first);
            return;
        }
        if (part.freeBits(s) == 0) {
            if (!place(state, s, 0, 0, scale)) {
                sink.fill(offset, size_t{1} << part.bitsAfter[s], 0.0);
                return;
            }
            ++s;
            continue;
        }
        break;
    }
    const size_t size = size_t{1} << part.bitsAfter[s];
    const bool remember = part.bitsAfter[s] >= kMemoMinBits;
    std::string key;
    double keyScale = 0.0;
    if (remember) {
        buildKey(state, s - 1);
        keyScale = scale * openScale(state);
        auto& table = memo_[s];
        const auto it = table.find(key_);
        if (it != table.end()) {
            const MemoEntry& seen = it->second;
            sink.copyScaled(offset, seen.offset, size, keyScale / seen.scale, seen.firstRun,
                            seen.endRun);
            return;
        }
        key = key_;
    }
    const size_t first = sink.mark();
    const int k = part.freeBits(s);
    const size_t sub = size >> k;
    for (int c = 0; c < (1 << k); ++c) {
        const int patChoice = k == 2 ? c >> 1 : (part.patFree[s] ? c : 0);
        const int matChoice = k == 2 ? c & 1 : (part.patFree[s] ? 0 : c);
        State& child = stack_[depth + 1];
        std::memcpy(child.comp, state.comp, nodes_);
        for (int h = 0; h < 2; ++h) {
            std::memcpy(child.value[h], state.value[h], nodes_ * sizeof(std::int32_t));
            std::memcpy(child.weight[h], state.weight[h], nodes_ * sizeof(double));
            std::memcpy(child.carried[h], state.carried[h], slots);
        }
        std::memcpy(child.members, state.members, nodes_ * sizeof(std::uint64_t));
        std::memcpy(child.assignments, state.assignments, nodes_);
        child.groups = state.groups;
        double childScale = scale;
        if (!place(child, s, patChoice, matChoice, childScale))
            sink.fill(offset + c * sub, sub, 0.0);
        else
            walk(sink, s + 1, depth + 1, childScale, offset + c * sub);
    }
    if (remember && keyScale > 0.0 && !sink.full())
        memo_[s].emplace(std::move(key), MemoEntry{offset, keyScale, first, sink.mark()});
}

bool EmissionBuilder::start(double& scale) {
    State& root = stack_[0];
    std::memset(root.comp, -1, sizeof root.comp);
    root.groups = 0;
    scale = 1.0;
    bool possible = true;
    for (int f = 0; f < part_->founders() && possible; ++f)
        if (genotypes_->founderA[f] >= 0)
            possible =
                tie(root, 2 * f, 2 * f + 1, genotypes_->founderA[f], genotypes_->founderB[f]);
    if (possible) {
        close(root, -1, scale);
        possible = scale > 0.0;
    }
    return possible;
}

bool EmissionBuilder::compute(const PartModel& part, const MarkerGenotypes& genotypes,
                              double* emission) {
    prepare(part, genotypes);
    DenseSink sink{emission};
    double scale = 1.0;
    if (!start(scale)) {
        sink.fill(0, size_t{1} << part.bits, 0.0);
        return false;
    }
    walk(sink, 0, 0, scale, 0);
    return true;
}

bool EmissionBuilder::computeRuns(const PartModel& part, const MarkerGenotypes& genotypes,
                                  size_t limit, std::vector<EmissionRun>& runs) {
    prepare(part, genotypes);
    runs.clear();
    RunSink sink{runs, limit};
    double scale = 1.0;
    if (start(scale)) walk(sink, 0, 0, scale, 0);
    return !sink.overflow;
}

}  // namespace merlin
