#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli_run.h"
#include "commands.h"
#include "core/core.h"
#include "persistence/open_project.h"
#include "persistence/project_file.h"
#include "platform/process_runner.h"
#include "platform/silent_user_interface.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

using testing::CliResult;

CliResult cli(std::vector<std::string> args) {
    return testing::runCli(std::move(args));
}

// The three log-likelihoods of every hypothesis of calculate --json, run from
// the program folder, where the linkage program is.
std::vector<nlohmann::json> logLikelihoods(const std::string& casePath) {
    testing::TempFolder folder;
    ProcessRequest request;
    request.executable = RELATIX_CLI_PATH;
    request.arguments = {"calculate", casePath, "--json"};
    request.stdoutPath = folder.file("out.txt");
    request.stderrPath = folder.file("err.txt");
    EXPECT_EQ(runProcess(request), 0) << testing::readFile(request.stderrPath);
    std::vector<nlohmann::json> values;
    const nlohmann::json document = nlohmann::json::parse(testing::readFile(request.stdoutPath));
    for (const auto& h : document.at("hypotheses"))
        values.push_back({h.at("lnExact"), h.at("lnUnlinked"), h.at("lnLinked")});
    return values;
}

TEST(CliGenotypes, exportedGenotypesImportedAgainGiveTheSameLikelihoods) {
    testing::TempFolder folder;
    const std::string example =
        std::string(RELATIX_SOURCE_DIR) + "/examples/half_siblings_linked.sav";
    const std::string table = folder.file("genotypes.txt");
    const CliResult exported = cli({"export-genotypes", example, "-o", table, "--samples-as-rows"});
    ASSERT_EQ(exported.status, 0) << exported.err;

    // The same case with no DNA observations.
    const std::string bare = folder.file("bare.sav");
    {
        SilentUserInterface ui;
        Core core(".");
        ASSERT_TRUE(openProject(core, example, ui));
        ASSERT_EQ(core.persons.size(), 2u);
        for (Person& person : core.persons) person.dna.clear();
        ASSERT_TRUE(saveProject(core, bare, ui));
    }
    const std::string back = folder.file("back.sav");
    const CliResult imported = cli({"import-genotypes", bare, table, "-o", back});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_NE(imported.out.find("Samples imported: 2\n"), std::string::npos) << imported.out;
    EXPECT_NE(imported.out.find("New alleles: 0\n"), std::string::npos) << imported.out;
    EXPECT_NE(imported.err.find("merge with new data?"), std::string::npos);
    EXPECT_EQ(logLikelihoods(back), logLikelihoods(example));

    // Unmatched samples: --assign and --rename route them, others are listed.
    const std::string renamed = folder.file("renamed.sav");
    const std::string other = folder.write("other.csv", "Sample,D3S1358\nS1,15/16\nS2,16/17\n");
    const CliResult routed =
        cli({"import-genotypes", bare, other, "-o", renamed, "--assign", "S2=2", "--rename"});
    ASSERT_EQ(routed.status, 0) << routed.err;
    EXPECT_NE(routed.err.find("skipped sample 'S1'"), std::string::npos) << routed.err;
    EXPECT_NE(cli({"info", renamed})
                  .out.find("  Sibling 1\tMale\t0 typed markers\n  S2\tMale\t1 typed markers\n"),
              std::string::npos);
    const CliResult inOrder =
        cli({"import-genotypes", bare, other, "-o", renamed, "--in-order", "--rename"});
    ASSERT_EQ(inOrder.status, 0) << inOrder.err;
    EXPECT_NE(cli({"info", renamed}).out.find("  S1\tMale\t"), std::string::npos);

    // A new allele enters the active population and is listed.
    const std::string fresh = folder.write("fresh.csv", "Sample,D3S1358\nSibling 1,99/16\n");
    const CliResult added = cli({"import-genotypes", bare, fresh, "-o", renamed});
    ASSERT_EQ(added.status, 0) << added.err;
    EXPECT_NE(added.err.find("new allele D3S1358 99\n"), std::string::npos) << added.err;
    {
        SilentUserInterface ui;
        Core core(".");
        ASSERT_TRUE(openProject(core, renamed, ui));
        const Population* population = core.populationAt(core.activePopulation);
        ASSERT_NE(population, nullptr);
        bool found = false;
        for (const Marker& marker : population->markers)
            for (const Allele& allele : marker.alleles)
                found = found || (marker.name == "D3S1358" && allele.name == "99" &&
                                  allele.frequency == marker.markerNewAlleleFrequency);
        EXPECT_TRUE(found);
    }

    // A ped line with an unknown sex imports nothing and fails.
    std::string pedLine = "FAM1 1 0 0 7";
    for (int field = 0; field < 2 * 31; ++field) pedLine += " 0";
    const std::string ped = folder.write("bad.ped", pedLine + "\n");
    const CliResult pedRun = cli({"import-genotypes", bare, ped, "-o", renamed});
    EXPECT_EQ(pedRun.status, 1);
    EXPECT_NE(pedRun.err.find("has the sex '7'"), std::string::npos) << pedRun.err;

    EXPECT_EQ(cli({"import-genotypes", bare, table}).status, 2);
    EXPECT_EQ(cli({"import-genotypes", bare, table, "-o", back, "--assign", "S1"}).status, 2);
    EXPECT_EQ(cli({"export-genotypes", example}).status, 2);
    EXPECT_EQ(cli({"export-genotypes", folder.file("none.sav"), "-o", table}).status, 1);
}

// One allele in a cell is a homozygote, the alleles the import adds are named,
// and an import that takes no sample exits 1 without saving.
TEST(CliGenotypes, oneAlleleIsAHomozygoteAndAnImportOfNoSampleSavesNothing) {
    testing::TempFolder folder;
    const std::string example =
        std::string(RELATIX_SOURCE_DIR) + "/examples/half_siblings_linked.sav";
    const std::string saved = folder.file("out.sav");
    const std::string table = folder.write("one.csv", "Sample,D3S1358,vWA\nSibling 1,17,99;16\n");
    const CliResult run = cli({"import-genotypes", example, table, "-o", saved});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("New alleles: 1 (vWA 99)\n"), std::string::npos) << run.out;
    {
        SilentUserInterface ui;
        Core core(".");
        ASSERT_TRUE(openProject(core, saved, ui));
        std::vector<std::string> genotypes;
        for (const DnaObservation& o : core.persons.at(0).dna)
            if (o.markerName == "D3S1358" || o.markerName == "vWA")
                genotypes.push_back(o.markerName + " " + o.allele1 + "/" + o.allele2);
        EXPECT_EQ(genotypes, (std::vector<std::string>{"D3S1358 17/17", "vWA 99/16"}));
    }

    std::filesystem::remove(saved);
    const std::string nobody = folder.write("nobody.csv", "Sample,D3S1358\nNobody,15/16\n");
    const CliResult none = cli({"import-genotypes", example, nobody, "-o", saved});
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("no sample was imported"), std::string::npos) << none.err;
    EXPECT_FALSE(std::filesystem::exists(saved));
}

}  // namespace
}  // namespace relatix
