#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli_run.h"
#include "core/catalogue.h"
#include "core/decimal_text.h"
#include "platform/process_runner.h"
#include "support/temp_folder.h"

namespace relatix {
namespace {

namespace fs = std::filesystem;

const std::string kExample = std::string(RELATIX_SOURCE_DIR) + "/examples/half_siblings_linked.sav";

struct ProgramRun {
    int status;
    std::string out;
    std::string err;
};

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& args,
                      const testing::TempFolder& folder) {
    ProcessRequest request;
    request.executable = program;
    request.arguments = args;
    request.workingDirectory = folder.path().string();
    request.stdoutPath = folder.file("out.txt");
    request.stderrPath = folder.file("err.txt");
    const int status = runProcess(request);
    return {status, testing::readFile(request.stdoutPath), testing::readFile(request.stderrPath)};
}

size_t count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t p = text.find(part); p != std::string::npos; p = text.find(part, p + 1)) ++n;
    return n;
}

// A program on the PATH; empty when there is none.
std::string onPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        std::error_code ec;
        const fs::path candidate = fs::path(folder) / name;
        if (!folder.empty() && fs::is_regular_file(candidate, ec)) return candidate.string();
    }
    return {};
}

// The report converted by LibreOffice into PDF, its text as pdftotext extracts it,
// the image list of pdfimages, and its pages saved as PNG below the build folder's
// report_pages/ for a reviewer; empty when LibreOffice or poppler is missing.
struct ConvertedReport {
    bool converted = false;
    std::string text;
    std::string images;
};

ConvertedReport convertToPdf(const testing::TempFolder& folder, const std::string& stem) {
    ConvertedReport result;
    const std::string soffice = onPath("soffice"), pdftotext = onPath("pdftotext"),
                      pdfimages = onPath("pdfimages"), pdftoppm = onPath("pdftoppm");
    if (soffice.empty() || pdftotext.empty() || pdfimages.empty() || pdftoppm.empty())
        return result;
    const std::string profile = "-env:UserInstallation=file://" + folder.file("office-profile");
    const ProgramRun converted =
        runProgram(soffice, {profile, "--headless", "--convert-to", "pdf", stem + ".rtf"}, folder);
    EXPECT_EQ(converted.status, 0) << converted.err;
    const std::string pdf = stem + ".pdf";
    if (!fs::exists(folder.file(pdf))) {
        ADD_FAILURE() << "no PDF: " << converted.out << converted.err;
        return result;
    }
    EXPECT_EQ(runProgram(pdftotext, {pdf, stem + ".txt"}, folder).status, 0);
    result.text = testing::readFile(folder.file(stem + ".txt"));
    const ProgramRun images = runProgram(pdfimages, {"-list", pdf}, folder);
    EXPECT_EQ(images.status, 0);
    result.images = images.out;
    const fs::path pages = fs::current_path() / "report_pages";
    fs::create_directories(pages);
    EXPECT_EQ(
        runProgram(pdftoppm, {"-png", "-r", "60", pdf, (pages / stem).string()}, folder).status, 0);
    result.converted = true;
    return result;
}

TEST(CliReport, refusesWrongArgumentsBeforeCalculating) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"report"},
             {"report", kExample},
             {"report", "-o", "x.rtf"},
             {"report", kExample, "-o"},
             {"report", kExample, "-o", "x.rtf", "--simulation", "9"},
             {"report", kExample, "-o", "x.rtf", "--seed", "4"},
             {"report", kExample, "-o", "x.rtf", "--simulation", "10", "--seed", "0"},
             {"report", kExample, kExample, "-o", "x.rtf"},
             {"report", kExample, "-o", "x.rtf", "--fast"}}) {
        const testing::CliResult run = testing::runCli(args);
        EXPECT_EQ(run.status, 2) << args.size() << " " << run.err;
        EXPECT_TRUE(run.out.empty());
    }
    EXPECT_EQ(testing::runCli({"report", "/no/such/case.sav", "-o", "x.rtf"}).status, 1);
}

