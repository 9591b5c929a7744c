// --simulate and --save: reproducible data with the untyped pattern of the file,
// and founder alleles drawn with the frequencies of the frequency file.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

#include "engine_test_support.h"

namespace merlin::testing {
namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::vector<std::string>> words(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream in(line);
        rows.emplace_back();
        for (std::string w; in >> w;) rows.back().push_back(w);
    }
    return rows;
}

RunResult simulate(const Scratch& scratch, const std::string& seed) {
    return runFiles(scratch, {"--perFamily", "--quiet", "--simulate", "--save", "-r", seed,
                              "--prefix", scratch.path("sim")});
}

void writeToyFiles(const Scratch& scratch) {
    scratch.write("t.dat", "M a\nA disease\nM b\nM c\n");
    scratch.write("t.map", "CHROMOSOME MARKER POSITION\n1 a 10\n1 b 15\n3 c 40\n");
    scratch.write("t.freq", "M a\nA 11 0.2\nA 12 0.3\nA 9.3 0.5\nM b\nF 0.6 0.4\nM c\nF 0.1 0.9\n");
    // Toy genotypes only say who is typed; 5 is typed at a only, 2 nowhere.
    scratch.write("t.ped",
                  "f1 1 0 0 1 x x 1 x x x x\n"
                  "f1 2 0 0 2 0 0 1 0 0 0 0\n"
                  "f1 3 1 2 1 1 1 2 1/1 1/1\n"
                  "f1 4 1 2 2 1 1 1 1 1 1 1\n"
                  "f2 5 0 0 1 7 7 1 0 0 0/0\n"
                  "f2 6 5 0 2 7 7 1 7 7 7 7\n");
}

TEST(MerlinSimulation, SameSeedSameDataAndTheUntypedPatternKept) {
    Scratch scratch;
    writeToyFiles(scratch);
    const RunResult first = simulate(scratch, "77");
    ASSERT_EQ(first.status, 0) << first.err;
    const std::string saved = readAll(scratch.path("sim-replicate.ped"));
    const RunResult again = simulate(scratch, "77");
    EXPECT_EQ(again.out, first.out);
    EXPECT_EQ(readAll(scratch.path("sim-replicate.ped")), saved);
    simulate(scratch, "78");
    EXPECT_NE(readAll(scratch.path("sim-replicate.ped")), saved);

    const auto rows = words(saved);
    ASSERT_EQ(rows.size(), 6u);
    const std::vector<std::vector<bool>> typed = {{false, false, false}, {false, false, false},
                                                  {true, true, true},    {true, true, true},
                                                  {true, false, false},  {true, true, true}};
    for (size_t r = 0; r < rows.size(); ++r) {
        ASSERT_EQ(rows[r].size(), 8u) << saved;  // five fields and one word per marker
        for (int m = 0; m < 3; ++m) {
            const std::string& g = rows[r][5 + m];
            EXPECT_EQ(g == "0/0", !typed[r][m]) << "line " << r + 1 << " marker " << m << ": " << g;
        }
    }
    EXPECT_EQ(rows[0][0], "f1");
    EXPECT_EQ(rows[5][2], "5");  // the fields as read, a missing mother included
    EXPECT_EQ(rows[5][3], "0");
    // Labels come from the frequency file; the simulated data are consistent.
    for (const auto& row : rows)
        for (int m = 0; m < 3; ++m) {
            const std::string g = row[5 + m];
            if (g == "0/0") continue;
            const std::string a = g.substr(0, g.find('/')), b = g.substr(g.find('/') + 1);
            const std::vector<std::string> labels =
                m == 0 ? std::vector<std::string>{"11", "12", "9.3"}
                       : std::vector<std::string>{"1", "2"};
            EXPECT_NE(std::find(labels.begin(), labels.end(), a), labels.end()) << g;
            EXPECT_NE(std::find(labels.begin(), labels.end(), b), labels.end()) << g;
        }
    const auto values = lnLikelihoods(first.out);
    ASSERT_EQ(values.size(), 4u) << first.out;  // two chromosomes, two families
    for (double v : values) EXPECT_FALSE(std::isnan(v)) << first.out;
}

