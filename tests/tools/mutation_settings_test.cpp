#include "tools/mutation_settings.h"

#include <gtest/gtest.h>

namespace relatix {
namespace {

TEST(MutationSettingsText, numberTexts) {
    for (const char* yes : {".5", "0.000", "0", "0.0000", "1e-3", "-0.2", "3abc"})
        EXPECT_TRUE(isNumberText(yes)) << yes;
    // Zero with five decimals reads as no number, as does anything non-numeric.
    for (const char* no : {"0.00000", "abc", "", "00", "inf", "nan"})
        EXPECT_FALSE(isNumberText(no)) << no;
}

TEST(MutationSettingsText, modelNames) {
    EXPECT_EQ(mutationModelName(1), "Simple model (Equal)");
    EXPECT_EQ(mutationModelName(2), "N step model");
    EXPECT_EQ(mutationModelName(3), "Extended step-wise model");
    EXPECT_EQ(mutationModelName(0), "None");
    EXPECT_EQ(mutationModelName(7), "None");
}

TEST(MutationSettingsText, simpleModelIgnoresHiddenFields) {
    const MutationSideReading r = readMutationSide(1, {"0", "0.7", "4"});
    ASSERT_TRUE(r.settings);
    EXPECT_EQ(*r.settings, (MutationSettings{1, 0.0, 0.0, 0.0}));
}

TEST(MutationSettingsText, stepsOfTheNStepModel) {
    for (const char* bad : {"2.5", "0", "-1", "x"}) {
        const MutationSideReading r = readMutationSide(2, {"0.002", "0.1", bad});
        EXPECT_FALSE(r.settings) << bad;
        EXPECT_EQ(r.error, MutationFieldError::Steps) << bad;
    }
    const MutationSideReading r = readMutationSide(2, {"0.002", "0.1", "2"});
    ASSERT_TRUE(r.settings);
    EXPECT_EQ(*r.settings, (MutationSettings{2, 0.002, 2.0, 0.1}));
}

TEST(MutationSettingsText, refusals) {
    EXPECT_EQ(readMutationSide(0, {"0.1", "", ""}).error, MutationFieldError::NoModel);
    EXPECT_EQ(readMutationSide(1, {"abc", "", ""}).error, MutationFieldError::Rate);
    EXPECT_EQ(readMutationSide(3, {"0.1", "abc", "0.01"}).error, MutationFieldError::Rate);
    EXPECT_EQ(readMutationSide(3, {"0.1", "0.5", "abc"}).error, MutationFieldError::SecondaryRate);
    // Probabilities outside 0..1 would make the transmission matrices meaningless.
    EXPECT_EQ(readMutationSide(1, {"1.5", "", ""}).error, MutationFieldError::Rate);
    EXPECT_EQ(readMutationSide(1, {"-0.1", "", ""}).error, MutationFieldError::Rate);
    EXPECT_EQ(readMutationSide(2, {"0.1", "-0.5", "2"}).error, MutationFieldError::Rate);
    EXPECT_EQ(readMutationSide(3, {"0.6", "0.5", "0.5"}).error, MutationFieldError::SecondaryRate);
    const MutationSideReading ok = readMutationSide(3, {".5", "0.000", "0.01"});
    ASSERT_TRUE(ok.settings);
    EXPECT_EQ(*ok.settings, (MutationSettings{3, 0.5, 0.01, 0.0}));
}

TEST(MutationSettingsText, shownTexts) {
    const MutationSideTexts two = mutationSideTexts({2, 0.0012, 3.9, 0.5});
    EXPECT_EQ(two.rate, "0.0012");
    EXPECT_EQ(two.range, "0.5");
    EXPECT_EQ(two.third, "3");
    const MutationSideTexts none = mutationSideTexts({0, 0.1, 0.2, 0.3});
    EXPECT_EQ(none.rate, "");
    EXPECT_EQ(none.range, "");
    EXPECT_EQ(none.third, "");
}

}  // namespace
}  // namespace relatix