// The case report of the bundled example holds the values `calculate` prints,
// one picture per hypothesis that has its picture in the program folder, and
// converts to PDF in LibreOffice when that is installed (then the page images
// stay in the build folder for a reviewer).
TEST(CliReport, bundledExampleReportHoldsTheCalculatedValues) {
    testing::TempFolder folder;
    const ProgramRun report =
        runProgram(RELATIX_CLI_PATH, {"report", kExample, "-o", "case.rtf"}, folder);
    ASSERT_EQ(report.status, 0) << report.err;
    EXPECT_EQ(report.out, folder.file("case.rtf") + "\n");
    const ProgramRun calculated =
        runProgram(RELATIX_CLI_PATH, {"calculate", kExample, "--json"}, folder);
    ASSERT_EQ(calculated.status, 0) << calculated.err;
    const nlohmann::json doc = nlohmann::json::parse(calculated.out);
    const std::string rtf = testing::readFile(folder.file("case.rtf"));

    std::vector<std::string> expected = {"Report generated by Relatix version 2.1"};
    for (const auto& h : doc["hypotheses"]) {
        expected.push_back(h["name"].get<std::string>());
        expected.push_back(formatGeneral(h["lrExact"].get<double>(), 4));
        expected.push_back(formatGeneral(h["lrLinked"].get<double>(), 4));
        expected.push_back(formatFixed(h["lnLinked"].get<double>(), 4));
    }
    for (const std::string& text : expected)
        EXPECT_NE(rtf.find("\\ulnone " + text), std::string::npos) << text;

    const fs::path pictures = fs::path(RELATIX_CLI_PATH).parent_path() / "Pictures";
    size_t available = 0;
    for (const auto& h : doc["hypotheses"])
        available += fs::exists(
            pictures / ("ped" + std::to_string(codeOfName(h["name"].get<std::string>())) + ".jpg"));
    EXPECT_EQ(count(rtf, "{\\pict\\wmetafile8"), available);

    const ConvertedReport pdf = convertToPdf(folder, "case");
    if (!pdf.converted) GTEST_SKIP() << "LibreOffice or poppler-utils not installed: no PDF check";
    for (const std::string& part : expected)
        // The title may wrap: its first words must be on the page.
        EXPECT_NE(pdf.text.find(part.substr(0, 30)), std::string::npos) << part;
    EXPECT_EQ(count(pdf.images, "\n") - 2, available) << pdf.images;
}

TEST(CliReport, simulationReportHasItsThreeTables) {
    testing::TempFolder folder;
    const ProgramRun run = runProgram(
        RELATIX_CLI_PATH,
        {"report", kExample, "-o", "simulation.rtf", "--simulation", "10", "--seed", "3"}, folder);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("10 simulations with seed 3"), std::string::npos);
    const std::string rtf = testing::readFile(folder.file("simulation.rtf"));
    for (const char* heading : {"Simulation report generated by RelatixX version 2.1",
                                "LR (Exact) - L(Pedigree 1)/L(Pedigree i)",
                                "LR(LE) - L(Pedigree 1)/L(Pedigree i)", "Ratio LR(Exact)/LR(LE)"})
        EXPECT_EQ(count(rtf, std::string("\\ulnone ") + heading + "\r\n"), 1u) << heading;
    // Four hypotheses: rows (1, 2..4) and (2..4, 1) in each table.
    EXPECT_EQ(count(rtf, "\\ulnone Pedigree 4\r\n"), 6u);
    EXPECT_EQ(rtf.find("Report generated by Relatix version"), std::string::npos);
}

// A hundred data sets fill every quantile of the ratio statistics; the report
// opens in a word processor with its three tables.
TEST(CliReport, simulationReportOfAHundredDataSetsOpensInAWordProcessor) {
    testing::TempFolder folder;
    const std::string duo = testing::duoCaseFile(folder);
    const ProgramRun run =
        runProgram(RELATIX_CLI_PATH,
                   {"report", duo, "-o", "duo.rtf", "--simulation", "100", "--seed", "5"}, folder);
    ASSERT_EQ(run.status, 0) << run.err;
    const ConvertedReport pdf = convertToPdf(folder, "duo");
    if (!pdf.converted) GTEST_SKIP() << "LibreOffice or poppler-utils not installed: no PDF check";
    for (const char* heading : {"Simulation report generated by RelatixX version 2.1",
                                "LR (Exact) - L(Pedigree 1)/L(Pedigree i)",
                                "LR(LE) - L(Pedigree 1)/L(Pedigree i)", "Ratio LR(Exact)/LR(LE)"})
        // The title wraps: its first words must be on the page.
        EXPECT_NE(pdf.text.find(std::string(heading).substr(0, 30)), std::string::npos) << heading;
}

// A report named by a symbolic link goes to the file the link points to; one
// sent to /dev/stdout is printed, and the link /dev/stdout stays a link.
TEST(CliReport, linksAndStandardOutputAreWrittenThroughNeverReplaced) {
    testing::TempFolder folder;
    const std::string duo = testing::duoCaseFile(folder);
    folder.write("real.rtf", "an earlier report");
    fs::create_symlink("real.rtf", folder.file("latest.rtf"));
    const ProgramRun linked =
        runProgram(RELATIX_CLI_PATH, {"report", duo, "-o", "latest.rtf"}, folder);
    ASSERT_EQ(linked.status, 0) << linked.err;
    EXPECT_TRUE(fs::is_symlink(folder.file("latest.rtf")));
    EXPECT_EQ(testing::readFile(folder.file("real.rtf")).rfind("{\\rtf1", 0), 0u);

    const ProgramRun printed =
        runProgram(RELATIX_CLI_PATH, {"report", duo, "-o", "/dev/stdout"}, folder);
    ASSERT_EQ(printed.status, 0) << printed.err;
    EXPECT_EQ(printed.out.rfind("{\\rtf1", 0), 0u);
    EXPECT_NE(printed.out.find("\\par}/dev/stdout\n"), std::string::npos);
    EXPECT_TRUE(fs::is_symlink("/dev/stdout"));
}

}  // namespace
}  // namespace relatix
