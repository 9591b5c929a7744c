#include "core/new_allele_models.h"

#include <gtest/gtest.h>

namespace relatix {
namespace {

using Slots = GenotypeTable::TextSlots;

void expectNear(const std::vector<double>& actual, const std::vector<double>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(actual[i], expected[i], 1e-12) << i;
}

const std::vector<std::string> kNames = {"9", "10", "11"};

TEST(SearchAndSubtract, takesTheExcessFromUnobservedAllelesInOrder) {
    const std::vector<Slots> firstTyped = {{"9", "9"}, {"-1", "-1"}};
    expectNear(adjustFrequencies({0.5, 0.3, 0.25}, kNames, firstTyped, 2), {0.5, 0.25, 0.25});
    expectNear(adjustFrequencies({0.5, 0.02, 0.6}, kNames, firstTyped, 2), {0.5, 1e-6, 0.5});

    // Every allele typed: nothing can absorb the excess, which stays.
    const std::vector<Slots> allTyped = {{"9", "10"}, {"11", "-1"}};
    expectNear(adjustFrequencies({0.5, 0.3, 0.25}, kNames, allTyped, 2), {0.5, 0.3, 0.25});

    // Once the excess is absorbed the later alleles keep their frequencies.
    expectNear(adjustFrequencies({0.9, 0.05, 0.1, 0.05}, {"9", "10", "11", "12"}, firstTyped, 2),
               {0.9, 1e-6, 0.05, 0.05});
    // Unobserved alleles too small to absorb the excess all drop to 1e-6.
    expectNear(adjustFrequencies({1.5, 0.1, 0.1}, kNames, firstTyped, 2), {1.5, 1e-6, 1e-6});

    // The unknown placeholder marks nothing, even an allele of that name.
    expectNear(adjustFrequencies({0.6, 0.6}, {"-1", "10"}, {{"-1", "-1"}}, 2), {0.4, 0.6});
}

TEST(SearchAndSubtract, appendsTheRestBelowOne) {
    expectNear(adjustFrequencies({0.5, 0.4}, {"9", "10"}, {}, 2), {0.5, 0.4, 0.1});
    expectNear(adjustFrequencies({0.5, 0.5 - 5e-7}, {"9", "10"}, {}, 2), {0.5, 0.5 - 5e-7});
    expectNear(adjustFrequencies({0.5, 0.5}, {"9", "10"}, {}, 2), {0.5, 0.5});
}

TEST(Normalise, dividesBySumAboveAndBelowOne) {
    expectNear(adjustFrequencies({0.5, 0.3, 0.25}, kNames, {}, 1),
               {0.5 / 1.05, 0.3 / 1.05, 0.25 / 1.05});
    expectNear(adjustFrequencies({0.2, 0.2}, {"9", "10"}, {}, 1), {0.5, 0.5});
    expectNear(adjustFrequencies({0.0, 0.0}, {"9", "10"}, {}, 1), {0.0, 0.0});
}

TEST(GenotypesAt, readsOneSystemOfTheTable) {
    GenotypeTable table;
    table.addCluster();
    table.addSystem(1);
    table.resize(2);
    table.setAlleleText(1, 1, 2, 1, "12");
    const auto genotypes = genotypesAt(table, 1, 1);
    ASSERT_EQ(genotypes.size(), 2u);
    EXPECT_EQ(genotypes[1], (Slots{"12", "-1"}));
    EXPECT_TRUE(genotypesAt(table, 2, 1).empty());
    EXPECT_TRUE(genotypesAt(table, 1, 0).empty());
}

}  // namespace
}  // namespace relatix
