#include "engine/aunt.h"

#include "engine/setup_enumeration.h"

namespace relatix {

// The father received d from a grandparent of the given sex code and passes his
// allele to the nephew, each transmission possibly mutated (throughFather). An
// untyped mother passed the nephew's other allele than t[0] (x) unchanged; a
// typed one passes t[0], possibly mutated too.
double CAunt::nephewFactor(size_t marker, const int* t, int d, int grandparentSex) const {
    const auto& g = typedGenotypes[marker];
    const double* father = throughFather(static_cast<int>(marker), grandparentSex, d);
    if (mother > 0)
        return genotypeProbability(femaleMutationMatrices[marker].row(t[0]), father, g[0], g[1]);
    const int x = t[0] == g[0] ? g[1] : g[0];
    return father[x];
}

void CAunt::setupGenotypes() {
    forEachSystem([this](int c, int k, const ClusterSystem& system) {
        const auto [w1, w2] = typedPair(c, k, nephew);
        const auto [u1, u2] = typedPair(c, k, uncle);
        std::vector<int> typed = {w1, w2, u1, u2};
        FounderSetups setups;
        if (mother > 0) {
            const auto [m1, m2] = typedPair(c, k, mother);
            typed.insert(typed.end(), {m1, m2});
            setups.addGroup(2, bothOrders(m1, m2));
        } else {
            setups.addGroup(1, eitherAllele(w1, w2));
        }
        const auto pairs = ancestorPairs(static_cast<int>(system.alleleNames.size()), typed, steps);
        setups.addGroup(2, pairs);
        setups.addGroup(2, pairs);
        appendMarker(std::move(typed), std::move(setups));
    });
}

double CAunt::dataProbability(int marker, int pattern, int setup) const {
    int s[6];
    const auto& [g, female, male] = decodedMarker(marker, setup, s);
    const int* a = s + motherSlots();
    const int* b = a + 2;
    const auto& p = patternBits(pattern);
    const double uncleFactor =
        genotypeProbability(female.row(a[p[0]]), male.row(b[p[1]]), g[2], g[3]);
    const int d = p[4] == 0 ? a[p[2]] : b[p[3]];
    return uncleFactor *
           nephewFactor(static_cast<size_t>(marker), s, d, p[4] == 0 ? kGrandmother : kGrandfather);
}

void CAunt::prepareMarker(int marker) const {
    if (preparedMarker_ == marker) return;
    const auto& [g, female, male] = markerData(marker);
    const int n = female.size();
    uncleGiven_.assign(static_cast<size_t>(n) * n, 0.0);
    for (int a = 0; a < n; ++a)
        for (int b = 0; b < n; ++b)
            uncleGiven_[static_cast<size_t>(a) * n + b] =
                genotypeProbability(female.row(a), male.row(b), g[2], g[3]);
    const size_t m = static_cast<size_t>(marker);
    const auto& first = founderSetups[m].groups()[0];
    std::vector<int> tuple(static_cast<size_t>(first.width), 0);
    for (int from = 0; from < 2; ++from) {
        const int sex = from == 0 ? kGrandmother : kGrandfather;
        auto& given = nephewGiven_[from];
        given.assign(static_cast<size_t>(first.count()) * n, 0.0);
        for (int t = 0; t < first.count(); ++t)
            for (int d = 0; d < n; ++d)
                given[static_cast<size_t>(t) * n + d] = nephewFactor(m, first.tuple(t), d, sex);
        auto& byAllele = nephewByAllele_[from];
        byAllele.assign(static_cast<size_t>(n) * n, 0.0);
        for (int a = 0; a < n; ++a) {
            tuple[0] = a;
            for (int d = 0; d < n; ++d)
                byAllele[static_cast<size_t>(a) * n + d] = nephewFactor(m, tuple.data(), d, sex);
        }
    }
    preparedMarker_ = marker;
}

void CAunt::patternEmissions(int marker, double* out) const {
    prepareMarker(marker);
    const int a = motherSlots();
    const int b = a + 2;
    const auto factorsOf = [a, b, this](int j, std::vector<FactorSums::Factor>& factors) {
        const auto& p = patternBits(j);
        factors.push_back({0, a + p[0], b + p[1]});
        if (p[4] == 0)
            factors.push_back({1, 0, a + p[2]});
        else
            factors.push_back({2, 0, b + p[3]});
    };
    if (!sumFactors(marker,
                    {uncleGiven_.data(), nephewByAllele_[0].data(), nephewByAllele_[1].data()},
                    factorsOf, out))
        CRelationship::patternEmissions(marker, out);
}

void CAunt::dataProbabilities(int marker, int firstSetup, int count, double* out) const {
    prepareMarker(marker);
    const auto& groups = founderSetups[static_cast<size_t>(marker)].groups();
    const FounderSetups::Group& grandmothers = groups[1];
    const FounderSetups::Group& grandfathers = groups[2];
    const int na = grandmothers.count();
    const int nb = grandfathers.count();
    const int n = femaleMutationMatrices[static_cast<size_t>(marker)].size();
    int it = firstSetup / (na * nb);
    int ia = (firstSetup / nb) % na;
    int ib = firstSetup % nb;
    for (int s = 0; s < count; ++s) {
        const int* a = grandmothers.tuple(ia);
        const int* b = grandfathers.tuple(ib);
        const double* fromGrandmother = nephewGiven_[0].data() + static_cast<size_t>(it) * n;
        const double* fromGrandfather = nephewGiven_[1].data() + static_cast<size_t>(it) * n;
        double u[2][2];
        for (int p0 = 0; p0 < 2; ++p0)
            for (int p1 = 0; p1 < 2; ++p1)
                u[p0][p1] = uncleGiven_[static_cast<size_t>(a[p0]) * n + b[p1]];
        const double fromA[2] = {fromGrandmother[a[0]], fromGrandmother[a[1]]};
        const double fromB[2] = {fromGrandfather[b[0]], fromGrandfather[b[1]]};
        double* d = out + static_cast<size_t>(s) * 32;
        for (int p0 = 0; p0 < 2; ++p0)
            for (int p1 = 0; p1 < 2; ++p1)
                for (int p2 = 0; p2 < 2; ++p2)
                    for (int p3 = 0; p3 < 2; ++p3) {
                        const int j = p0 * 16 + p1 * 8 + p2 * 4 + p3 * 2;
                        d[j] = u[p0][p1] * fromA[p2];
                        d[j + 1] = u[p0][p1] * fromB[p3];
                    }
        if (++ib == nb) {
            ib = 0;
            if (++ia == na) {
                ia = 0;
                ++it;
            }
        }
    }
}

}  // namespace relatix
