#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli_run.h"
#include "commands.h"
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

}  // namespace
}  // namespace relatix
