// The engine's results as the system reads them back. The system's readers each
// have their own rules: find a line starting "Family", then per family skip lines
// until the word "lnLikelihood", take the word after it as a separator and then the
// number; a line starting with "Skipping" or "Cluster" marks the family. The
// readers below follow those rules and are run on real engine output.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "engine_test_support.h"

namespace merlin::testing {
namespace {

// Reads whitespace words and whole lines from one text, as a stream does.
class WordStream {
public:
    explicit WordStream(const std::string& text) : in_(text) {}
    bool line(std::string& text) { return static_cast<bool>(std::getline(in_, text)); }
    bool word(std::string& text) { return static_cast<bool>(in_ >> text); }
    void skipLine() {
        std::string rest;
        std::getline(in_, rest);
    }
    bool number(double& value) { return static_cast<bool>(in_ >> value); }
    bool atEnd() { return in_.peek() == EOF; }

private:
    std::istringstream in_;
};

bool findFamilyLine(WordStream& in, int limit = 1000000) {
    std::string line;
    for (int read = 0; read < limit && in.line(line);) {
        ++read;
        if (line.find("ERROR") != std::string::npos) return false;
        if (line.compare(0, 6, "Family") == 0) return true;
    }
    return false;
}

// The calculation's reader: one "Family" line, then n families; marked families give 0.
bool readCalculationResults(const std::string& text, int n, std::vector<double>& values) {
    WordStream in(text);
    values.assign(n, 0.0);
    if (!findFamilyLine(in)) return false;
    for (int k = 0; k < n; ++k) {
        std::string word;
        if (!in.word(word)) return false;
        bool marked = word == "Skipping" || word == "Cluster";
        int skipped = 0;
        while (word != "lnLikelihood") {
            if (in.atEnd()) return false;
            in.skipLine();
            if (!in.word(word)) return false;
            marked |= word == "Skipping" || word == "Cluster";
            if (++skipped > 1000) return false;
        }
        std::string separator;
        double value = 0;
        if (!in.word(separator) || !in.number(value)) return false;
        in.skipLine();
        values[k] = marked ? 0.0 : value;
    }
    return true;
}

// The simulation's reader: blocks of k families, each block after its own "Family"
// line; a "Skipping" right after that line stops everything.
bool readSimulationResults(const std::string& text, int blocks, int k,
                           std::vector<std::vector<double>>& sets) {
    WordStream in(text);
    sets.assign(blocks, std::vector<double>(k, 0.0));
    for (int b = 0; b < blocks; ++b) {
        if (!findFamilyLine(in, 1000)) return false;
        for (int i = 0; i < k; ++i) {
            std::string word;
            if (!in.word(word)) return false;
            if (word == "Skipping" || word == "Cluster") return false;
            bool marked = false;
            int lines = 0;
            while (word != "lnLikelihood") {
                in.skipLine();
                if (!in.word(word)) return false;
                marked |= word == "Skipping" || word == "Cluster";
                if (++lines > 1001) return false;
            }
            std::string separator;
            double value = 0;
            if (!in.word(separator) || !in.number(value)) return false;
            in.skipLine();
            if (!marked) sets[b][i] = value;
        }
    }
    return true;
}

// The quick analysis and the user-file analysis: per chromosome a "Family" line,
// then the families; a "Skipping" line on the way gives 0 (user-file analysis).
bool readPerChromosome(const std::string& text, int chromosomes, int n,
                       std::vector<std::vector<double>>& values) {
    WordStream in(text);
    values.assign(chromosomes, std::vector<double>(n, 0.0));
    for (int c = 0; c < chromosomes; ++c) {
        if (!findFamilyLine(in)) return false;
        for (int p = 0; p < n; ++p) {
            std::string word;
            bool skipped = false;
            if (!in.word(word)) return false;
            while (word != "lnLikelihood") {
                in.skipLine();
                if (!in.word(word)) return false;
                skipped |= word == "Skipping";
            }
            std::string separator;
            double value = 0;
            if (!in.word(separator) || !in.number(value)) return false;
            in.skipLine();
            values[c][p] = skipped ? 0.0 : value;
        }
    }
    return true;
}

// Four trios, the second and fourth impossible on chromosome 1 (two markers) and
// all of them possible on chromosome 2 (one marker).
void writeFourFamilies(const Scratch& scratch) {
    scratch.write("t.dat", "M a\nM b\nM c\n");
    scratch.write("t.map", "CHROMOSOME\tMARKER\tPOSITION\n1\ta\t10\n1\tb\t20\n2\tc\t5\n");
    scratch.write("t.freq", "M a\nA 1 0.5\nA 2 0.5\nM b\nA 1 0.5\nA 2 0.5\nM c\nF 0.3 0.7\n");
    std::string ped;
    for (int f = 1; f <= 4; ++f) {
        const std::string id = std::to_string(f);
        const bool bad = f % 2 == 0;
        ped += id + " 1 0 0 1 1 1 1 1 1 1\n";
        ped += id + " 2 0 0 2 1 1 1 2 1 2\n";
        ped += id + " 3 1 2 1 " + (bad ? "2 2" : "1 1") + " 1 2 1 2\n";
    }
    scratch.write("t.ped", ped);
}

TEST(MerlinResultReaders, EveryReaderFindsTheValuesAndTheSkippedFamilies) {
    Scratch scratch;
    writeFourFamilies(scratch);
    const RunResult run = runFiles(scratch, {"--perFamily", "--quiet", "--likelihood"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto printed = lnLikelihoods(run.out);  // chromosome 1 then chromosome 2
    ASSERT_EQ(printed.size(), 8u) << run.out;
    EXPECT_TRUE(std::isnan(printed[1]) && std::isnan(printed[3]));
    EXPECT_FALSE(std::isnan(printed[0]) || std::isnan(printed[2]));

    std::vector<double> values;
    ASSERT_TRUE(readCalculationResults(run.out, 4, values));
    EXPECT_EQ(values, (std::vector<double>{printed[0], 0.0, printed[2], 0.0}));

    // As two data sets of two families: a skipped family opens the second block too.
    std::vector<std::vector<double>> sets;
    ASSERT_TRUE(readSimulationResults(run.out, 2, 2, sets));
    EXPECT_EQ(sets[0], (std::vector<double>{printed[0], 0.0}));
    EXPECT_EQ(sets[1], (std::vector<double>{printed[2], 0.0}));
    // Each family as a data set of one: every block starts with its own Family line,
    // and a skipped family first in its block does not stop the reading.
    ASSERT_TRUE(readSimulationResults(run.out, 4, 1, sets));
    EXPECT_EQ(sets[1][0], 0.0);
    EXPECT_EQ(sets[2][0], printed[2]);

    std::vector<std::vector<double>> perChromosome;
    ASSERT_TRUE(readPerChromosome(run.out, 2, 4, perChromosome));
    EXPECT_EQ(perChromosome[0][0], printed[0]);
    EXPECT_EQ(perChromosome[0][1], 0.0);
    EXPECT_EQ(perChromosome[1][3], printed[7]);  // chromosome 2 is possible for every family
}

TEST(MerlinResultReaders, BannerAndWarningsDoNotDisturbTheReaders) {
    Scratch scratch;
    writeFourFamilies(scratch);
    const RunResult run = runFiles(scratch, {"--perFamily"});
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.out.find("ERROR"), std::string::npos);
    std::istringstream lines(run.out);
    std::string line;
    int families = 0;
    while (std::getline(lines, line)) {
        families += line.rfind("Family", 0) == 0;
        if (line.rfind("Skipping", 0) == 0 || line.rfind("Cluster", 0) == 0) {
            EXPECT_NE(line.find("Skipping family"), std::string::npos) << line;
        }
    }
    EXPECT_EQ(families, 8);
    std::vector<double> values;
    EXPECT_TRUE(readCalculationResults(run.out, 4, values));
}

TEST(MerlinResultReaders, ValuesCarryTwelveSignificantDigits) {
    Scratch scratch;
    writeFourFamilies(scratch);
    const RunResult run = runFiles(scratch, {"--perFamily", "--quiet"});
    std::istringstream lines(run.out);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("lnLikelihood = ", 0) != 0 || line == "lnLikelihood = 0") continue;
        std::string digits;
        for (char c : line.substr(15))
            if (c >= '0' && c <= '9') digits += c;
        while (!digits.empty() && digits[0] == '0') digits.erase(0, 1);
        EXPECT_GE(digits.size(), 10u) << line;
    }
}

TEST(MerlinResultReaders, WithoutPerFamilyOneValuePerChromosome) {
    Scratch scratch;
    writeFourFamilies(scratch);
    const RunResult each = runFiles(scratch, {"--perFamily", "--quiet"});
    const RunResult all = runFiles(scratch, {"--quiet"});
    const auto v = lnLikelihoods(each.out);
    std::istringstream lines(all.out);
    std::string line;
    std::vector<double> totals;
    while (std::getline(lines, line))
        if (line.rfind("lnLikelihood = ", 0) == 0) totals.push_back(std::stod(line.substr(15)));
    ASSERT_EQ(totals.size(), 2u) << all.out;
    EXPECT_NEAR(totals[0], v[0] + v[2], 1e-9);
    EXPECT_NEAR(totals[1], v[4] + v[5] + v[6] + v[7], 1e-9);
    EXPECT_NE(all.out.find("Skipping family 2"), std::string::npos);
}

}  // namespace
}  // namespace merlin::testing
