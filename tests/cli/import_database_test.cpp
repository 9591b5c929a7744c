#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli_run.h"
#include "commands.h"
#include "support/kovarian_case_writer.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

using testing::CliResult;

CliResult cli(std::vector<std::string> args) {
    return testing::runCli(std::move(args));
}

TEST(CliImportDatabase, addsFrequencyFilesToACaseAndSavesIt) {
    testing::TempFolder folder;
    const std::string example =
        std::string(RELATIX_SOURCE_DIR) + "/examples/half_siblings_linked.sav";
    const std::string freq =
        folder.write("EUR.freq", "M D8S639\r\nA 10 0.5\r\nA 11 0.5\r\nM NOWHERE\r\nA 1 1\r\n");
    const std::string saved = folder.file("out.sav");
    const CliResult run = cli({"import-database", example, freq, freq, "-o", saved});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("Population already defined, append frequencies?"), std::string::npos);
    EXPECT_NE(run.out.find("  EUR\t2 markers\n"), std::string::npos) << run.out;

    const CliResult info = cli({"info", saved});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("  EUR\t2 markers\n    D8S639\t2 alleles\n"), std::string::npos)
        << info.out;

    EXPECT_EQ(cli({"import-database", example, freq}).status, 2);
    EXPECT_EQ(cli({"import-database", example, "-o", saved}).status, 2);
    const CliResult missing =
        cli({"import-database", example, folder.file("no.freq"), "-o", saved});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("cannot import"), std::string::npos);
}

// A damaged case or database file names its line and item, and the run exits 1
// without writing the case.
TEST(CliImportDatabase, damagedFilesExitOneWithTheirLine) {
    testing::TempFolder folder;
    const std::string example =
        std::string(RELATIX_SOURCE_DIR) + "/examples/half_siblings_linked.sav";
    const std::string saved = folder.file("out.sav");
    testing::KovCase kov = testing::duoCase();
    kov.persons[0].records[0] = {999, 0, 0};
    const std::string bad = folder.write("bad.kov", testing::kovarianCaseText(kov));
    const CliResult run = cli({"import-database", example, bad, "-o", saved});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(bad + ", line 12: the DNA record of Father names allele index 999 of "
                                 "system D1S1656, which has 3 alleles"),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(std::filesystem::exists(saved));

    const std::string cut = folder.write(
        "cut.sav",
        "[Save file - Relatix Version 1.5]\nskip\nA = 1\nNewAlleleFrequency = 0.03\nB = 2\n"
        "skip\nNumberOfSystems = 2\nSystemName = penta d\nskip\nNumberOfAlleles = 2\n9 0.5\n");
    const std::string freq = folder.write("EUR.freq", "M D8S639\nA 10 0.5\nA 11 0.5\n");
    const CliResult legacy = cli({"import-database", cut, freq, "-o", saved});
    EXPECT_EQ(legacy.status, 1);
    EXPECT_NE(legacy.err.find(cut + ", line 8: the file ends inside system 1 of 2 (penta d)"),
              std::string::npos)
        << legacy.err;
    EXPECT_FALSE(std::filesystem::exists(saved));
}

}  // namespace
}  // namespace relatix
