#include "engine/sibship.h"

#include <algorithm>

#include "engine/setup_enumeration.h"

namespace relatix {

void CSibship::addTypedPerson(int person) {
    typedPersons_.push_back(person);
}

int CSibship::addTypedFounder(int person) {
    groups_.push_back({GroupKind::TypedFounder, person});
    slots_ += 2;
    return slots_ - 2;
}

int CSibship::addUntypedFounder() {
    groups_.push_back({GroupKind::UntypedFounder, 0});
    slots_ += 2;
    return slots_ - 2;
}

int CSibship::addOtherParentAllele(int child) {
    groups_.push_back({GroupKind::OtherParentAllele, child});
    slots_ += 1;
    return slots_ - 1;
}

void CSibship::addChild(int person, Source first, Source second) {
    children_.push_back({person, first, second});
}

int CSibship::typedPosition(int person) const {
    const auto it = std::find(typedPersons_.begin(), typedPersons_.end(), person);
    return static_cast<int>(it - typedPersons_.begin());
}

void CSibship::setupGenotypes() {
    forEachSystem([this](int c, int k, const ClusterSystem& system) {
        std::vector<int> typed;
        for (int person : typedPersons_) {
            const auto [first, second] = typedPair(c, k, person);
            typed.push_back(first);
            typed.push_back(second);
        }
        const int alleles = static_cast<int>(system.alleleNames.size());
        std::vector<int> pairs;
        bool pairsListed = false;
        FounderSetups setups;
        for (const Group& group : groups_) {
            const size_t p = 2 * static_cast<size_t>(typedPosition(group.person));
            switch (group.kind) {
                case GroupKind::TypedFounder:
                    setups.addGroup(2, bothOrders(typed[p], typed[p + 1]));
                    break;
                case GroupKind::OtherParentAllele:
                    setups.addGroup(1, eitherAllele(typed[p], typed[p + 1]));
                    break;
                case GroupKind::UntypedFounder:
                    if (!pairsListed) pairs = ancestorPairs(alleles, typed, steps);
                    pairsListed = true;
                    setups.addGroup(2, pairs);
                    break;
            }
        }
        appendMarker(std::move(typed), std::move(setups));
    });
}

void CSibship::prepareMarker(int marker) const {
    if (preparedMarker_ == marker) return;
    const auto& [g, female, male] = markerData(marker);
    const int n = female.size();
    auto entry = [&f = female, &m = male](Transmission t, int from, int to) {
        switch (t) {
            case Transmission::Female: return f.at(from, to);
            case Transmission::Male: return m.at(from, to);
            case Transmission::Unchanged: break;
        }
        return from == to ? 1.0 : 0.0;
    };
    childGiven_.resize(children_.size());
    for (size_t c = 0; c < children_.size(); ++c) {
        const Child& child = children_[c];
        const size_t p = 2 * static_cast<size_t>(typedPosition(child.person));
        const int x = g[p], y = g[p + 1];
        auto& table = childGiven_[c];
        table.assign(static_cast<size_t>(n) * static_cast<size_t>(n), 0.0);
        for (int a = 0; a < n; ++a)
            for (int b = 0; b < n; ++b) {
                const Transmission s = child.first.matrix, t = child.second.matrix;
                table[static_cast<size_t>(a) * n + b] =
                    x == y ? entry(s, a, x) * entry(t, b, x)
                           : entry(s, a, x) * entry(t, b, y) + entry(s, a, y) * entry(t, b, x);
            }
    }
    if (combination_.size() != children_.size()) {
        combination_.assign(children_.size(), {});
        for (size_t c = 0; c < children_.size(); ++c)
            for (const auto& pattern : inheritancePatterns) {
                const Source& s = children_[c].first;
                const Source& t = children_[c].second;
                const int a = s.bit >= 0 ? pattern[static_cast<size_t>(s.bit)] : 0;
                const int b = t.bit >= 0 ? pattern[static_cast<size_t>(t.bit)] : 0;
                combination_[c].push_back(2 * a + b);
            }
    }
    preparedAlleles_ = n;
    preparedMarker_ = marker;
}

double CSibship::dataProbability(int marker, int pattern, int setup) const {
    std::vector<double> all(inheritancePatterns.size());
    dataProbabilities(marker, setup, 1, all.data());
    return all[static_cast<size_t>(pattern)];
}

void CSibship::patternEmissions(int marker, double* out) const {
    prepareMarker(marker);
    std::vector<const double*> tables;
    for (const auto& table : childGiven_) tables.push_back(table.data());
    const auto factorsOf = [this](int j, std::vector<FactorSums::Factor>& factors) {
        const auto& bits = patternBits(j);
        auto slot = [&bits](const Source& s) {
            return s.slot + (s.bit >= 0 ? bits[static_cast<size_t>(s.bit)] : 0);
        };
        for (size_t c = 0; c < children_.size(); ++c)
            factors.push_back(
                {static_cast<int>(c), slot(children_[c].first), slot(children_[c].second)});
    };
    if (!sumFactors(marker, tables, factorsOf, out)) CRelationship::patternEmissions(marker, out);
}

void CSibship::dataProbabilities(int marker, int firstSetup, int count, double* out) const {
    prepareMarker(marker);
    const auto& groups = founderSetups[static_cast<size_t>(marker)].groups();
    const size_t groupCount = groups.size();
    const int n = preparedAlleles_;
    const size_t patterns = inheritancePatterns.size();
    const size_t childCount = children_.size();

    // The setup is decoded once and then counted on in mixed radix, the last
    // group changing fastest; only the groups that change are copied again.
    std::vector<int> index(groupCount), offset(groupCount);
    std::vector<int> slots(static_cast<size_t>(slots_));
    int rest = firstSetup;
    for (size_t gi = groupCount, at = static_cast<size_t>(slots_); gi > 0; --gi) {
        const auto& group = groups[gi - 1];
        index[gi - 1] = rest % group.count();
        rest /= group.count();
        at -= static_cast<size_t>(group.width);
        offset[gi - 1] = static_cast<int>(at);
        std::copy_n(group.tuple(index[gi - 1]), group.width, slots.begin() + offset[gi - 1]);
    }

    std::vector<double> values(childCount * 4);
    for (int s = 0; s < count; ++s) {
        for (size_t c = 0; c < childCount; ++c) {
            const Source& first = children_[c].first;
            const Source& second = children_[c].second;
            const double* table = childGiven_[c].data();
            const int aCount = first.bit >= 0 ? 2 : 1;
            const int bCount = second.bit >= 0 ? 2 : 1;
            for (int a = 0; a < aCount; ++a)
                for (int b = 0; b < bCount; ++b)
                    values[c * 4 + static_cast<size_t>(2 * a + b)] =
                        table[static_cast<size_t>(slots[static_cast<size_t>(first.slot + a)]) * n +
                              slots[static_cast<size_t>(second.slot + b)]];
        }
        double* d = out + static_cast<size_t>(s) * patterns;
        const int* first = combination_[0].data();
        for (size_t j = 0; j < patterns; ++j) d[j] = values[static_cast<size_t>(first[j])];
        for (size_t c = 1; c < childCount; ++c) {
            const int* k = combination_[c].data();
            const double* v = values.data() + c * 4;
            for (size_t j = 0; j < patterns; ++j) d[j] *= v[k[j]];
        }
        for (size_t gi = groupCount; gi > 0; --gi) {
            const auto& group = groups[gi - 1];
            if (++index[gi - 1] == group.count()) index[gi - 1] = 0;
            std::copy_n(group.tuple(index[gi - 1]), group.width, slots.begin() + offset[gi - 1]);
            if (index[gi - 1] != 0) break;
        }
    }
}

}  // namespace relatix
