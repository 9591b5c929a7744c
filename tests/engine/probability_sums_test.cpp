// At one marker the likelihoods of all genotype combinations of the typed
// persons form a probability distribution: under every relationship and every
// mutation model they add up to 1. Nothing is pruned here (threshold 0,
// unlimited steps), so any shortfall is probability lost in a transmission.
//
// One case holds many markers, each on a chromosome of its own and typed with
// one combination; the per-marker results then give every combination's
// likelihood from a single run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "core/catalogue.h"
#include "engine/mutation_models.h"
#include "engine_case.h"

namespace relatix::testing {
namespace {

struct Marker {
    std::vector<std::string> names;
    std::vector<double> frequencies;
};

const Marker kThreeAlleles = {{"6", "7", "8"}, {0.2, 0.3, 0.5}};
// A microvariant: 9.3 is no whole number of repeats from the others.
const Marker kSixAlleles = {{"9", "9.3", "10", "11", "12", "14"}, {0.1, 0.15, 0.3, 0.2, 0.15, 0.1}};

struct Models {
    const char* label;
    MutationSpec female;
    MutationSpec male;
};

const Models kModels[] = {
    {"simple 0.05", {1, 0.05}, {1, 0.05}},
    {"simple 0.0005/0.002", {1, 0.0005}, {1, 0.002}},
    {"N step 0.05", {2, 0.05, 0.5, 2.0}, {2, 0.05, 0.5, 2.0}},
    {"N step 0.0005/0.002", {2, 0.0005, 0.5, 1.0}, {2, 0.002, 0.5, 1.0}},
    {"extended 0.05", {3, 0.05, 0.5, 0.01}, {3, 0.05, 0.5, 0.01}},
    {"extended 0.0005/0.002", {3, 0.0005, 0.5, 0.0001}, {3, 0.002, 0.5, 0.0002}},
};

using Genotype = std::pair<int, int>;  // allele indices

// Markers per case: the cumulative log-likelihoods stay small enough that their
// differences keep about 13 significant digits.
constexpr size_t kMarkersPerCase = 96;

std::vector<Genotype> genotypesOf(const Marker& marker) {
    std::vector<Genotype> genotypes;
    const int n = static_cast<int>(marker.names.size());
    for (int a = 0; a < n; ++a)
        for (int b = a; b < n; ++b) genotypes.emplace_back(a, b);
    return genotypes;
}

// The sum of the likelihoods at one marker over every genotype combination of
// the code's typed persons, those given in `fixed` keeping their genotype.
double sumOverGenotypes(int code, const Marker& marker, const Models& models,
                        const std::vector<std::optional<Genotype>>& fixed = {}) {
    const std::vector<int> sexes = catalogueSexes(code);
    const size_t persons = sexes.size();
    const auto genotypes = genotypesOf(marker);
    const size_t g = genotypes.size();
    auto isFixed = [&fixed](size_t k) { return k < fixed.size() && fixed[k].has_value(); };
    size_t combinations = 1;
    for (size_t k = 0; k < persons; ++k)
        if (!isFixed(k)) combinations *= g;

    // An impossible combination ends a case's chain: the markers after it are
    // computed again in a case of their own.
    double sum = 0.0;
    size_t first = 0;
    while (first < combinations) {
        const size_t count = std::min(kMarkersPerCase, combinations - first);
        EngineCase c(sexes);
        c.exactSettings();
        for (size_t m = 0; m < count; ++m) {
            const int cluster = c.addMarker(static_cast<int>(m) + 1, 0.0, marker.frequencies,
                                            models.female, models.male, marker.names);
            size_t rest = first + m;
            for (size_t k = 0; k < persons; ++k) {
                Genotype typed;
                if (isFixed(k)) {
                    typed = *fixed[k];
                } else {
                    typed = genotypes[rest % g];
                    rest /= g;
                }
                c.genotype(static_cast<int>(k) + 1, cluster,
                           marker.names[static_cast<size_t>(typed.first)],
                           marker.names[static_cast<size_t>(typed.second)]);
            }
        }
        c.compute(code);
        const std::vector<double>& cumulative = c.core.exactMarkerResults.at(0);
        double before = 0.0;
        size_t done = 0;
        while (done < count && std::isfinite(cumulative[done])) {
            sum += std::exp(cumulative[done] - before);
            before = cumulative[done++];
        }
        first += std::min(done + 1, count);
    }
    return sum;
}

TEST(ProbabilitySums, everyCodeSumsToOneAtAThreeAlleleMarker) {
    for (int code = 1; code <= kCatalogueCount; ++code)
        for (const Models& models : kModels) {
            SCOPED_TRACE("code " + std::to_string(code) + ", " + models.label);
            EXPECT_NEAR(sumOverGenotypes(code, kThreeAlleles, models), 1.0, 1e-12);
        }
}

// Three and four typed persons would need 9261 and 194481 combinations per
// model at six alleles: the codes of two persons are summed in full.
TEST(ProbabilitySums, twoPersonCodesSumToOneAtASixAlleleMarker) {
    for (int code = 1; code <= kCatalogueCount; ++code) {
        if (catalogueSize(code) != 2) continue;
        for (const Models& models : kModels) {
            SCOPED_TRACE("code " + std::to_string(code) + ", " + models.label);
            EXPECT_NEAR(sumOverGenotypes(code, kSixAlleles, models), 1.0, 1e-12);
        }
    }
}

// The relationships in which a typed child's father is untyped and carries an
// allele of a typed grandparent or of the uncle's parents: summed over the
// child's genotypes, the likelihood is the probability of the other persons'
// genotypes. Apart from the uncle, who descends from the untyped grandparents,
// those are unrelated founders.
TEST(ProbabilitySums, aChildOfAnUntypedFatherSumsToTheOthersProbability) {
    const auto& p = kSixAlleles.frequencies;
    auto founder = [&p](const Genotype& g) {
        const double a = p[static_cast<size_t>(g.first)];
        const double b = p[static_cast<size_t>(g.second)];
        return g.first == g.second ? a * a : 2 * a * b;
    };
    // The uncle's alleles come from the untyped grandmother (female matrix) and
    // grandfather (male matrix).
    auto uncle = [&p](const Genotype& g, const Models& models) {
        const auto matrix = [](const MutationSpec& s) {
            return buildMutationMatrix({s.model, s.rate, s.range, s.rate2}, kSixAlleles.names);
        };
        const MutationMatrix female = matrix(models.female);
        const MutationMatrix male = matrix(models.male);
        const int x = g.first, y = g.second;
        double sum = 0;
        for (int a = 0; a < female.size(); ++a)
            for (int b = 0; b < male.size(); ++b) {
                const double pair = female.at(a, x) * male.at(b, y) +
                                    (x == y ? 0.0 : female.at(a, y) * male.at(b, x));
                sum += p[static_cast<size_t>(a)] * p[static_cast<size_t>(b)] * pair;
            }
        return sum;
    };
    const std::vector<std::vector<Genotype>> others = {
        {{0, 1}, {2, 4}, {3, 5}},  // 9/9.3, 10/12, 11/14
        {{4, 4}, {1, 1}, {2, 3}},  // 12/12, 9.3/9.3, 10/11
    };
    for (const int code : {12, 16, 18, 20})
        for (const auto& set : others)
            for (const Models& models : kModels) {
                SCOPED_TRACE("code " + std::to_string(code) + ", " + models.label);
                const size_t n = static_cast<size_t>(catalogueSize(code));
                std::vector<std::optional<Genotype>> fixed(set.begin(), set.begin() + (n - 1));
                double expected = 1.0;
                for (size_t k = 0; k + 1 < n; ++k)
                    expected *= code == 12 && k == 0 ? uncle(set[k], models) : founder(set[k]);
                EXPECT_NEAR(sumOverGenotypes(code, kSixAlleles, models, fixed), expected,
                            1e-12 * expected);
            }
}

// With rates at and near 1 every transmission is a mutation and every
// combination unlikely. At the default threshold and steps each code still
// computes a likelihood for data the models allow (every typed person carries
// alleles of his own): none is taken for an exclusion.
TEST(MutationRatesNearOne, everyCodeComputesAtTheDefaultSettings) {
    std::vector<double> frequencies(12, 1.0 / 12);
    std::vector<std::string> names;
    for (int a = 8; a < 20; ++a) names.push_back(std::to_string(a));
    for (const double rate : {0.995, 0.999, 1.0}) {
        const Models models[] = {
            {"simple", {1, rate}, {1, rate}},
            {"N step", {2, rate, 0.5, 4.0}, {2, rate, 0.5, 4.0}},
            {"extended", {3, rate, 0.5, 1.0 - rate}, {3, rate, 0.5, 1.0 - rate}},
        };
        for (const Models& m : models)
            for (int code = 1; code <= kCatalogueCount; ++code) {
                SCOPED_TRACE("code " + std::to_string(code) + ", " + m.label + " " +
                             std::to_string(rate));
                const std::vector<int> sexes = catalogueSexes(code);
                EngineCase c(sexes);
                c.addMarker(1, 0.0, frequencies, m.female, m.male, names);
                for (size_t k = 0; k < sexes.size(); ++k)
                    c.genotype(static_cast<int>(k) + 1, 0, names[2 * k], names[2 * k + 1]);
                EXPECT_TRUE(std::isfinite(c.likelihood(code)));
            }
    }
}

}  // namespace
}  // namespace relatix::testing
