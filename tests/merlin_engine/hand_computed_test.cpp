// Likelihoods worked out by hand for the usual kinship questions, at one marker
// and at two markers 10 cM apart. Allele frequencies: p1 0.1, p2 0.2, p3 0.3, p4 0.4.
#include <gtest/gtest.h>

#include <cmath>

#include "engine_test_support.h"

namespace merlin::testing {
namespace {

constexpr double p1 = 0.1, p2 = 0.2, p3 = 0.3, p4 = 0.4;
const std::vector<double> kFrequencies = {p1, p2, p3, p4};

double engineValue(const std::string& ped, const std::vector<double>& positions) {
    Scratch scratch;
    const int markers = static_cast<int>(positions.size());
    scratch.write("t.dat", dataFile(markers));
    scratch.write("t.map", mapFile(positions));
    scratch.write("t.freq", frequencyFile(std::vector<std::vector<double>>(markers, kFrequencies)));
    scratch.write("t.ped", ped);
    const RunResult run = runFiles(scratch);
    EXPECT_EQ(run.status, 0) << run.err;
    const auto values = lnLikelihoods(run.out);
    EXPECT_EQ(values.size(), 1u) << run.out;
    return values.empty() ? NAN : values[0];
}

void expectLikelihood(const std::string& ped, const std::vector<double>& positions,
                      double expected) {
    EXPECT_NEAR(engineValue(ped, positions), std::log(expected), 1e-10) << ped;
}

// Probability that one parent's contribution to two sibs stays shared (or unshared)
// from one marker to the next: both meioses recombine or neither does.
double stayShared(double theta) {
    return theta * theta + (1 - theta) * (1 - theta);
}

TEST(MerlinHandComputed, PaternityDuo) {
    // Alleged father 1/2, child 1/3, mother untyped: P(F) = 2 p1 p2; the father gives 1
    // with 1/2 and the mother 3 with p3.
    const std::string one = "1 1 0 0 1 1 2\n1 2 1 3 2 1 3\n1 3 0 0 2 0 0\n";
    expectLikelihood(one, {0}, 2 * p1 * p2 * 0.5 * p3);  // 0.006
    // Second marker: father 2/4, child 2/2: 2 p2 p4 * (1/2 p2). The father's phase is
    // unknown, so for a duo linkage changes nothing: the product of both markers.
    const std::string two = "1 1 0 0 1 1 2 2 4\n1 2 1 3 2 1 3 2 2\n1 3 0 0 2 0 0 0 0\n";
    expectLikelihood(two, {0, 10}, (2 * p1 * p2 * 0.5 * p3) * (2 * p2 * p4 * 0.5 * p2));
}

TEST(MerlinHandComputed, Trio) {
    // Father 1/2, mother 3/4, child 1/3: 2 p1 p2 * 2 p3 p4 * 1/4 = 0.0024.
    const std::string one = "1 1 0 0 1 1 2\n1 2 0 0 2 3 4\n1 3 1 2 1 1 3\n";
    expectLikelihood(one, {0}, 2 * p1 * p2 * 2 * p3 * p4 * 0.25);
    // Second marker: father 1/2, mother 2/3, child 2/2: 2 p1 p2 * 2 p2 p3 * 1/4; both
    // parents unphased, so again the product.
    const std::string two = "1 1 0 0 1 1 2 1 2\n1 2 0 0 2 3 4 2 3\n1 3 1 2 1 1 3 2 2\n";
    expectLikelihood(two, {0, 10},
                     (2 * p1 * p2 * 2 * p3 * p4 * 0.25) * (2 * p1 * p2 * 2 * p2 * p3 * 0.25));
}

TEST(MerlinHandComputed, FullSiblings) {
    // Sibs 1/2 and 1/2 with untyped parents; sharing 0, 1, 2 alleles with 1/4, 1/2, 1/4.
    const double a0 = (2 * p1 * p2) * (2 * p1 * p2);          // 0.0016
    const double a1 = (2 * p1 * p2) * (0.5 * p2 + 0.5 * p1);  // 0.006
    const double a2 = 2 * p1 * p2;                            // 0.04
    const std::string one = "1 1 0 0 1 0 0\n1 2 0 0 2 0 0\n1 3 1 2 1 1 2\n1 4 1 2 2 1 2\n";
    expectLikelihood(one, {0}, 0.25 * a0 + 0.5 * a1 + 0.25 * a2);  // 0.0134
    // Second marker: sibs 3/3 and 3/4: sharing 0: p3^2 * 2 p3 p4; 1: p3^2 * p4; 2: impossible.
    const double b[3] = {p3 * p3 * 2 * p3 * p4, p3 * p3 * p4, 0.0};
    const double a[3] = {a0, a1, a2};
    // Each parent's side is shared or not, and stays so with stayShared(theta).
    const double psi = stayShared(haldane(10));
    double expected = 0;
    for (int s1 = 0; s1 < 4; ++s1)
        for (int s2 = 0; s2 < 4; ++s2) {
            const double father = ((s1 & 1) == (s2 & 1)) ? psi : 1 - psi;
            const double mother = ((s1 & 2) == (s2 & 2)) ? psi : 1 - psi;
            const int k1 = (s1 & 1) + (s1 >> 1), k2 = (s2 & 1) + (s2 >> 1);
            expected += 0.25 * father * mother * a[k1] * b[k2];
        }
    const std::string two =
        "1 1 0 0 1 0 0 0 0\n1 2 0 0 2 0 0 0 0\n1 3 1 2 1 1 2 3 3\n1 4 1 2 2 1 2 3 4\n";
    expectLikelihood(two, {0, 10}, expected);
}

// Two relatives who share one allele with probability 1/2: 1/2 and 1/3, then 2/2 and 2/4.
const double kUnshared1 = (2 * p1 * p2) * (2 * p1 * p3);  // 0.0024
const double kShared1 = (2 * p1 * p2) * 0.5 * p3;         // 0.006: the shared 1, then 3
const double kUnshared2 = (p2 * p2) * (2 * p2 * p4);      // 0.0064
const double kShared2 = (p2 * p2) * p4;                   // 0.016

double twoStateChain(double stay) {
    return 0.5 * (stay * (kUnshared1 * kUnshared2 + kShared1 * kShared2) +
                  (1 - stay) * (kUnshared1 * kShared2 + kShared1 * kUnshared2));
}

TEST(MerlinHandComputed, HalfSiblings) {
    const std::string one =
        "1 1 0 0 1 0 0\n1 2 0 0 2 0 0\n1 3 0 0 2 0 0\n"
        "1 4 1 2 1 1 2\n1 5 1 3 2 1 3\n";
    expectLikelihood(one, {0}, 0.5 * (kUnshared1 + kShared1));  // 0.0042
    const std::string two =
        "1 1 0 0 1 0 0 0 0\n1 2 0 0 2 0 0 0 0\n1 3 0 0 2 0 0 0 0\n"
        "1 4 1 2 1 1 2 2 2\n1 5 1 3 2 1 3 2 4\n";
    // Sharing through the common father stays when both of his meioses recombine or neither.
    expectLikelihood(two, {0, 10}, twoStateChain(stayShared(haldane(10))));
}

TEST(MerlinHandComputed, ThreeMarkersWithTheMiddleOneUntyped) {
    // Half sibs typed at 0 and 20 cM, nobody at 10 cM: as two markers 20 cM apart.
    const std::string three =
        "1 1 0 0 1 0 0 0 0 0 0\n1 2 0 0 2 0 0 0 0 0 0\n"
        "1 3 0 0 2 0 0 0 0 0 0\n1 4 1 2 1 1 2 0 0 2 2\n"
        "1 5 1 3 2 1 3 0 0 2 4\n";
    expectLikelihood(three, {0, 10, 20}, twoStateChain(stayShared(haldane(20))));
}

TEST(MerlinHandComputed, UncleAndNephew) {
    // Grandparents 1, 2; uncle 3 and his brother 4; the brother's wife 5; nephew 6.
    const std::string one =
        "1 1 0 0 1 0 0\n1 2 0 0 2 0 0\n1 3 1 2 1 1 2\n1 4 1 2 1 0 0\n"
        "1 5 0 0 2 0 0\n1 6 4 5 1 1 3\n";
    expectLikelihood(one, {0}, 0.5 * (kUnshared1 + kShared1));
    // The nephew's allele from his father comes from the same grandparent as before
    // unless that meiosis recombines; if it stays, sharing with the uncle stays as for
    // sibs, and if it switches, sharing through the other grandparent is 1/2 afresh.
    const double theta = haldane(10);
    const double stay = (1 - theta) * stayShared(theta) + theta * 0.5;
    const std::string two =
        "1 1 0 0 1 0 0 0 0\n1 2 0 0 2 0 0 0 0\n1 3 1 2 1 1 2 2 2\n"
        "1 4 1 2 1 0 0 0 0\n1 5 0 0 2 0 0 0 0\n1 6 4 5 1 1 3 2 4\n";
    expectLikelihood(two, {0, 10}, twoStateChain(stay));
}

TEST(MerlinHandComputed, FatherDaughterAndTheirChild) {
    // Untyped father 1 and mother 2; daughter 3 typed 1/2; child 4 of 1 and 3 typed 1/1.
    // The child's maternal allele is the daughter's maternal one (1/2): then it is 1,
    // the daughter's paternal allele is 2 and the child's paternal one 1, which must
    // be the father's other allele (1/2): 1/2 * 1/2 * p1 p2 p1. Or it is the daughter's
    // paternal allele, which is 1 and her maternal 2; the child's paternal allele is
    // the same copy (1/2, giving p1 p2) or the other copy (1/2, giving p1 p1 p2).
    const double expected = 0.25 * p1 * p1 * p2 + 0.5 * (0.5 * p1 * p2 + 0.5 * p1 * p1 * p2);
    EXPECT_NEAR(expected, 0.006, 1e-15);
    const std::string ped = "1 1 0 0 1 0 0\n1 2 0 0 2 0 0\n1 3 1 2 2 1 2\n1 4 1 3 1 1 1\n";
    expectLikelihood(ped, {0}, expected);
}

TEST(MerlinHandComputed, NobodyTypedGivesZero) {
    const std::string ped = "1 1 0 0 1 0 0\n1 2 0 0 2 0 0\n1 3 1 2 2 0 0\n";
    EXPECT_EQ(engineValue(ped, {0}), 0.0);
}

}  // namespace
}  // namespace merlin::testing
