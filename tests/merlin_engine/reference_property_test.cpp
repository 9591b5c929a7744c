// Random small pedigrees, some with inbreeding loops, checked against the plain
// enumeration of every meiosis and founder allele; and the invariances the
// likelihood must have.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>

#include "engine_test_support.h"
#include "likelihood.h"

namespace merlin::testing {
namespace {

// Runs the engine with the chain held one way, and restores the automatic choice.
class ChainModeScope {
public:
    explicit ChainModeScope(ChainMode mode) { setChainModeForTesting(mode); }
    ~ChainModeScope() { setChainModeForTesting(ChainMode::Automatic); }
};

const ChainMode kBothModes[] = {ChainMode::Dense, ChainMode::Sparse};

struct Case {
    std::vector<RefPerson> persons;
    std::vector<std::vector<double>> frequencies;
    std::vector<double> positions;
};

// Persons 0..n-1; a non-founder takes two different earlier persons as parents,
// so loops through common ancestors arise. Genotypes are gene-dropped, so most
// cases are consistent, and some are then perturbed.
Case randomCase(std::mt19937& random, int persons, int markers) {
    Case c;
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int m = 0; m < markers; ++m) {
        const int alleles = 2 + static_cast<int>(random() % 2);
        std::vector<double> f(alleles);
        double sum = 0;
        for (double& x : f) sum += x = 0.1 + unit(random);
        for (double& x : f) x /= sum;
        c.frequencies.push_back(f);
        c.positions.push_back(m == 0 ? unit(random) * 10 : c.positions.back() + unit(random) * 30);
    }
    int founders = 0;
    for (int p = 0; p < persons; ++p) {
        RefPerson person;
        const bool founder = p < 2 || (founders < 3 && random() % 3 == 0);
        if (!founder) {
            person.father = static_cast<int>(random() % p);
            do person.mother = static_cast<int>(random() % p);
            while (person.mother == person.father);
        } else {
            ++founders;
        }
        c.persons.push_back(person);
    }
    // Gene drop with free recombination between markers for simplicity; typing at random.
    std::vector<std::vector<std::pair<int, int>>> truth(persons);
    for (int p = 0; p < persons; ++p)
        for (int m = 0; m < markers; ++m) {
            auto draw = [&]() {
                double u = unit(random);
                int a = 0;
                while (a + 1 < static_cast<int>(c.frequencies[m].size()) && u > c.frequencies[m][a])
                    u -= c.frequencies[m][a++];
                return a;
            };
            const RefPerson& person = c.persons[p];
            if (person.father < 0) {
                truth[p].push_back({draw(), draw()});
            } else {
                const auto& f = truth[person.father][m];
                const auto& g = truth[person.mother][m];
                truth[p].push_back(
                    {random() % 2 ? f.first : f.second, random() % 2 ? g.first : g.second});
            }
        }
    for (int p = 0; p < persons; ++p)
        for (int m = 0; m < markers; ++m) {
            auto g = truth[p][m];
            if (random() % 3 == 0)
                g = {-1, -1};
            else if (random() % 8 == 0)
                g.first = static_cast<int>(random() % c.frequencies[m].size());
            c.persons[p].genotypes.push_back(g);
        }
    return c;
}

void writeCase(const Scratch& scratch, const Case& c, LineForm form = LineForm::Plain) {
    scratch.write("t.dat", dataFile(static_cast<int>(c.positions.size())));
    scratch.write("t.map", mapFile(c.positions));
    scratch.write("t.freq", frequencyFile(c.frequencies));
    scratch.write("t.ped", pedigreeLines("1", c.persons, form));
}

// Every other trial writes its pedigree with "." parents and slashed genotypes.
LineForm formOfTrial(int trial) {
    return trial % 2 ? LineForm::Slashed : LineForm::Plain;
}

TEST(MerlinReference, RandomPedigreesMatchPlainEnumeration) {
    std::mt19937 random(20240611);
    Scratch scratch;
    int consistent = 0, impossible = 0;
    for (int trial = 0; trial < 80; ++trial) {
        const int persons = 3 + static_cast<int>(random() % 4);
        const int markers = 1 + static_cast<int>(random() % 3);
        const Case c = randomCase(random, persons, markers);
        writeCase(scratch, c, formOfTrial(trial));
        const double expected = referenceLikelihood(c.persons, c.frequencies, c.positions);
        (expected == 0.0 ? impossible : consistent)++;
        for (const ChainMode mode : kBothModes) {
            const ChainModeScope scope(mode);
            const RunResult run = runFiles(scratch);
            ASSERT_EQ(run.status, 0) << run.err;
            const auto values = lnLikelihoods(run.out);
            ASSERT_EQ(values.size(), 1u) << run.out;
            if (expected == 0.0)
                EXPECT_TRUE(std::isnan(values[0])) << "trial " << trial << "\n" << run.out;
            else
                EXPECT_NEAR(values[0], std::log(expected),
                            1e-9 * std::fabs(std::log(expected)) + 1e-10)
                    << "trial " << trial << " mode " << static_cast<int>(mode) << "\n"
                    << scratch.path("t.ped");
        }
    }
    EXPECT_GT(consistent, 30);
    EXPECT_GE(impossible, 2);
}

TEST(MerlinReference, LargerPedigreesWithSharedSubtrees) {
    // Up to ten meioses: the walk over inheritance vectors reuses subtrees here.
    std::mt19937 random(31337);
    Scratch scratch;
    const int trials = std::getenv("MERLIN_MANY_TRIALS") ? 400 : 25;
    for (int trial = 0; trial < trials; ++trial) {
        const Case c = randomCase(random, 7 + static_cast<int>(random() % 2), 2);
        writeCase(scratch, c, formOfTrial(trial));
        const double expected = referenceLikelihood(c.persons, c.frequencies, c.positions);
        for (const ChainMode mode : kBothModes) {
            const ChainModeScope scope(mode);
            const auto values = lnLikelihoods(runFiles(scratch).out);
            ASSERT_EQ(values.size(), 1u);
            if (expected == 0.0)
                EXPECT_TRUE(std::isnan(values[0])) << "trial " << trial;
            else
                EXPECT_NEAR(values[0], std::log(expected),
                            1e-9 * std::fabs(std::log(expected)) + 1e-12)
                    << "trial " << trial << " mode " << static_cast<int>(mode);
        }
    }
}

// Untyped founder couples with children and grandchildren, sometimes a child of
// the couple mating with another, sometimes two couples joined through their
// children: the exchange of two founders fixes one meiosis per couple, in both ways
// of holding the chain.
TEST(MerlinReference, UntypedFounderCouplesMatchPlainEnumeration) {
    std::mt19937 random(4242);
    Scratch scratch;
    for (int trial = 0; trial < 30; ++trial) {
        const int markers = 2 + static_cast<int>(random() % 2);
        Case c = randomCase(random, 2, markers);  // frequencies and positions
        c.persons.clear();
        std::vector<char> untyped;
        auto person = [&](int father, int mother, bool coupleFounder = false) {
            RefPerson p;
            p.father = father;
            p.mother = mother;
            c.persons.push_back(p);
            untyped.push_back(coupleFounder);
            return static_cast<int>(c.persons.size()) - 1;
        };
        person(-1, -1, true);
        person(-1, -1, true);
        const int first = person(0, 1);
        const int second = random() % 2 ? person(1, 0) : person(0, 1);  // sex plays no part
        if (trial % 3 == 0) {
            const int a = person(-1, -1, true), b = person(-1, -1, true);
            const int mate = person(a, b);
            person(first, mate);
            if (random() % 2) person(mate, second);
        } else {
            const int spouse = person(-1, -1);
            person(first, spouse);
            if (random() % 2) random() % 2 ? person(second, first) : person(spouse, second);
        }
        std::vector<std::vector<std::pair<int, int>>> truth(c.persons.size());
        for (size_t p = 0; p < c.persons.size(); ++p)
            for (int m = 0; m < markers; ++m) {
                const RefPerson& r = c.persons[p];
                const int alleles = static_cast<int>(c.frequencies[m].size());
                if (r.father < 0) {
                    truth[p].push_back({static_cast<int>(random() % alleles),
                                        static_cast<int>(random() % alleles)});
                } else {
                    const auto& f = truth[r.father][m];
                    const auto& g = truth[r.mother][m];
                    truth[p].push_back(
                        {random() % 2 ? f.first : f.second, random() % 2 ? g.first : g.second});
                }
            }
        for (size_t p = 0; p < c.persons.size(); ++p)
            for (int m = 0; m < markers; ++m)
                c.persons[p].genotypes.push_back(
                    untyped[p] || random() % 4 == 0 ? std::pair<int, int>{-1, -1} : truth[p][m]);
        writeCase(scratch, c);
        const double expected = referenceLikelihood(c.persons, c.frequencies, c.positions);
        for (const ChainMode mode : kBothModes) {
            const ChainModeScope scope(mode);
            const RunResult run = runFiles(scratch);
            const auto values = lnLikelihoods(run.out);
            ASSERT_EQ(values.size(), 1u) << run.out;
            if (expected == 0.0)
                EXPECT_TRUE(std::isnan(values[0])) << "trial " << trial;
            else
                EXPECT_NEAR(values[0], std::log(expected),
                            1e-9 * std::fabs(std::log(expected)) + 1e-12)
                    << "trial " << trial << " mode " << static_cast<int>(mode) << "\n"
                    << run.out;
        }
    }
}

TEST(MerlinReference, SamePositionActsAsOneHaplotype) {
    // Two markers at one position never recombine: against the enumeration with theta 0,
    // and a sibling pair whose haplotypes would need a recombination is impossible.
    std::mt19937 random(7);
    Scratch scratch;
    for (int trial = 0; trial < 20; ++trial) {
        Case c = randomCase(random, 4 + static_cast<int>(random() % 2), 2);
        c.positions = {12.5, 12.5};
        writeCase(scratch, c);
        const double expected = referenceLikelihood(c.persons, c.frequencies, c.positions);
        const auto values = lnLikelihoods(runFiles(scratch).out);
        ASSERT_EQ(values.size(), 1u);
        if (expected == 0.0)
            EXPECT_TRUE(std::isnan(values[0]));
        else
            EXPECT_NEAR(values[0], std::log(expected),
                        1e-9 * std::fabs(std::log(expected)) + 1e-12);
    }
    // Father 1/1 2/2 on both markers cannot give children 1-2 and 1-1 haplotypes
    // from phase-known parents without a recombination.
    scratch.write("t.dat", dataFile(2));
    scratch.write("t.map", mapFile({5.0, 5.0}));
    scratch.write("t.freq", frequencyFile({{0.5, 0.5}, {0.5, 0.5}}));
    scratch.write("t.ped",
                  "1 1 0 0 1 1 1 1 1\n"    // father homozygous 1 at both: haplotypes 1-1 and 1-1
                  "1 2 0 0 2 2 2 1 2\n"    // mother 2/2 and 1/2
                  "1 3 1 2 1 1 2 1 1\n"    // child gets 2-1 from the mother
                  "1 4 1 2 2 1 2 1 2\n");  // child gets 2-2 from the mother: the two are fine
    auto values = lnLikelihoods(runFiles(scratch).out);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_FALSE(std::isnan(values[0]));
    scratch.write("t.ped",
                  "1 1 0 0 1 1 1 1 1\n"
                  "1 2 0 0 2 1 2 1 2\n"  // mother 1-1 / 2-2 or 1-2 / 2-1
                  "1 3 1 2 1 1 1 1 1\n"  // child 3 took 1-1 from her
                  "1 4 1 2 2 1 1 1 2\n"  // child 4 took 1-2
                  "1 5 1 2 2 1 2 1 1\n"  // child 5 took 2-1: three haplotypes from two
    );
    const RunResult run = runFiles(scratch);
    values = lnLikelihoods(run.out);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_TRUE(std::isnan(values[0])) << run.out;
    EXPECT_NE(run.out.find("inconsistent with the pedigree"), std::string::npos);
}

TEST(MerlinProperties, DistantMarkersGiveTheSumOfSingleMarkers) {
    std::mt19937 random(99);
    Scratch scratch;
    for (int trial = 0; trial < 15; ++trial) {
        Case c = randomCase(random, 5, 3);
        if (referenceLikelihood(c.persons, c.frequencies, c.positions) == 0.0) continue;
        double single = 0.0;
        for (int m = 0; m < 3; ++m) {
            Case one = c;
            one.frequencies = {c.frequencies[m]};
            one.positions = {0.0};
            for (auto& p : one.persons)
                p.genotypes = {c.persons[&p - &one.persons[0]].genotypes[m]};
            writeCase(scratch, one);
            single += lnLikelihoods(runFiles(scratch).out).at(0);
        }
        c.positions = {0.0, 1000.0, 2000.0};
        writeCase(scratch, c);
        EXPECT_NEAR(lnLikelihoods(runFiles(scratch).out).at(0), single, 1e-7);
        c.positions = {0.0, 1e6, 2e6};
        writeCase(scratch, c);
        EXPECT_NEAR(lnLikelihoods(runFiles(scratch).out).at(0), single, 1e-10);
    }
}

TEST(MerlinProperties, OrderOfFamiliesPersonsAndLabelsChangesNothing) {
    std::mt19937 random(5);
    Scratch scratch;
    std::vector<Case> cases;
    while (cases.size() < 4) {
        Case c = randomCase(random, 5, 2);
        c.frequencies = cases.empty() ? c.frequencies : cases[0].frequencies;
        if (referenceLikelihood(c.persons, c.frequencies, c.positions) > 0) cases.push_back(c);
    }
    for (auto& c : cases) c.positions = cases[0].positions;
    scratch.write("t.dat", dataFile(2));
    scratch.write("t.map", mapFile(cases[0].positions));
    scratch.write("t.freq", frequencyFile(cases[0].frequencies));
    std::string forward, backward;
    for (int k = 0; k < 4; ++k) forward += pedigreeLines(std::to_string(k + 1), cases[k].persons);
    scratch.write("t.ped", forward);
    const auto straight = lnLikelihoods(runFiles(scratch).out);
    ASSERT_EQ(straight.size(), 4u);

    // Families in reverse order, and each family's lines reversed.
    for (int k = 3; k >= 0; --k) {
        std::string lines = pedigreeLines(std::to_string(k + 1), cases[k].persons);
        std::vector<std::string> rows;
        for (size_t at = 0; at < lines.size();) {
            const size_t stop = lines.find('\n', at);
            rows.push_back(lines.substr(at, stop - at + 1));
            at = stop + 1;
        }
        std::reverse(rows.begin(), rows.end());
        for (const auto& row : rows) backward += row;
    }
    scratch.write("t.ped", backward);
    const auto reversed = lnLikelihoods(runFiles(scratch).out);
    ASSERT_EQ(reversed.size(), 4u);
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(reversed[3 - k], straight[k], 1e-10 * std::fabs(straight[k]));

    // The same alleles listed under shuffled labels in shuffled order.
    std::string freq;
    const std::vector<std::string> names = {"17", "9.3", "X2", "66"};
    for (int m = 0; m < 2; ++m) {
        freq += "M m" + std::to_string(m + 1) + "\n";
        const auto& f = cases[0].frequencies[m];
        for (int a = static_cast<int>(f.size()) - 1; a >= 0; --a) {
            char line[80];
            std::snprintf(line, sizeof line, "A %s %.17g\n", names[a].c_str(), f[a]);
            freq += line;
        }
    }
    std::string relabelled;
    for (size_t at = 0; at < forward.size();) {
        const size_t stop = forward.find('\n', at);
        std::istringstream fields(forward.substr(at, stop - at));
        at = stop + 1;
        std::string word;
        for (int w = 0; fields >> word; ++w)
            relabelled += (w < 5 || word == "0" ? word : names[std::stoi(word) - 1]) + " ";
        relabelled += "\n";
    }
    scratch.write("t.freq", freq);
    scratch.write("t.ped", relabelled);
    const auto renamed = lnLikelihoods(runFiles(scratch).out);
    ASSERT_EQ(renamed.size(), 4u);
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(renamed[k], straight[k], 1e-10 * std::fabs(straight[k]));
}

// Markers of many alleles, typed at allele 1, in the middle, around 64 and at the
// highest numbers: a sibship of three with one typed parent, and a duo. Alleles
// nobody carries enter only through their summed frequency, so the enumeration
// over the carried alleles and one rest allele gives the same likelihood.
TEST(MerlinReference, MarkersOfManyAllelesMatchPlainEnumeration) {
    std::mt19937 random(60651);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    Scratch scratch;
    for (const int alleles : {60, 64, 65, 90, 200, 1000}) {
        std::vector<int> carried = {0, alleles / 2, alleles - 2, alleles - 1};
        for (const int near64 : {62, 63, 64})
            if (near64 < alleles - 2) carried.push_back(near64);
        std::sort(carried.begin(), carried.end());
        const std::vector<double> positions = {3.0, 17.0};
        std::vector<std::vector<double>> wide, narrow;
        for (size_t m = 0; m < positions.size(); ++m) {
            std::vector<double> f(alleles);
            double sum = 0.0;
            for (double& x : f) sum += x = 0.2 + unit(random);
            for (double& x : f) x /= sum;
            std::vector<double> kept;
            double rest = 0.0;
            for (int a = 0; a < alleles; ++a)
                if (std::count(carried.begin(), carried.end(), a))
                    kept.push_back(f[a]);
                else
                    rest += f[a];
            kept.push_back(rest);
            wide.push_back(f);
            narrow.push_back(kept);
        }
        auto draw = [&]() { return carried[random() % carried.size()]; };
        auto family = [&](const std::vector<std::pair<int, int>>& parents,
                          const std::vector<bool>& typed) {
            std::vector<RefPerson> persons;
            std::vector<std::vector<std::pair<int, int>>> truth;
            for (size_t p = 0; p < parents.size(); ++p) {
                RefPerson person;
                person.father = parents[p].first;
                person.mother = parents[p].second;
                truth.emplace_back();
                for (size_t m = 0; m < positions.size(); ++m) {
                    auto allele = [&](int parent) {
                        const auto& g = truth[parent][m];
                        return random() % 2 ? g.first : g.second;
                    };
                    truth[p].push_back(
                        person.father < 0
                            ? std::pair<int, int>{draw(), draw()}
                            : std::pair<int, int>{allele(person.father), allele(person.mother)});
                    person.genotypes.push_back(typed[p] ? truth[p][m]
                                                        : std::pair<int, int>{-1, -1});
                }
                persons.push_back(person);
            }
            return persons;
        };
        const auto sibship =
            family({{-1, -1}, {-1, -1}, {0, 1}, {0, 1}, {0, 1}}, {true, false, true, true, true});
        const auto duo = family({{-1, -1}, {-1, -1}, {0, 1}}, {true, false, true});
        scratch.write("t.dat", dataFile(2));
        scratch.write("t.map", mapFile(positions));
        scratch.write("t.freq", frequencyFile(wide));
        scratch.write(
            "t.ped", pedigreeLines("sibs", sibship, LineForm::Slashed) + pedigreeLines("duo", duo));
        // The same persons with the carried alleles numbered 0, 1, ... for the enumeration.
        auto compact = [&](std::vector<RefPerson> persons) {
            for (RefPerson& person : persons)
                for (auto& [a, b] : person.genotypes)
                    if (a >= 0) {
                        a = static_cast<int>(std::find(carried.begin(), carried.end(), a) -
                                             carried.begin());
                        b = static_cast<int>(std::find(carried.begin(), carried.end(), b) -
                                             carried.begin());
                    }
            return persons;
        };
        const double expected[] = {
            std::log(referenceLikelihood(compact(sibship), narrow, positions)),
            std::log(referenceLikelihood(compact(duo), narrow, positions))};
        for (const ChainMode mode : kBothModes) {
            const ChainModeScope scope(mode);
            const RunResult run = runFiles(scratch);
            ASSERT_EQ(run.status, 0) << run.err;
            const auto values = lnLikelihoods(run.out);
            ASSERT_EQ(values.size(), 2u) << run.out;
            for (int k = 0; k < 2; ++k)
                EXPECT_NEAR(values[k], expected[k], 1e-9 * std::fabs(expected[k]))
                    << alleles << " alleles, family " << k << "\n"
                    << run.out;
        }
    }
}

}  // namespace
}  // namespace merlin::testing
