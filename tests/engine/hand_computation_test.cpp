// Likelihoods of small cases worked out by hand, against the engine. Nothing is
// pruned (threshold 0, unlimited steps), so the engine is exact here.
#include <gtest/gtest.h>

#include <cmath>

#include "engine_case.h"

namespace relatix::testing {
namespace {

constexpr double kRelative = 1e-12;

void expectLikelihood(double logLikelihood, double expected) {
    EXPECT_NEAR(std::exp(logLikelihood), expected, kRelative * expected);
}

// Model 1 over n alleles: keep with 1 - r, any other allele with r / (n - 1).
double simple(double r, int n, int from, int to) {
    return from == to ? 1 - r : r / (n - 1);
}

const std::vector<double> kFirst = {0.1, 0.2, 0.3, 0.4};
const std::vector<double> kSecond = {0.25, 0.25, 0.5};

TEST(HandComputed, paternityDuo) {
    for (const double r : {0.0, 0.01}) {
        SCOPED_TRACE(r);
        auto M = [r](int n, int a, int b) { return simple(r, n, a, b); };
        EngineCase c({1, 1});
        c.exactSettings();
        c.addMarker(1, 0.0, kFirst, {1, 0.3}, {1, r});
        c.genotype(1, 0, "1", "2");  // the father
        c.genotype(2, 0, "1", "3");  // the child
        // P(father 12) * P(child 13 | father): the father passes 1 or 2 (each 1/2),
        // possibly mutated, and the untyped mother the child's other allele:
        // 2 p1 p2 * 1/2 * [(M11 + M21) p3 + (M13 + M23) p1].
        const double one =
            0.1 * 0.2 * (0.3 * (M(4, 0, 0) + M(4, 1, 0)) + 0.1 * (M(4, 0, 2) + M(4, 1, 2)));
        if (r == 0.0) {
            EXPECT_NEAR(one, 0.1 * 0.2 * 0.3, 1e-18);
        }
        expectLikelihood(c.likelihood(24), one);

        // A second marker 10 cM away: father 11, child 12:
        // p1^2 * (M11 p2 + M12 p1). The father's phase is unknown, so linkage
        // does not change a single transmission: the likelihood is the product.
        c.addMarker(1, 10.0, kSecond, {1, 0.3}, {1, r});
        c.genotype(1, 1, "1", "1");
        c.genotype(2, 1, "1", "2");
        const double two = 0.25 * 0.25 * (M(3, 0, 0) * 0.25 + M(3, 0, 1) * 0.25);
        expectLikelihood(c.likelihood(24), one * two);
    }
}

TEST(HandComputed, paternityTrio) {
    for (const double r : {0.0, 0.01}) {
        SCOPED_TRACE(r);
        const double rf = 2 * r;  // the mother's rate differs, to tell the matrices apart
        auto M = [r](int a, int b) { return simple(r, 4, a, b); };
        auto F = [rf](int a, int b) { return simple(rf, 4, a, b); };
        EngineCase c({1, 2, 1});
        c.exactSettings();
        c.addMarker(3, 5.0, kFirst, {1, rf}, {1, r});
        c.genotype(1, 0, "1", "2");  // father
        c.genotype(2, 0, "3", "4");  // mother
        c.genotype(3, 0, "1", "3");  // child
        // 2 p1 p2 * 2 p3 p4 * 1/4 * sum over t in {1,2}, u in {3,4} of
        // M[t][1] F[u][3] + M[t][3] F[u][1].
        double transmissions = 0;
        for (int t : {0, 1})
            for (int u : {2, 3}) transmissions += M(t, 0) * F(u, 2) + M(t, 2) * F(u, 0);
        const double one = 4 * 0.1 * 0.2 * 0.3 * 0.4 * transmissions / 4;
        if (r == 0.0) {
            EXPECT_NEAR(one, 0.1 * 0.2 * 0.3 * 0.4, 1e-18);
        }
        expectLikelihood(c.likelihood(23), one);

        // Second marker 10 cM on: father 12, mother 13, child 11. A homozygous
        // child counts once: 2 p1 p2 * 2 p1 p3 * 1/4 * sum M[t][1] F[u][1].
        c.addMarker(3, 15.0, kFirst, {1, rf}, {1, r});
        c.genotype(1, 1, "1", "2");
        c.genotype(2, 1, "1", "3");
        c.genotype(3, 1, "1", "1");
        double homozygous = 0;
        for (int t : {0, 1})
            for (int u : {0, 2}) homozygous += M(t, 0) * F(u, 0);
        const double two = 4 * 0.1 * 0.2 * 0.1 * 0.3 * homozygous / 4;
        if (r == 0.0) {
            EXPECT_NEAR(two, 0.1 * 0.2 * 0.1 * 0.3, 1e-18);
        }
        expectLikelihood(c.likelihood(23), one * two);
    }
}

// Full siblings by identity of descent: each parent passes the same one of its
// two alleles to both children (probability 1/2) or different ones. Given that,
// the parent's contributions are:
//   same:      sum over m of p_m T[m][k1] T[m][k2]
//   different: (sum over m of p_m T[m][k1]) (sum over m of p_m T[m][k2])
// At neighbouring markers each parent's state changes with 2 theta (1 - theta),
// when exactly one of the two children's transmissions recombines.
struct SiblingMarker {
    std::vector<double> p;
    double femaleRate;
    double maleRate;
    int x1, x2, y1, y2;

