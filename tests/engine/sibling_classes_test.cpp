// The sibling relationships: without mutation their exact likelihood equals
// the linkage engine's for the same pedigree on drawn data at linked markers,
// whatever order each person's alleles were typed in; with mutation, single
// markers against likelihoods worked out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "agreement_support.h"
#include "engine_case.h"

namespace relatix::testing {
namespace {

constexpr int kSiblingCodes[] = {1, 2, 4, 6, 7, 8, 9, 10};

// Model 1 over n alleles: keep with 1 - r, any other allele with r / (n - 1).
double simple(double r, int n, int from, int to) {
    return from == to ? 1 - r : r / (n - 1);
}

TEST(SiblingClasses, halfSiblingsAtOneMarkerByHand) {
    const std::vector<double> p = {0.1, 0.2, 0.3, 0.4};
    const double rf = 0.02, rm = 0.01;  // different rates tell the matrices apart
    auto likelihood = [&](int code, double femaleRate, double maleRate) {
        EngineCase c({1, 1});
        c.exactSettings();
        c.addMarker(1, 0.0, p, {1, femaleRate}, {1, maleRate});
        c.genotype(1, 0, "1", "2");
        c.genotype(2, 0, "1", "3");
        return std::exp(c.likelihood(code));
    };
    // Without mutation: IBD 0 or 1 with probability 1/2 each. IBD 0 gives
    // 2 p1 p2 * 2 p1 p3 = 0.04 * 0.06 = 0.0024; IBD 1 (sharing allele 1) gives
    // p1 p2 p3 = 0.006.
    const double noMutation = 0.5 * 0.0024 + 0.5 * 0.006;  // 0.0042
    EXPECT_NEAR(likelihood(4, 0, 0), noMutation, 1e-15);
    EXPECT_NEAR(likelihood(7, 0, 0), noMutation, 1e-15);

    // With mutation, for the common parent's pair (c1, c2) with matrix A:
    // sum over c of p_c1 p_c2 * h1(c) * h2(c), where sibling k's factor is
    // h_k(c) = 1/2 sum over the slot s of the other parent giving one allele
    // and c_s becoming the other: h1 = 1/2 sum_s (p1 A[c_s][2] + p2 A[c_s][1]),
    // h2 = 1/2 sum_s (p1 A[c_s][3] + p3 A[c_s][1]) (alleles 1-based).
    auto expected = [&](double r) {
        auto A = [r](int a, int b) { return simple(r, 4, a, b); };
        double sum = 0;
        for (int c1 = 0; c1 < 4; ++c1)
            for (int c2 = 0; c2 < 4; ++c2) {
                double h1 = 0, h2 = 0;
                for (int cs : {c1, c2}) {
                    h1 += 0.5 * (p[0] * A(cs, 1) + p[1] * A(cs, 0));
                    h2 += 0.5 * (p[0] * A(cs, 2) + p[2] * A(cs, 0));
                }
                sum += p[static_cast<size_t>(c1)] * p[static_cast<size_t>(c2)] * h1 * h2;
            }
        return sum;
    };
    // Code 4 shares the mother (female matrix), code 7 the father (male matrix).
    EXPECT_NEAR(likelihood(4, rf, rm), expected(rf), 1e-12 * expected(rf));
    EXPECT_NEAR(likelihood(7, rf, rm), expected(rm), 1e-12 * expected(rm));
    EXPECT_GT(std::fabs(expected(rf) - expected(rm)), 1e-6 * expected(rm));
}

// The likelihood of one marker under a family of founders and children,
// summed over the founders' ordered alleles: a typed founder's own two orders
// (one when homozygous), an untyped founder's every pair. Given the founders
// the children are independent: each receives one allele from each parent,
// from a founder parent either slot with probability 1/2 passed through that
// parent's matrix, from an untyped parent without other typed children an
// allele drawn from the frequencies.
struct Parent {
    int founder;  // index into the founders, -1: an allele drawn from the frequencies
    bool male = false;
};
struct FamilyChild {
    int person;
    Parent first;
    Parent second;
};
struct Family {
    std::vector<int> founders;  // the typed person, 0 for an untyped founder
    std::vector<FamilyChild> children;
};

double familyLikelihood(const Family& family, const std::vector<std::vector<int>>& genotypes,
                        const std::vector<double>& p, double rf, double rm) {
    const int n = static_cast<int>(p.size());
    const size_t founders = family.founders.size();
    std::vector<int> alleles(2 * founders);
    double total = 0;
    const int combinations = static_cast<int>(std::pow(n * n, founders));
    for (int k = 0; k < combinations; ++k) {
        double weight = 1;
        int rest = k;
        for (size_t f = 0; f < founders; ++f) {
            alleles[2 * f] = rest % n;
            alleles[2 * f + 1] = (rest / n) % n;
            rest /= n * n;
            const int typed = family.founders[f];
            if (typed > 0) {
                const auto& g = genotypes[static_cast<size_t>(typed - 1)];
                const bool ordered = alleles[2 * f] == g[0] && alleles[2 * f + 1] == g[1];
                const bool reversed = alleles[2 * f] == g[1] && alleles[2 * f + 1] == g[0];
                if (!ordered && !(reversed && g[0] != g[1])) weight = 0;
            }
            weight *=
                p[static_cast<size_t>(alleles[2 * f])] * p[static_cast<size_t>(alleles[2 * f + 1])];
        }
        if (weight == 0) continue;
        auto receive = [&](const Parent& parent, int x) {
            if (parent.founder < 0) return p[static_cast<size_t>(x)];
            const double r = parent.male ? rm : rf;
            const size_t f = static_cast<size_t>(parent.founder);
            return 0.5 * (simple(r, n, alleles[2 * f], x) + simple(r, n, alleles[2 * f + 1], x));
        };
        for (const FamilyChild& child : family.children) {
            const auto& g = genotypes[static_cast<size_t>(child.person - 1)];
            double c = receive(child.first, g[0]) * receive(child.second, g[1]);
            if (g[0] != g[1]) c += receive(child.first, g[1]) * receive(child.second, g[0]);
            weight *= c;
        }
        total += weight;
    }
    return total;
}

TEST(SiblingClasses, everySiblingCodeAtOneMarkerWithMutation) {
    const Parent maleFounder0{0, true}, femaleFounder0{0, false}, femaleFounder1{1, false},
        maleFounder1{1, true}, maleFounder2{2, true}, drawn{-1};
    const std::vector<std::pair<int, Family>> families = {
        {1, {{1, 0}, {{2, femaleFounder0, maleFounder1}, {3, femaleFounder0, maleFounder1}}}},
        {2, {{1}, {{2, femaleFounder0, drawn}, {3, femaleFounder0, drawn}}}},
        {4, {{0}, {{1, femaleFounder0, drawn}, {2, femaleFounder0, drawn}}}},
        {7, {{0}, {{1, maleFounder0, drawn}, {2, maleFounder0, drawn}}}},
        {6, {{1, 2, 0}, {{3, femaleFounder0, maleFounder2}, {4, femaleFounder1, maleFounder2}}}},
        {8,
         {{0, 0},
          {{1, maleFounder0, femaleFounder1},
           {2, maleFounder0, femaleFounder1},
           {3, maleFounder0, femaleFounder1}}}},
        {9,
         {{0, 0},
          {{1, maleFounder0, femaleFounder1},
           {2, maleFounder0, femaleFounder1},
           {3, femaleFounder1, drawn}}}},
        {10,
         {{0, 0},
          {{1, maleFounder0, femaleFounder1},
           {2, maleFounder0, femaleFounder1},
           {3, maleFounder0, drawn}}}},
    };
    const std::vector<double> p = {0.15, 0.25, 0.1, 0.3, 0.2};
    // Genotypes that need a mutation under some of the relationships.
    const std::vector<std::vector<int>> genotypes = {{0, 1}, {1, 2}, {2, 2}, {3, 0}};
    const double rf = 0.015, rm = 0.04;
    for (const auto& [code, family] : families) {
        SCOPED_TRACE("code " + std::to_string(code));
        const int persons = catalogueSize(code);
        EngineCase c(std::vector<int>(static_cast<size_t>(persons), 1));
        c.exactSettings();
        c.addMarker(2, 10.0, p, {1, rf}, {1, rm});
        for (int k = 1; k <= persons; ++k) {
            const auto& g = genotypes[static_cast<size_t>(k - 1)];
            c.genotype(k, 0, std::to_string(g[0] + 1), std::to_string(g[1] + 1));
        }
        const double expected = familyLikelihood(family, genotypes, p, rf, rm);
        EXPECT_NEAR(std::exp(c.likelihood(code)), expected, 1e-12 * expected);
    }
}

TEST(SiblingClasses, exactEqualsLinkageEngineOnDrawnDataAndIgnoresAlleleOrder) {
    if (!linkageEngineAvailable())
        FAIL() << "merlinEngine has not been built into " << RELATIX_PROGRAM_FOLDER;
    for (int code : kSiblingCodes) {
        for (unsigned seed : {21u, 22u, 23u}) {
            SCOPED_TRACE("code " + std::to_string(code) + " seed " + std::to_string(seed));
            Core core;
            DrawnCaseOptions options;
            options.seed = seed;
            options.markers = 20 + static_cast<int>(seed % 3) * 2;
            options.markersPerChromosome = 3 + static_cast<int>(seed % 3);
            fillDrawnCase(core, code, options);
            const BothEngines both = computeBothEngines(core, code);
            ASSERT_TRUE(std::isfinite(both.exact));
            ASSERT_FALSE(both.linkageSkipped);
            EXPECT_NEAR(both.exact, both.linkage, 1e-6 * std::fabs(both.linkage));

            // Swapping the alleles of one person at a time, at every third marker.
            for (int p = 1; p <= core.genotypeTable.personCount; ++p) {
                for (int c = p % 3; c < static_cast<int>(core.clusterDatabase.clusters.size());
                     c += 3)
                    swapAlleles(core, p, c);
                EXPECT_NEAR(exactLogLikelihood(core, code), both.exact,
                            1e-9 * std::fabs(both.exact))
                    << "person " << p;
            }
        }
    }
}

}  // namespace
}  // namespace relatix::testing