TEST(MerlinSimulation, FounderAllelesFollowTheFrequencies) {
    // 2000 unrelated typed founders: 4000 draws from 0.1, 0.2, 0.3, 0.4. Each count
    // must lie within 4.5 standard deviations of its mean (a false alarm about once
    // in 100000 runs per allele); the seed is fixed, so the test is deterministic.
    Scratch scratch;
    scratch.write("t.dat", "M a\n");
    scratch.write("t.map", "1 a 0\n");
    scratch.write("t.freq", "M a\nA 1 0.1\nA 2 0.2\nA 3 0.3\nA 4 0.4\n");
    std::string ped;
    for (int f = 1; f <= 2000; ++f) ped += std::to_string(f) + " 1 0 0 1 1 1\n";
    scratch.write("t.ped", ped);
    ASSERT_EQ(simulate(scratch, "2024").status, 0);
    std::map<std::string, int> counts;
    for (const auto& row : words(readAll(scratch.path("sim-replicate.ped")))) {
        const std::string& g = row.at(5);
        ++counts[g.substr(0, g.find('/'))];
        ++counts[g.substr(g.find('/') + 1)];
    }
    const double n = 4000;
    const double p[4] = {0.1, 0.2, 0.3, 0.4};
    for (int a = 0; a < 4; ++a) {
        const double mean = n * p[a];
        const double sd = std::sqrt(n * p[a] * (1 - p[a]));
        EXPECT_NEAR(counts[std::to_string(a + 1)], mean, 4.5 * sd) << "allele " << a + 1;
    }
}

TEST(MerlinSimulation, LinkedMarkersRecombineWithHaldanesFraction) {
    // Typed grandparents, their typed son and his three typed children (the mother
    // untyped), 800 times, at two markers 20 cM apart with 50 equally likely alleles.
    // Whichever of the son's alleles a child carries tells from which grandparent it
    // came; the share of children whose two markers came from different grandparents
    // is Haldane's 0.5 (1 - e^-0.4) = 0.165, checked within 4.5 standard deviations.
    Scratch scratch;
    scratch.write("t.dat", "M a\nM b\n");
    scratch.write("t.map", "1 a 0\n1 b 20\n");
    std::string freq;
    for (const char* m : {"a", "b"}) {
        freq += std::string("M ") + m + "\nF";
        for (int a = 0; a < 50; ++a) freq += " 0.02";
        freq += "\n";
    }
    scratch.write("t.freq", freq);
    std::string ped;
    for (int f = 1; f <= 800; ++f) {
        const std::string id = std::to_string(f);
        ped += id + " 1 0 0 1 1 1 1 1\n" + id + " 2 0 0 2 1 1 1 1\n" + id + " 3 1 2 1 1 1 1 1\n" +
               id + " 4 0 0 2 0 0 0 0\n";
        for (int c = 5; c <= 7; ++c) ped += id + " " + std::to_string(c) + " 3 4 1 1 1 1 1\n";
    }
    scratch.write("t.ped", ped);
    ASSERT_EQ(simulate(scratch, "5").status, 0);
    const auto rows = words(readAll(scratch.path("sim-replicate.ped")));
    ASSERT_EQ(rows.size(), 800u * 7);
    auto alleles = [](const std::string& g) {
        return std::make_pair(g.substr(0, g.find('/')), g.substr(g.find('/') + 1));
    };
    auto has = [](const std::pair<std::string, std::string>& g, const std::string& a) {
        return g.first == a || g.second == a;
    };
    int recombinant = 0, informative = 0;
    for (size_t at = 0; at < rows.size(); at += 7) {
        for (int c = 4; c < 7; ++c) {
            int origin[2];
            bool known = true;
            for (int m = 0; m < 2 && known; ++m) {
                const auto son = alleles(rows[at + 2][5 + m]);
                const auto grandfather = alleles(rows[at][5 + m]);
                const auto grandmother = alleles(rows[at + 1][5 + m]);
                const auto child = alleles(rows[at + c][5 + m]);
                // The son's allele from his father: in the grandfather only.
                std::string fromFather;
                for (const auto& a : {son.first, son.second})
                    if (has(grandfather, a) && !has(grandmother, a)) fromFather = a;
                const std::string other = fromFather == son.first ? son.second : son.first;
                const bool first = has(child, fromFather), second = has(child, other);
                known = !fromFather.empty() && fromFather != other && first != second;
                origin[m] = first ? 0 : 1;
            }
            if (!known) continue;
            ++informative;
            recombinant += origin[0] != origin[1];
        }
    }
    ASSERT_GT(informative, 1500);
    const double theta = 0.5 * (1 - std::exp(-0.4));
    const double sd = std::sqrt(theta * (1 - theta) / informative);
    EXPECT_NEAR(static_cast<double>(recombinant) / informative, theta, 4.5 * sd);
}

}  // namespace
}  // namespace merlin::testing