    double parent(double rate, int k1, int k2, bool same) const {
        const int n = static_cast<int>(p.size());
        double together = 0, first = 0, second = 0;
        for (int m = 0; m < n; ++m) {
            together += p[m] * simple(rate, n, m, k1) * simple(rate, n, m, k2);
            first += p[m] * simple(rate, n, m, k1);
            second += p[m] * simple(rate, n, m, k2);
        }
        return same ? together : first * second;
    }
    // P(both genotypes | the mother's and the father's state), summed over which
    // allele of each child came from the mother.
    double given(bool sameMother, bool sameFather) const {
        double sum = 0;
        for (const auto& [k1, l1] : orders(x1, x2))
            for (const auto& [k2, l2] : orders(y1, y2))
                sum +=
                    parent(femaleRate, k1, k2, sameMother) * parent(maleRate, l1, l2, sameFather);
        return sum;
    }
    static std::vector<std::pair<int, int>> orders(int a, int b) {
        if (a == b) return {{a, b}};
        return {{a, b}, {b, a}};
    }
};

double siblingsAtOneMarker(const SiblingMarker& m) {
    double sum = 0;
    for (bool sm : {false, true})
        for (bool sf : {false, true}) sum += 0.25 * m.given(sm, sf);
    return sum;
}

double siblingsAtTwoMarkers(const SiblingMarker& a, const SiblingMarker& b, double theta) {
    const double change = 2 * theta * (1 - theta);
    auto step = [change](bool from, bool to) { return from == to ? 1 - change : change; };
    double sum = 0;
    for (bool sm1 : {false, true})
        for (bool sf1 : {false, true})
            for (bool sm2 : {false, true})
                for (bool sf2 : {false, true})
                    sum += 0.25 * a.given(sm1, sf1) * step(sm1, sm2) * step(sf1, sf2) *
                           b.given(sm2, sf2);
    return sum;
}

TEST(HandComputed, fullSiblings) {
    // Without mutation, at one marker: siblings 12 and 13 share allele 1 by
    // descent with probability 1/2 and nothing with 1/4:
    // 1/4 * (2 p1 p2)(2 p1 p3) + 1/2 * p1 p2 p3.
    EXPECT_NEAR(siblingsAtOneMarker({kFirst, 0, 0, 0, 1, 0, 2}),
                0.25 * 4 * 0.1 * 0.2 * 0.1 * 0.3 + 0.5 * 0.1 * 0.2 * 0.3, 1e-18);

    for (const double r : {0.0, 0.01}) {
        SCOPED_TRACE(r);
        const SiblingMarker first{kFirst, 2 * r, r, 0, 1, 0, 2};
        const SiblingMarker second{kSecond, 2 * r, r, 2, 2, 2, 1};
        EngineCase c({1, 1});
        c.exactSettings();
        c.addMarker(2, 30.0, kFirst, {1, 2 * r}, {1, r});
        c.genotype(1, 0, "1", "2");
        c.genotype(2, 0, "1", "3");
        expectLikelihood(c.likelihood(3), siblingsAtOneMarker(first));

        c.addMarker(2, 40.0, kSecond, {1, 2 * r}, {1, r});
        c.genotype(1, 1, "3", "3");
        c.genotype(2, 1, "3", "2");
        const double linked = siblingsAtTwoMarkers(first, second, haldane(10.0));
        expectLikelihood(c.likelihood(3), linked);
        // Linkage matters here: the unlinked product differs.
        EXPECT_GT(std::fabs(linked - siblingsAtOneMarker(first) * siblingsAtOneMarker(second)),
                  1e-3 * linked);
    }
}

}  // namespace
}  // namespace relatix::testing
