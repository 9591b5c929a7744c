// Without mutation and theta, the exact engine and the linkage engine compute
// the same likelihood for a catalogue relationship at linked markers. The test
// writes the linkage engine's four input files itself, runs it when it has been
// built into the program folder and compares the summed log-likelihoods.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/synthetic_case.h"
#include "engine_case.h"
#include "support/exact_engine_support.h"
#include "support/temp_folder.h"

namespace relatix::testing {
namespace {

std::filesystem::path engineExecutable() {
    return std::filesystem::path(RELATIX_PROGRAM_FOLDER) / "merlinEngine";
}

int fieldCount(const std::string& text) {
    std::istringstream in(text);
    std::string word;
    int n = 0;
    while (in >> word) ++n;
    return n;
}

void writeLinkageFiles(const Core& core, int code, const TempFolder& folder) {
    std::ofstream dat(folder.file("temp.dat")), map(folder.file("temp.map")),
        freq(folder.file("temp.freq")), ped(folder.file("temp.ped"));
    for (const Cluster& cluster : core.clusterDatabase.clusters) {
        const ClusterSystem& s = cluster.systems[0];
        dat << "M " << s.name << "\n";
        map << cluster.chromosome + 1 << " " << s.name << " " << s.position << "\n";
        freq << "M " << s.name << "\nF";
        freq.precision(17);
        for (double f : s.frequencies) freq << " " << f;
        freq << "\n";
    }
    const auto& table = core.genotypeTable;
    for (const LinkageRowTemplate& row : linkageRowTemplates(code, table.sexCodes.at(0) == 1)) {
        ped << "1 " << row.prefix;
        if (fieldCount(row.prefix) == 3)
            ped << (row.person > 0 ? table.sexCodes.at(static_cast<size_t>(row.person - 1)) : 0)
                << " ";
        for (size_t c = 0; c < core.clusterDatabase.clusters.size(); ++c) {
            const auto& names = core.clusterDatabase.clusters[c].systems[0].alleleNames;
            for (int slot = 0; slot < 2; ++slot) {
                int number = 0;
                if (row.person > 0) {
                    const std::string& text =
                        table.alleleTexts[c][0][static_cast<size_t>(row.person - 1)][slot];
                    for (size_t a = 0; a < names.size(); ++a)
                        if (names[a] == text) number = static_cast<int>(a) + 1;
                }
                ped << " " << number;
            }
        }
        ped << "\n";
    }
}

// The sum of the per-chromosome log-likelihoods of family 1.
double runLinkageEngine(const TempFolder& folder) {
    const std::string output = folder.file("engine_output.txt");
    const std::string command =
        "\"" + engineExecutable().string() + "\" -d \"" + folder.file("temp.dat") + "\" -p \"" +
        folder.file("temp.ped") + "\" -m \"" + folder.file("temp.map") + "\" -f \"" +
        folder.file("temp.freq") + "\" --perFamily --quiet > \"" + output + "\" 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
    std::istringstream in(readFile(output));
    std::string line;
    double sum = 0;
    int values = 0;
    while (std::getline(in, line)) {
        EXPECT_EQ(line.rfind("Skipping", 0), std::string::npos) << line;
        const std::string key = "lnLikelihood = ";
        if (line.rfind(key, 0) == 0) {
            sum += std::stod(line.substr(key.size()));
            ++values;
        }
    }
    EXPECT_GT(values, 0) << readFile(output);
    return sum;
}

struct AgreementCase {
    int code;
    std::vector<FamilyMember> typed;
    std::vector<int> sexes;
};

TEST(LinkageAgreement, exactEngineMatchesTheLinkageEngineWithoutMutation) {
    if (!std::filesystem::exists(engineExecutable()))
        FAIL() << "merlinEngine has not been built into " << RELATIX_PROGRAM_FOLDER
               << "; build the merlinEngine target to run this comparison";
    const std::vector<AgreementCase> cases = {
        {3, {FamilyMember::ChildA, FamilyMember::ChildB}, {1, 1}},
        {13, {FamilyMember::Uncle, FamilyMember::ChildA}, {1, 1}},
        {23, {FamilyMember::Father, FamilyMember::Mother, FamilyMember::ChildA}, {1, 2, 1}},
        {24, {FamilyMember::Father, FamilyMember::ChildA}, {1, 1}},
    };
    for (const AgreementCase& a : cases) {
        for (unsigned seed : {3u, 11u}) {
            SCOPED_TRACE("code " + std::to_string(a.code) + " seed " + std::to_string(seed));
            Core core;
            SyntheticCaseOptions options;
            options.markers = 8;
            options.markersPerChromosome = 4;  // two chromosomes of four linked markers
            options.minAlleles = 4;
            options.maxAlleles = 7;
            options.spacingCm = 8.0;
            options.seed = seed;
            options.mutation = {1, 0.0, 0.0, 0.0};
            options.typed = a.typed;
            options.sexCodes = a.sexes;
            options.mainHypothesis = a.code - 1;
            fillSyntheticCase(core, options);
            ScriptedUserInterface ui;
            testing::computeCatalogueLikelihoods(core, std::vector<bool>(8, false), false, ui);
            const double exact = (*core.exactResults.at(0));
            ASSERT_TRUE(std::isfinite(exact));

            TempFolder folder("linkage_agreement");
            writeLinkageFiles(core, a.code, folder);
            const double linkage = runLinkageEngine(folder);
            EXPECT_NEAR(exact, linkage, 1e-6 * std::fabs(linkage));
        }
    }
}

}  // namespace
}  // namespace relatix::testing
