#include "core/catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "support/scripted_user_interface.h"

namespace relatix {
namespace {

using testing::ScriptedUserInterface;

TEST(CatalogueNames, everyNameRoundTripsThroughCodeOfName) {
    for (int code = 1; code <= 26; ++code) {
        const std::string name = catalogueName(code, NameSeparator::Space);
        ASSERT_FALSE(name.empty()) << code;
        EXPECT_EQ(codeOfName(name), code) << name;
    }
    EXPECT_EQ(codeOfName("Full Siblings (data mother)"), 1);
    EXPECT_EQ(codeOfName("Full siblings"), -1);
    EXPECT_EQ(codeOfName("Full Siblings "), -1);
    EXPECT_EQ(codeOfName(""), 27);  // the first code past the catalogue has the empty name
    EXPECT_EQ(catalogueName(0), "");
    EXPECT_EQ(catalogueName(27), "");
}

TEST(CatalogueNames, compositeNamesUseTheSeparator) {
    EXPECT_EQ(catalogueName(19, NameSeparator::Space), "Duo  Two unrelated");
    EXPECT_EQ(catalogueName(19, NameSeparator::LineBreak), "Duo \nTwo unrelated");
    EXPECT_EQ(catalogueName(23, NameSeparator::LineBreak), "Paternity\n(trio)");
    EXPECT_EQ(catalogueName(8, NameSeparator::LineBreak), "Three full siblings");
}

TEST(CatalogueAlternatives, followTheFixedLists) {
    EXPECT_EQ(catalogueAlternatives(7), (std::vector<int>{3, 4, 5, 13, 17, 24}));
    EXPECT_EQ(catalogueAlternatives(3), (std::vector<int>{4, 5, 7, 13, 15, 17, 24}));
    EXPECT_EQ(catalogueAlternatives(23),
              (std::vector<int>{1, 2, 8, 9, 10, 11, 12, 14, 16, 20, 21, 25, 26}));
    EXPECT_EQ(catalogueAlternatives(6), std::vector<int>{22});
    EXPECT_EQ(catalogueAlternatives(19), std::vector<int>{18});
    EXPECT_TRUE(catalogueAlternatives(0).empty());
    EXPECT_TRUE(catalogueAlternatives(27).empty());
    // An alternative always has the main code's number of persons and is never the main code.
    for (int code = 1; code <= 26; ++code)
        for (int alternative : catalogueAlternatives(code)) {
            EXPECT_NE(alternative, code);
            EXPECT_EQ(catalogueSize(alternative), catalogueSize(code))
                << code << "/" << alternative;
        }
}

TEST(CatalogueSexes, badCodesYieldNothing) {
    EXPECT_TRUE(catalogueSexes(27).empty());
    EXPECT_TRUE(pedigreeSexes(0).empty());
    EXPECT_EQ(catalogueSexes(23), (std::vector<int>{1, 2, 1}));
    EXPECT_EQ(pedigreeSexes(23), (std::vector<int>{2, 1, 1, 1, 2, 1, 2, 1, 2}));
    EXPECT_EQ(pedigreeSexes(6).size(), 10u);
    EXPECT_EQ(catalogueSize(0), -1);
}

// The tables must agree with each other: persons 1..n typed, relations within
// the n + 6 pedigree persons, every typed person on exactly one pedigree-file
// row, every component person within 1..n.
TEST(CatalogueTables, areConsistentForEveryCode) {
    for (int code = 1; code <= 26; ++code) {
        const int n = catalogueSize(code);
        ASSERT_GE(n, 2);
        EXPECT_EQ(static_cast<int>(catalogueSexes(code).size()), n) << code;
        for (const Relation& r : catalogueRelationList(code)) {
            EXPECT_GE(r.parent, 1);
            EXPECT_LE(r.parent, n + 6);
            EXPECT_GE(r.child, 1);
            EXPECT_LE(r.child, n + 6);
            EXPECT_NE(r.parent, r.child);
        }
        for (bool male : {true, false}) {
            std::multiset<int> typed;
            int row = 0;
            for (const LinkageRowTemplate& t : linkageRowTemplates(code, male)) {
                ++row;
                EXPECT_EQ(t.prefix.rfind(std::to_string(row) + " ", 0), 0u) << code;
                if (t.person) typed.insert(t.person);
            }
            std::multiset<int> expected;
            for (int p = 1; p <= n; ++p) expected.insert(p);
            EXPECT_EQ(typed, expected) << code;
        }
        std::multiset<int> componentPersons;
        for (const ExactComponent& c : exactComponents(code))
            componentPersons.insert(c.persons.begin(), c.persons.end());
        for (int p : componentPersons) {
            EXPECT_GE(p, 1);
            EXPECT_LE(p, n);
        }
        EXPECT_EQ(static_cast<int>(componentPersons.size()), n) << code;
    }
}

TEST(CatalogueRelations, appendToThePedigree) {
    Pedigree pedigree;
    pedigree.relations.push_back({9, 8});
    EXPECT_TRUE(catalogueRelations(24, pedigree));
    EXPECT_EQ(pedigree.relations, (std::vector<Relation>{{9, 8}, {1, 2}, {4, 2}}));
    EXPECT_FALSE(catalogueRelations(0, pedigree));
    EXPECT_EQ(pedigree.relations.size(), 3u);
}

}  // namespace
}  // namespace relatix
