// The grandparent, uncle-with-mother and incest relationships: against the
// linkage engine on drawn data at linked markers, independent of the order of
// typed alleles, and at single markers with mutation worked out by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "agreement_support.h"
#include "engine/synthetic_case.h"
#include "engine_case.h"

namespace relatix::testing {
namespace {

const std::vector<int> kDescentCodes = {17, 16, 20, 18, 12, 25, 26};

void expectAgreement(Core& core, int code) {
    const BothEngines both = computeBothEngines(core, code);
    ASSERT_TRUE(std::isfinite(both.exact));
    ASSERT_FALSE(both.linkageSkipped);
    EXPECT_NEAR(both.exact, both.linkage, 1e-6 * std::fabs(both.linkage));
}

// Swaps every typed person's alleles at every second marker (a different half
// per person) and expects the same log-likelihood.
void expectOrderIndependence(Core& core, int code, double expected) {
    const int clusters = static_cast<int>(core.clusterDatabase.clusters.size());
    for (int p = 1; p <= core.genotypeTable.personCount; ++p)
        for (int c = p % 2; c < clusters; c += 2) swapAlleles(core, p, c);
    EXPECT_NEAR(exactLogLikelihood(core, code), expected, 1e-9 * std::fabs(expected));
}

TEST(DescentClasses, agreeWithTheLinkageEngineAtLinkedMarkersAndIgnoreAlleleOrder) {
    if (!linkageEngineAvailable())
        FAIL() << "merlinEngine has not been built into " << RELATIX_PROGRAM_FOLDER;
    for (int code : kDescentCodes) {
        for (unsigned seed : {1u, 2u, 3u}) {
            SCOPED_TRACE("code " + std::to_string(code) + " seed " + std::to_string(seed));
            Core core;
            DrawnCaseOptions options;
            options.seed = seed;
            // The uncle's untyped grandparents make many setups; fewer alleles
            // keep the sanitizer build fast without changing what is compared.
            if (code == 12) options.maxAlleles = 8;
            fillDrawnCase(core, code, options);
            expectAgreement(core, code);
            expectOrderIndependence(core, code, exactLogLikelihood(core, code));
        }
    }
}

TEST(DescentClasses, agreeWithTheLinkageEngineAtOneUnlinkedMarker) {
    if (!linkageEngineAvailable())
        FAIL() << "merlinEngine has not been built into " << RELATIX_PROGRAM_FOLDER;
    for (int code : kDescentCodes)
        for (unsigned seed : {4u, 5u}) {
            SCOPED_TRACE("code " + std::to_string(code) + " seed " + std::to_string(seed));
            Core core;
            DrawnCaseOptions options;
            options.markers = 1;
            options.markersPerChromosome = 1;
            options.seed = seed;
            fillDrawnCase(core, code, options);
            expectAgreement(core, code);
        }
}

TEST(DescentClasses, grandparentOfEitherSexAgreesWithTheLinkageEngine) {
    if (!linkageEngineAvailable())
        FAIL() << "merlinEngine has not been built into " << RELATIX_PROGRAM_FOLDER;
    // Without mutation the grandparent's sex does not change the drawn data; it
    // only decides whether the grandparent is the father's father or mother.
    for (unsigned seed : {8u, 9u}) {
        SCOPED_TRACE(seed);
        Core core;
        DrawnCaseOptions options;
        options.seed = seed;
        fillDrawnCase(core, 17, options);
        core.genotypeTable.sexCodes[0] = 2;
        expectAgreement(core, 17);
    }
}

TEST(DescentClasses, resultsWithMutationIgnoreAlleleOrder) {
    // The synthetic family: the grandparents, their sons (uncle and father), the
    // mother and two children; each code takes the persons that fit its roles.
    using F = FamilyMember;
    struct Case {
        int code;
        std::vector<F> typed;
        std::vector<int> sexes;
    };
    const std::vector<Case> cases = {
        {17, {F::Grandmother, F::ChildA}, {2, 1}},
        {16, {F::Grandfather, F::Mother, F::ChildA}, {1, 2, 1}},
        {20, {F::Grandfather, F::Grandmother, F::ChildA}, {1, 2, 1}},
        {18, {F::Grandfather, F::Grandmother, F::Mother, F::ChildA}, {1, 2, 2, 1}},
        {12, {F::Uncle, F::Mother, F::ChildA}, {1, 2, 1}},
        // The father's line read as father, daughter and her child.
        {25, {F::Grandfather, F::Father, F::ChildA}, {1, 2, 1}},
        {26, {F::Grandfather, F::Father, F::ChildA}, {1, 2, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("code " + std::to_string(c.code));
        Core core;
        SyntheticCaseOptions options;
        options.markers = 8;
        options.minAlleles = 4;
        options.maxAlleles = 7;
        options.mutation = {1, 0.01, 0.0, 0.0};
        options.typed = c.typed;
        options.sexCodes = c.sexes;
        options.mainHypothesis = c.code - 1;
        options.seed = 5;
        fillSyntheticCase(core, options);
        const double before = exactLogLikelihood(core, c.code);
        ASSERT_TRUE(std::isfinite(before));
        expectOrderIndependence(core, c.code, before);
    }
}

// Single markers with mutation, nothing pruned. Alleles 1, 2, 3 with
// frequencies f; model 1 with different rates for the two sexes.
class HandComputedDescent : public ::testing::Test {
protected:
    const std::vector<double> f = {0.2, 0.3, 0.5};
    static constexpr double kFemaleRate = 0.02;
    static constexpr double kMaleRate = 0.01;

    // Model 1 over three alleles: keep with 1 - r, any other allele with r / 2.
    static double simple(double r, int from, int to) { return from == to ? 1 - r : r / 2; }
    static double F(int from, int to) { return simple(kFemaleRate, from, to); }
    static double M(int from, int to) { return simple(kMaleRate, from, to); }
    // A child {x, y} given the mother's allele a and the father's t.
    static double child(int a, int t, int x, int y) {
        return x == y ? F(a, x) * M(t, x) : F(a, x) * M(t, y) + F(a, y) * M(t, x);
    }
    // The untyped father received allele e from a grandparent carrying d (by
    // the female matrix from a grandmother, the male one from a grandfather):
    // sum over e of G_de * h(e).
    template <class H>
    static double throughFather(bool fromFemale, int d, H h) {
        double sum = 0;
        for (int e = 0; e < 3; ++e) sum += (fromFemale ? F(d, e) : M(d, e)) * h(e);
        return sum;
    }
    // The father's allele passed on to the child: (G M)_dx.
    static double passed(bool fromFemale, int d, int x) {
        return throughFather(fromFemale, d, [x](int e) { return M(e, x); });
    }
    // Sum over the alleles s of the father's untyped parent: f_s * g(s).
    template <class G>
    double overFrequencies(G g) const {
        double sum = 0;
        for (int s = 0; s < 3; ++s) sum += f[static_cast<size_t>(s)] * g(s);
        return sum;
    }

    EngineCase oneMarker(std::vector<int> sexes) const {
        EngineCase c(std::move(sexes));
        c.exactSettings();
        c.addMarker(1, 0.0, f, {1, kFemaleRate}, {1, kMaleRate});
        return c;
    }
    static void expectLikelihood(double logLikelihood, double expected) {
        EXPECT_NEAR(std::exp(logLikelihood), expected, 1e-12 * expected);
    }
};

TEST_F(HandComputedDescent, grandparent) {
    // Grandmother 12, grandchild 13. The grandchild's paternal allele x is the
    // one the mother did not give:
    // P = 2 f1 f2 * sum over o in {1, 3} of f_o * [1/2 * 1/2 sum_{d in 1,2} (F M)_dx
    //     + 1/2 sum_s f_s M_sx], the father passing on the allele he received
    // from the grandmother (possibly mutated, by her matrix) or the one from his
    // other parent with probability 1/2 each.
    EngineCase c = oneMarker({2, 1});
    c.genotype(1, 0, "1", "2");
    c.genotype(2, 0, "1", "3");
    auto paternal = [this](int x) {
        return 0.25 * (passed(true, 0, x) + passed(true, 1, x)) +
               0.5 * overFrequencies([x](int s) { return M(s, x); });
    };
    const double expected = 2 * f[0] * f[1] * (f[0] * paternal(2) + f[2] * paternal(0));
    expectLikelihood(c.likelihood(17), expected);

    // A grandfather passes his allele by the male matrix; a homozygous grandchild
    // 11 has one o.
    EngineCase male = oneMarker({1, 1});
    male.genotype(1, 0, "1", "2");
    male.genotype(2, 0, "1", "1");
    const double x1 = 0.25 * (passed(false, 0, 0) + passed(false, 1, 0)) +
                      0.5 * overFrequencies([](int s) { return M(s, 0); });
    expectLikelihood(male.likelihood(17), 2 * f[0] * f[1] * f[0] * x1);
}

TEST_F(HandComputedDescent, grandparentWithTypedMother) {
    // Grandfather 12, mother 23, grandchild 13: the mother passes 2 or 3, the
    // father the allele e he received from the grandfather's d (M_de) or his
    // other parent's s:
    // P = 2 f1 f2 * 2 f2 f3 * sum_{a in 2,3} 1/2 [1/4 sum_d sum_e M_de g(a, e)
    //     + 1/2 sum_s f_s g(a, s)], g the grandchild's genotype rule.
    EngineCase c = oneMarker({1, 2, 1});
    c.genotype(1, 0, "1", "2");
    c.genotype(2, 0, "2", "3");
    c.genotype(3, 0, "1", "3");
    auto given = [this](int a) {
        const auto g = [a](int e) { return child(a, e, 0, 2); };
        return 0.25 * (throughFather(false, 0, g) + throughFather(false, 1, g)) +
               0.5 * overFrequencies(g);
    };
    const double expected = 2 * f[0] * f[1] * 2 * f[1] * f[2] * 0.5 * (given(1) + given(2));
    expectLikelihood(c.likelihood(16), expected);
}

TEST_F(HandComputedDescent, grandparents) {
    // Grandfather 12, grandmother 23, grandchild 13: the father passes on the
    // allele he received from the grandfather (by M) or the grandmother (by F):
    // P = 2 f1 f2 * 2 f2 f3 * sum_o f_o [1/4 sum_{d in 1,2} (M M)_dx
    //     + 1/4 sum_{d in 2,3} (F M)_dx].
    EngineCase c = oneMarker({1, 2, 1});
    c.genotype(1, 0, "1", "2");
    c.genotype(2, 0, "2", "3");
    c.genotype(3, 0, "1", "3");
    auto paternal = [](int x) {
        return 0.25 * (passed(false, 0, x) + passed(false, 1, x)) +
               0.25 * (passed(true, 1, x) + passed(true, 2, x));
    };
    const double expected =
        2 * f[0] * f[1] * 2 * f[1] * f[2] * (f[0] * paternal(2) + f[2] * paternal(0));
    expectLikelihood(c.likelihood(20), expected);

    // With the typed mother 11 (code 18): she passes 1 and the father explains 3.
    EngineCase d = oneMarker({1, 2, 2, 1});
    d.genotype(1, 0, "1", "2");
    d.genotype(2, 0, "2", "3");
    d.genotype(3, 0, "1", "1");
    d.genotype(4, 0, "1", "3");
    const auto g = [](int e) { return child(0, e, 0, 2); };
    const double withMother = 0.25 * (throughFather(false, 0, g) + throughFather(false, 1, g)) +
                              0.25 * (throughFather(true, 1, g) + throughFather(true, 2, g));
    expectLikelihood(d.likelihood(18),
                     2 * f[0] * f[1] * 2 * f[1] * f[2] * f[0] * f[0] * withMother);
}

TEST_F(HandComputedDescent, incestAndNoIncest) {
    // Father 12, daughter 13, child 23. The daughter's allele from her mother is
    // o (1 or 3), the one from her father y (the other); she passes y or o.
    EngineCase c = oneMarker({1, 2, 1});
    c.genotype(1, 0, "1", "2");
    c.genotype(2, 0, "1", "3");
    c.genotype(3, 0, "2", "3");
    auto fromFather = [](int y) { return 0.5 * (M(0, y) + M(1, y)); };
    // Incest: the father also passes 1 or 2 to the child:
    // P = 2 f1 f2 * sum_o f_o * fromFather(y) * 1/2 sum_{t in y, o} 1/2 sum_{u in 1,2} g(t, u).
    auto incestChild = [](int t) { return 0.5 * (child(t, 0, 1, 2) + child(t, 1, 1, 2)); };
    auto incest = [&](int o, int y) {
        return f[static_cast<size_t>(o)] * fromFather(y) * 0.5 * (incestChild(y) + incestChild(o));
    };
    expectLikelihood(c.likelihood(25), 2 * f[0] * f[1] * (incest(0, 2) + incest(2, 0)));

    // No incest: the child's allele from the unrelated man is oc (2 or 3), the
    // one from the daughter z; P = 2 f1 f2 * sum_oc f_oc sum_o f_o fromFather(y)
    // * 1/2 (F_yz + F_oz).
    auto noIncest = [&](int oc, int z) {
        double sum = 0;
        for (const auto& [o, y] : {std::pair{0, 2}, std::pair{2, 0}})
            sum += f[static_cast<size_t>(o)] * fromFather(y) * 0.5 * (F(y, z) + F(o, z));
        return f[static_cast<size_t>(oc)] * sum;
    };
    expectLikelihood(c.likelihood(26), 2 * f[0] * f[1] * (noIncest(1, 2) + noIncest(2, 1)));
}

TEST_F(HandComputedDescent, uncleWithTypedMother) {
    // Uncle 12, mother 23, nephew 13 with mutation. U(a, b) is the uncle's
    // genotype given the grandmother's allele a and the grandfather's b, g(m, e)
    // the nephew's given the mother's m and the father's e. The father passes on
    // the allele e he received from a grandparent's gene d (by F from the
    // grandmother, by M from the grandfather), each with probability 1/2; the
    // uncle carries the same gene of that grandparent with probability 1/2,
    // otherwise an independent one:
    // P = 2 f2 f3 * sum_{m in 2,3} 1/2 * 1/2 sum_d f_d
    //     * [sum_e F_de g(m, e) (1/2 sum_b f_b U(d, b) + 1/2 P(uncle))
    //        + sum_e M_de g(m, e) (1/2 sum_a f_a U(a, d) + 1/2 P(uncle))].
    EngineCase c = oneMarker({1, 2, 1});
    c.genotype(1, 0, "1", "2");
    c.genotype(2, 0, "2", "3");
    c.genotype(3, 0, "1", "3");
    auto uncle = [](int a, int b) { return child(a, b, 0, 1); };
    const double anyUncle =
        overFrequencies([&](int a) { return overFrequencies([&](int b) { return uncle(a, b); }); });
    auto given = [&](int m) {
        const auto g = [m](int e) { return child(m, e, 0, 2); };
        return 0.5 * overFrequencies([&](int d) {
                   const double viaGrandmother =
                       0.5 * overFrequencies([&](int b) { return uncle(d, b); }) + 0.5 * anyUncle;
                   const double viaGrandfather =
                       0.5 * overFrequencies([&](int a) { return uncle(a, d); }) + 0.5 * anyUncle;
                   return throughFather(true, d, g) * viaGrandmother +
                          throughFather(false, d, g) * viaGrandfather;
               });
    };
    const double expected = 2 * f[1] * f[2] * 0.5 * (given(1) + given(2));
    expectLikelihood(c.likelihood(12), expected);
}

TEST_F(HandComputedDescent, uncleWithTypedMotherWithoutMutation) {
    // Uncle 12, mother 23, nephew 13, no mutation. The father's allele is one
    // of the uncle's (each 1/4) when it comes from the grandparent that gave
    // the uncle his, and a random allele otherwise (1/2):
    // P(x | uncle) = 1/4 ([x = 1] + [x = 2]) + 1/2 f_x. The mother passes 3
    // (1/2) and the father must give 1: P = 2 f1 f2 * 2 f2 f3 * 1/2 P(1 | uncle).
    EngineCase c(std::vector<int>{1, 2, 1});
    c.exactSettings();
    c.addMarker(1, 0.0, f);
    c.genotype(1, 0, "1", "2");
    c.genotype(2, 0, "2", "3");
    c.genotype(3, 0, "1", "3");
    const double expected = 2 * f[0] * f[1] * 2 * f[1] * f[2] * 0.5 * (0.25 + 0.5 * f[0]);
    expectLikelihood(c.likelihood(12), expected);
}

}  // namespace
}  // namespace relatix::testing
