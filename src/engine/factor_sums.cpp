#include "engine/factor_sums.h"

#include <algorithm>
#include <cmath>

namespace relatix {

bool FactorSums::prepare(const FounderSetups& setups, const double* frequencies, int alleles,
                         const std::vector<const double*>& tables, double threshold, double theta) {
    if (!(theta >= 0.0 && theta < 1.0)) return false;
    n_ = alleles;
    threshold_ = threshold;
    theta_ = theta;
    slots_ = setups.slotCount();
    const size_t n = static_cast<size_t>(alleles);
    frequencies_.assign(frequencies, frequencies + n);
    // The j-th founder allele (0-based) is drawn with the denominator 1 + (j - 1) theta.
    denominator_ = 1.0;
    for (int j = 0; j < slots_; ++j) denominator_ *= 1.0 + (j - 1) * theta;
    groups_.clear();
    groupOfSlot_.assign(static_cast<size_t>(slots_), -1);
    allowed_.assign(static_cast<size_t>(slots_) * n, 0);
    int slot = 0;
    for (const FounderSetups::Group& g : setups.groups()) {
        if (g.width == 0) continue;
        if (g.width > 2) return false;
        Group group;
        group.width = g.width;
        group.firstSlot = slot;
        char* allowedFirst = allowed_.data() + static_cast<size_t>(slot) * n;
        char* allowedSecond = allowedFirst + n;
        if (g.width == 1) {
            group.single.assign(n, 0.0);
            for (int t = 0; t < g.count(); ++t) {
                const size_t a = static_cast<size_t>(g.tuple(t)[0]);
                group.single[a] = frequencies[a];
                allowedFirst[a] = 1;
            }
            for (double w : group.single) group.total += w;
        } else {
            group.member.assign(n * n, 0);
            group.pair.assign(n * n, 0.0);
            group.byFirst.assign(n, 0.0);
            group.bySecond.assign(n, 0.0);
            for (int t = 0; t < g.count(); ++t) {
                const size_t a = static_cast<size_t>(g.tuple(t)[0]);
                const size_t b = static_cast<size_t>(g.tuple(t)[1]);
                const double w = frequencies[a] * frequencies[b];
                group.member[a * n + b] = 1;
                group.pair[a * n + b] = w;
                group.byFirst[a] += w;
                group.bySecond[b] += w;
                group.total += w;
                allowedFirst[a] = 1;
                allowedSecond[b] = 1;
            }
            group.symmetric = true;
            for (size_t a = 0; a < n && group.symmetric; ++a)
                for (size_t b = 0; b < a; ++b)
                    if (group.member[a * n + b] != group.member[b * n + a]) {
                        group.symmetric = false;
                        break;
                    }
        }
        for (int s = 0; s < g.width; ++s)
            groupOfSlot_[static_cast<size_t>(slot + s)] = static_cast<int>(groups_.size());
        groups_.push_back(std::move(group));
        slot += g.width;
    }

    allowedCount_.assign(static_cast<size_t>(slots_), 0);
    for (size_t a = 0; a < allowed_.size(); ++a) allowedCount_[a / n] += allowed_[a];

    const auto largerFirst = [](const Entry& x, const Entry& y) { return x.value > y.value; };
    sums_.clear();
    values_ = tables;
    tables_.assign(tables.size(), Table{});
    for (size_t t = 0; t < tables.size(); ++t) {
        const double* values = tables[t];
        Table& table = tables_[t];
        table.rowStart.assign(n + 1, 0);
        table.columnStart.assign(n + 1, 0);
        for (size_t a = 0; a < n; ++a)
            for (size_t b = 0; b < n; ++b) {
                const double v = values[a * n + b];
                // The pruning needs every entry finite and not negative.
                if (!(v >= 0.0) || !std::isfinite(v)) return false;
                if (v == 0.0) continue;
                table.largest = std::max(table.largest, v);
                table.all.push_back({v, static_cast<int>(a), static_cast<int>(b)});
                ++table.rowStart[a + 1];
                ++table.columnStart[b + 1];
            }
        for (size_t a = 0; a < n; ++a) {
            table.rowStart[a + 1] += table.rowStart[a];
            table.columnStart[a + 1] += table.columnStart[a];
        }
        table.rows.resize(table.all.size());
        table.columns.resize(table.all.size());
        std::vector<int> rowAt(table.rowStart.begin(), table.rowStart.end() - 1);
        std::vector<int> columnAt(table.columnStart.begin(), table.columnStart.end() - 1);
        for (const Entry& e : table.all) {
            table.rows[static_cast<size_t>(rowAt[static_cast<size_t>(e.first)]++)] = e;
            table.columns[static_cast<size_t>(columnAt[static_cast<size_t>(e.second)]++)] = e;
        }
        std::sort(table.all.begin(), table.all.end(), largerFirst);
        for (size_t a = 0; a < n; ++a) {
            std::sort(table.rows.begin() + table.rowStart[a],
                      table.rows.begin() + table.rowStart[a + 1], largerFirst);
            std::sort(table.columns.begin() + table.columnStart[a],
                      table.columns.begin() + table.columnStart[a + 1], largerFirst);
        }
    }
    return true;
}

std::vector<FactorSums::Factor> FactorSums::canonical(const std::vector<Factor>& factors) const {
    std::vector<int> slotFor(static_cast<size_t>(slots_));
    for (int s = 0; s < slots_; ++s) slotFor[static_cast<size_t>(s)] = s;
    std::vector<char> seen(groups_.size(), 0);
    for (const Factor& f : factors)
        for (int slot : {f.first, f.second}) {
            const size_t g = static_cast<size_t>(groupOfSlot_[static_cast<size_t>(slot)]);
            if (seen[g]) continue;
            seen[g] = 1;
            const Group& group = groups_[g];
            if (group.symmetric && slot != group.firstSlot) {
                slotFor[static_cast<size_t>(group.firstSlot)] = group.firstSlot + 1;
                slotFor[static_cast<size_t>(group.firstSlot + 1)] = group.firstSlot;
            }
        }
    std::vector<Factor> result = factors;
    for (Factor& f : result) {
        f.first = slotFor[static_cast<size_t>(f.first)];
        f.second = slotFor[static_cast<size_t>(f.second)];
    }
    return result;
}

double FactorSums::sum(const std::vector<Factor>& factors) {
    std::vector<Factor> key = canonical(factors);
    const auto same = [](const Factor& x, const Factor& y) {
        return x.table == y.table && x.first == y.first && x.second == y.second;
    };
    for (const auto& [known, value] : sums_)
        if (std::equal(known.begin(), known.end(), key.begin(), key.end(), same)) return value;
    Walk walk{key, std::vector<int>(static_cast<size_t>(slots_), -1), 0.0, {}, {}};
    if (theta_ != 0.0) walk.counts.assign(static_cast<size_t>(n_), 0);
    descend(walk, 0, 1.0);
    sums_.emplace_back(std::move(key), walk.sum);
    return walk.sum;
}

// The largest data probability that the factors from `factor` on can still
// reach, multiplied in the same order as the data probability itself: a branch
// whose bound does not exceed the threshold holds no setup that does.
double FactorSums::bound(const Walk& walk, size_t factor, double product) const {
    for (size_t f = factor; f < walk.factors.size(); ++f)
        product *= tables_[static_cast<size_t>(walk.factors[f].table)].largest;
    return product;
}

bool FactorSums::admits(const Walk& walk, int slot, int allele) const {
    const size_t n = static_cast<size_t>(n_);
    if (!allowed_[static_cast<size_t>(slot) * n + static_cast<size_t>(allele)]) return false;
    const Group& group = groups_[static_cast<size_t>(groupOfSlot_[static_cast<size_t>(slot)])];
    if (group.width != 2) return true;
    const bool first = slot == group.firstSlot;
    const int other = walk.alleles[static_cast<size_t>(first ? slot + 1 : slot - 1)];
    if (other < 0) return true;
    const size_t a = static_cast<size_t>(first ? allele : other);
    const size_t b = static_cast<size_t>(first ? other : allele);
    return group.member[a * n + b] != 0;
}

double FactorSums::completeOpenSlots(Walk& walk, size_t k) const {
    const int slot = walk.open[k];
    const bool last = k + 1 == walk.open.size();
    double total = 0.0;
    for (int x = 0; x < n_; ++x) {
        if (!admits(walk, slot, x)) continue;
        const size_t ux = static_cast<size_t>(x);
        const double w = walk.counts[ux] * theta_ + (1.0 - theta_) * frequencies_[ux];
        if (last) {
            total += w;
            continue;
        }
        walk.alleles[static_cast<size_t>(slot)] = x;
        ++walk.counts[ux];
        total += w * completeOpenSlots(walk, k + 1);
        --walk.counts[ux];
        walk.alleles[static_cast<size_t>(slot)] = -1;
    }
    return total;
}

double FactorSums::founderWeight(Walk& walk) const {
    const size_t n = static_cast<size_t>(n_);
    if (theta_ != 0.0) {
        // The draws of the given alleles, in any order, then those of the open
        // slots, the slots with the fewest choices enumerated first.
        double weight = 1.0;
        walk.open.clear();
        for (int s = 0; s < slots_; ++s) {
            const int a = walk.alleles[static_cast<size_t>(s)];
            if (a < 0) {
                walk.open.push_back(s);
                continue;
            }
            const size_t ua = static_cast<size_t>(a);
            weight *= walk.counts[ua] * theta_ + (1.0 - theta_) * frequencies_[ua];
            ++walk.counts[ua];
        }
        std::stable_sort(walk.open.begin(), walk.open.end(), [this](int x, int y) {
            return allowedCount_[static_cast<size_t>(x)] < allowedCount_[static_cast<size_t>(y)];
        });
        if (!walk.open.empty()) weight *= completeOpenSlots(walk, 0);
        for (int a : walk.alleles)
            if (a >= 0) --walk.counts[static_cast<size_t>(a)];
        return weight / denominator_;
    }
    double weight = 1.0;
    for (const Group& group : groups_) {
        const int a = walk.alleles[static_cast<size_t>(group.firstSlot)];
        if (group.width == 1) {
            weight *= a >= 0 ? group.single[static_cast<size_t>(a)] : group.total;
            continue;
        }
        const int b = walk.alleles[static_cast<size_t>(group.firstSlot + 1)];
        if (a >= 0 && b >= 0)
            weight *= group.pair[static_cast<size_t>(a) * n + static_cast<size_t>(b)];
        else if (a >= 0)
            weight *= group.byFirst[static_cast<size_t>(a)];
        else if (b >= 0)
            weight *= group.bySecond[static_cast<size_t>(b)];
        else
            weight *= group.total;
    }
    return weight;
}

void FactorSums::descend(Walk& walk, size_t factor, double product) const {
    if (factor == walk.factors.size()) {
        if (product > threshold_) walk.sum += founderWeight(walk) * product;
        return;
    }
    const Factor& f = walk.factors[factor];
    const Table& table = tables_[static_cast<size_t>(f.table)];
    int& u = walk.alleles[static_cast<size_t>(f.first)];
    int& v = walk.alleles[static_cast<size_t>(f.second)];
    auto visit = [&](const Entry* begin, const Entry* end, bool setFirst, bool setSecond) {
        for (const Entry* e = begin; e != end; ++e) {
            const double p = product * e->value;
            if (!(bound(walk, factor + 1, p) > threshold_)) break;
            if (setFirst) {
                if (!admits(walk, f.first, e->first)) continue;
                u = e->first;
            }
            if (setSecond) {
                if (!admits(walk, f.second, e->second)) {
                    if (setFirst) u = -1;
                    continue;
                }
                v = e->second;
            }
            descend(walk, factor + 1, p);
            if (setFirst) u = -1;
            if (setSecond) v = -1;
        }
    };
    if (u >= 0 && v >= 0) {
        const double value =
            values_[static_cast<size_t>(f.table)]
                   [static_cast<size_t>(u) * static_cast<size_t>(n_) + static_cast<size_t>(v)];
        const double p = product * value;
        if (bound(walk, factor + 1, p) > threshold_) descend(walk, factor + 1, p);
    } else if (u >= 0) {
        const Entry* row = table.rows.data();
        visit(row + table.rowStart[static_cast<size_t>(u)],
              row + table.rowStart[static_cast<size_t>(u) + 1], false, true);
    } else if (v >= 0) {
        const Entry* column = table.columns.data();
        visit(column + table.columnStart[static_cast<size_t>(v)],
              column + table.columnStart[static_cast<size_t>(v) + 1], true, false);
    } else {
        visit(table.all.data(), table.all.data() + table.all.size(), true, true);
    }
}

}  // namespace relatix
