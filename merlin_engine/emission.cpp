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

void fill(double* out, size_t count, double value) {
    std::fill(out, out + count, value);
}

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

void EmissionBuilder::walk(int s, int depth, double scale, size_t offset) {
    const PartModel& part = *part_;
    const int slots = part.slots();
    State& state = stack_[depth];
    for (;;) {
        if (nextRelevant_[s] == slots) {
            fill(out_ + offset, size_t{1} << part.bitsAfter[s], scale);
            return;
        }
        if (!relevant_[s]) {
            const int k = part.freeBits(s);
            if (k == 0) {
                ++s;
                continue;
            }
            const size_t sub = size_t{1} << part.bitsAfter[s + 1];
            walk(s + 1, depth, scale, offset);
            for (int c = 1; c < (1 << k); ++c)
                std::memcpy(out_ + offset + c * sub, out_ + offset, sub * sizeof(double));
            return;
        }
        if (part.freeBits(s) == 0) {
            if (!place(state, s, 0, 0, scale)) {
                fill(out_ + offset, size_t{1} << part.bitsAfter[s], 0.0);
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
            const double factor = keyScale / it->second.scale;
            const double* from = out_ + it->second.offset;
            double* to = out_ + offset;
            for (size_t i = 0; i < size; ++i) to[i] = from[i] * factor;
            return;
        }
        key = key_;
    }
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
            fill(out_ + offset + c * sub, sub, 0.0);
        else
            walk(s + 1, depth + 1, childScale, offset + c * sub);
    }
    if (remember && keyScale > 0.0) memo_[s].emplace(std::move(key), MemoEntry{offset, keyScale});
}

bool EmissionBuilder::compute(const PartModel& part, const MarkerGenotypes& genotypes,
                              double* emission) {
    prepare(part, genotypes);
    out_ = emission;
    State& root = stack_[0];
    std::memset(root.comp, -1, sizeof root.comp);
    root.groups = 0;
    double scale = 1.0;
    bool possible = true;
    for (int f = 0; f < part.founders() && possible; ++f)
        if (genotypes.founderA[f] >= 0)
            possible = tie(root, 2 * f, 2 * f + 1, genotypes.founderA[f], genotypes.founderB[f]);
    const size_t size = size_t{1} << part.bits;
    if (possible) {
        close(root, -1, scale);
        possible = scale > 0.0;
    }
    if (!possible) {
        fill(emission, size, 0.0);
        return false;
    }
    walk(0, 0, scale, 0);
    return true;
}

}  // namespace merlin
