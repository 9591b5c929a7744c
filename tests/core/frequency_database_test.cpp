#include "core/frequency_database.h"

#include <gtest/gtest.h>

#include "core/decimal_text.h"
#include "support/scripted_user_interface.h"

namespace relatix {
namespace {

using testing::ScriptedUserInterface;

Marker markerWith(const std::string& name, const std::vector<std::string>& alleles) {
    Marker marker(name, 1, 1.0);
    for (const std::string& allele : alleles) marker.alleles.push_back({allele, 0.1});
    return marker;
}

Population populationWith(const std::string& name, std::vector<Marker> markers) {
    Population population;
    population.name = name;
    population.markers = std::move(markers);
    return population;
}

std::vector<std::string> mapNames(const Core& core) {
    std::vector<std::string> names;
    for (const Marker& m : core.markerMap.markers) names.push_back(m.name);
    return names;
}

TEST(AlleleOrder, insertsNumericallyThenByBytesAndRefusesDuplicates) {
    Marker marker = markerWith("M", {"9", "11"});
    EXPECT_TRUE(addAllele(marker, "10", 0.2));
    EXPECT_EQ(alleleNames(marker), (std::vector<std::string>{"9", "10", "11"}));
    EXPECT_DOUBLE_EQ(marker.alleles[1].frequency, 0.2);

    Marker letters = markerWith("M", {"9", "10"});
    EXPECT_TRUE(addAllele(letters, "X", 0.1));
    EXPECT_EQ(alleleNames(letters), (std::vector<std::string>{"9", "10", "X"}));
    EXPECT_FALSE(addAllele(letters, "9", 0.5));
    EXPECT_EQ(letters.alleles.size(), 3u);
    EXPECT_DOUBLE_EQ(letters.alleles[0].frequency, 0.1);

    // Decimal designations sort numerically, not by bytes ("9.3" > "10" as bytes).
    Marker decimals = markerWith("M", {"9", "10"});
    addAllele(decimals, "9.3", 0.1);
    addAllele(decimals, "10.3", 0.1);
    addAllele(decimals, "8", 0.1);
    EXPECT_EQ(alleleNames(decimals), (std::vector<std::string>{"8", "9", "9.3", "10", "10.3"}));

    // Names compare exactly: "x" is not "X".
    EXPECT_TRUE(addAllele(letters, "x", 0.1));
    EXPECT_TRUE(removeAllele(letters, 1));
    EXPECT_FALSE(removeAllele(letters, 0));
    EXPECT_FALSE(removeAllele(letters, 4));
    EXPECT_EQ(alleleNames(letters), (std::vector<std::string>{"10", "X", "x"}));
}

// Marker names match trimmed and ignoring case, as outside files write them.
TEST(MarkerLookup, firstMatchIgnoringCaseAndBlanksOrNothing) {
    Population population = populationWith(
        "P", {markerWith("D1", {"9"}), markerWith("d2", {}), markerWith("D1", {"7"})});
    EXPECT_EQ(markerPosition(population, "D1"), 1);
    EXPECT_EQ(markerPosition(population, "D2"), 2);
    EXPECT_EQ(markerPosition(population, " d1\t"), 1);
    EXPECT_EQ(markerPosition(population, "D12"), -1);
    EXPECT_EQ(alleleNames(population, "D1"), (std::vector<std::string>{"9"}));
    EXPECT_TRUE(alleleNames(population, "none").empty());
    EXPECT_TRUE(alleleFrequencies(population, "none").empty());

    Marker& created = findOrCreateMarker(population, "D3");
    EXPECT_EQ(created.chromosome, 1);
    EXPECT_DOUBLE_EQ(created.position, 1.0);
    EXPECT_TRUE(created.alleles.empty());
    EXPECT_EQ(population.markers.size(), 4u);
    EXPECT_EQ(&findOrCreateMarker(population, "D1"), &population.markers[0]);
}

TEST(MarkerMap, insertsInMapOrderEqualPositionsFirst) {
    Core core;
    ScriptedUserInterface ui;
    EXPECT_EQ(addMarkerDefinition(core, ui, "A", 2, 10.0), 1);
    EXPECT_EQ(addMarkerDefinition(core, ui, "B", 1, 50.0), 1);
    EXPECT_EQ(addMarkerDefinition(core, ui, "C", 2, 5.0), 2);
    EXPECT_EQ(addMarkerDefinition(core, ui, "D", 2, 10.0), 3);  // before A, equal position
    EXPECT_EQ(addMarkerDefinition(core, ui, "E", 3, 0.0), 5);
    EXPECT_EQ(mapNames(core), (std::vector<std::string>{"B", "C", "D", "A", "E"}));
}

TEST(MarkerMap, overwriteQuestionPerMarkerOfThatName) {
    Core core;
    ScriptedUserInterface ui;
    addMarkerDefinition(core, ui, "D1", 1, 10.0);
    addMarkerDefinition(core, ui, "D2", 1, 20.0);

    const std::string question = "System : D1 already exists in database, overwrite?";
    ui.expectMessage(question, "Relatix2", Answer::Yes);
    EXPECT_EQ(addMarkerDefinition(core, ui, "D1", 4, 30.0), 1);
    ASSERT_EQ(core.markerMap.markers.size(), 2u);
    EXPECT_EQ(core.markerMap.markers[0].chromosome, 4);
    EXPECT_DOUBLE_EQ(core.markerMap.markers[0].position, 30.0);

    // A No leaves a second marker of that name; the next insertion asks twice, and
    // the last Yes wins.
    ui.expectMessage(question, "Relatix2", Answer::No);
    EXPECT_EQ(addMarkerDefinition(core, ui, "D1", 1, 5.0), 1);
    EXPECT_EQ(mapNames(core), (std::vector<std::string>{"D1", "D1", "D2"}));
    ui.expectMessage(question, "Relatix2", Answer::Yes);
    ui.expectMessage(question, "Relatix2", Answer::Yes);
    EXPECT_EQ(addMarkerDefinition(core, ui, "D1", 9, 1.0), 2);
    EXPECT_EQ(core.markerMap.markers[1].chromosome, 9);
    EXPECT_EQ(core.markerMap.markers[0].chromosome, 1);
    EXPECT_EQ(core.markerMap.markers.size(), 3u);
}

TEST(MarkerMap, sortIsStableAndRemovalTakesPositionsInAnyOrder) {
    Core core;
    auto& markers = core.markerMap.markers;
    markers = {Marker("a", 2, 1.0), Marker("b", 1, 3.0), Marker("c", 2, 1.0), Marker("d", 1, 3.0),
               Marker("e", 1, 0.5)};
    sortMarkerMap(core);
    EXPECT_EQ(mapNames(core), (std::vector<std::string>{"e", "b", "d", "a", "c"}));

    core.populations.push_back(populationWith("P", {markerWith("b", {"1"})}));
    removeMarkerDefinitions(core, {2, 5, 2, 9});
    EXPECT_EQ(mapNames(core), (std::vector<std::string>{"e", "d", "a"}));
    EXPECT_EQ(core.populations[0].markers.size(), 1u);
}

TEST(Populations, mergeTakesMissingMapMarkersAndFollowsActive) {
    Core core;
    core.markerMap.markers = {Marker("M1", 1, 1.0), Marker("M2", 1, 2.0), Marker("M3", 2, 3.0)};
    Marker m2b = markerWith("M2", {"20"});
    Marker m3b = markerWith("M3", {"12", "11"});
    m3b.alleles[1].frequency = 0.7;
    core.populations = {populationWith("A", {markerWith("M1", {"1"}), markerWith("M2", {"2"})}),
                        populationWith("X", {}), populationWith("B", {m2b, m3b})};
    core.activePopulation = 3;

    ASSERT_TRUE(mergePopulations(core, {3, 1}));
    ASSERT_EQ(core.populations.size(), 2u);
    const Population& merged = core.populations[0];
    EXPECT_EQ(merged.name, "A_B");
    ASSERT_EQ(merged.markers.size(), 3u);
    EXPECT_EQ(alleleNames(merged, "M2"), (std::vector<std::string>{"2"}));
    const Marker& m3 = merged.markers[2];
    EXPECT_EQ(m3.name, "M3");
    EXPECT_EQ(m3.chromosome, 2);
    EXPECT_DOUBLE_EQ(m3.position, 3.0);
    EXPECT_EQ(alleleNames(m3), (std::vector<std::string>{"11", "12"}));  // allele order
    EXPECT_DOUBLE_EQ(m3.alleles[0].frequency, 0.7);
    EXPECT_EQ(core.activePopulation, 1);
    EXPECT_EQ(core.populations[1].name, "X");

    // An active population after the sources moves down with them.
    core.populations.push_back(populationWith("Y", {}));
    core.activePopulation = 3;
    ASSERT_TRUE(mergePopulations(core, {1, 2}));
    EXPECT_EQ(core.populations[0].name, "A_B_X");
    EXPECT_EQ(core.activePopulation, 2);
    EXPECT_FALSE(mergePopulations(core, {1}));
    EXPECT_FALSE(mergePopulations(core, {1, 7}));
    EXPECT_EQ(core.populations.size(), 2u);
}

TEST(Populations, removalCorrectsActivePopulation) {
    Core core;
    core.populations = {populationWith("A", {}), populationWith("B", {}), populationWith("C", {})};
    core.activePopulation = 3;
    EXPECT_TRUE(removePopulation(core, 1));
    EXPECT_EQ(core.activePopulation, 2);
    EXPECT_TRUE(removePopulation(core, 2));
    EXPECT_EQ(core.activePopulation, 0);
    EXPECT_FALSE(removePopulation(core, 2));
    EXPECT_EQ(core.populations.size(), 1u);
}

TEST(FlipStrands, complementsOnlyDiscordantNucleotidePairs) {
    Core core;
    core.markerMap.markers = {Marker("S1", 1, 1.0), Marker("S2", 1, 2.0), Marker("S3", 1, 3.0),
                              Marker("S4", 1, 4.0)};
    Marker s1 = markerWith("S1", {"C", "T"});
    s1.alleles[0].frequency = 0.3;
    core.populations = {
        populationWith("Ref", {markerWith("S1", {"A", "G"}), markerWith("S2", {"A", "C"}),
                               markerWith("S3", {"A", "C", "G"}), markerWith("S4", {"A", "G"})}),
        populationWith("Other", {s1, markerWith("S2", {"C", "A"}),
                                 markerWith("S3", {"T", "G", "C"}), markerWith("S4", {"C", "9"})})};
    ASSERT_TRUE(flipStrands(core, 1));
    const Population& other = core.populations[1];
    EXPECT_EQ(alleleNames(other, "S1"), (std::vector<std::string>{"G", "A"}));
    EXPECT_DOUBLE_EQ(other.markers[0].alleles[0].frequency, 0.3);
    EXPECT_EQ(alleleNames(other, "S2"), (std::vector<std::string>{"C", "A"}));
    EXPECT_EQ(alleleNames(other, "S3"), (std::vector<std::string>{"T", "G", "C"}));
    EXPECT_EQ(alleleNames(other, "S4"), (std::vector<std::string>{"C", "9"}));
    EXPECT_EQ(alleleNames(core.populations[0], "S1"), (std::vector<std::string>{"A", "G"}));
    EXPECT_FALSE(flipStrands(core, 3));
}

TEST(FrequencyText, oneCommaIsAPointAndOnlyOpenUnitIntervalIsValid) {
    EXPECT_DOUBLE_EQ(parseFrequencyText("0,05").value_or(-1), 0.05);
    EXPECT_DOUBLE_EQ(parseFrequencyText("0.25").value_or(-1), 0.25);
    EXPECT_DOUBLE_EQ(parseFrequencyText(" .5").value_or(-1), 0.5);
    EXPECT_DOUBLE_EQ(parseFrequencyText("1e-3").value_or(-1), 0.001);
    for (const char* bad : {"1,5", "0", "-0.1", "abc", "1", "", "0,0,5", "nan", "-0,5"})
        EXPECT_FALSE(parseFrequencyText(bad).has_value()) << bad;
}

TEST(DecimalText, readsLikeAtofAndFormatsLikePrintf) {
    EXPECT_DOUBLE_EQ(readDecimal("  12.5abc"), 12.5);
    EXPECT_DOUBLE_EQ(readDecimal("+3"), 3.0);
    EXPECT_DOUBLE_EQ(readDecimal("-2e2"), -200.0);
    EXPECT_DOUBLE_EQ(readDecimal("+-3"), 0.0);
    EXPECT_DOUBLE_EQ(readDecimal("X"), 0.0);
    EXPECT_DOUBLE_EQ(readDecimalWithComma("0,25"), 0.25);
    EXPECT_DOUBLE_EQ(readDecimalWithComma("1,25"), 1.0);  // already a number before the comma
    EXPECT_EQ(formatFixed(1.0, 4), "1.0000");
    EXPECT_EQ(formatFixed(-12.34567, 4), "-12.3457");
    EXPECT_EQ(formatGeneral(0.000012345678912, 8), "1.2345679e-05");
    EXPECT_EQ(formatGeneral(0.05, 5), "0.05");
    EXPECT_EQ(formatGeneral(123.456789, 6), "123.457");
    EXPECT_EQ(formatGeneral(1234567.0, 6), "1.23457e+06");
}

TEST(Normalisation, askedOnlyWhenTwoAllelesMissTheSumOfOne) {
    ScriptedUserInterface ui;
    Marker one = markerWith("M", {"9"});
    EXPECT_FALSE(offerNormalisation(ui, one));
    Marker close = markerWith("M", {"9", "10"});
    close.alleles[0].frequency = 0.9;
    close.alleles[1].frequency = 0.1 - 5e-7;
    EXPECT_FALSE(offerNormalisation(ui, close));

    Marker off = markerWith("M", {"9", "10"});
    off.alleles[0].frequency = 0.3;
    off.alleles[1].frequency = 0.3;
    ui.expectMessage(kNormaliseQuestion, "Notification", Answer::No);
    EXPECT_FALSE(offerNormalisation(ui, off));
    EXPECT_DOUBLE_EQ(off.alleles[0].frequency, 0.3);
    ui.expectMessage(kNormaliseQuestion, "Notification", Answer::Yes);
    EXPECT_TRUE(offerNormalisation(ui, off));
    EXPECT_DOUBLE_EQ(off.alleles[0].frequency, 0.5);
    EXPECT_DOUBLE_EQ(off.alleles[1].frequency, 0.5);
}

}  // namespace
}  // namespace relatix
