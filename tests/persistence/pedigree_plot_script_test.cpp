#include "persistence/pedigree_plot_script.h"

#include <gtest/gtest.h>

namespace relatix {
namespace {

// Anna (female, typed) and Bob (male) with their child Carl (male, untyped),
// and Dora (female) whose only parent in the pedigree is Anna.
Core familyCase() {
    Core core;
    auto& persons = core.genotypeTable.pedigreePersons;
    persons = {Person("Anna", false), Person("Bob", true), Person("Carl", true),
               Person("Dora", false)};
    persons[0].dna.push_back({0, "D1", 0, "12", "13"});
    return core;
}

Pedigree familyPedigree(const std::string& name) {
    Pedigree pedigree;
    pedigree.name = name;
    pedigree.relations = {{1, 3}, {2, 3}, {1, 4}};
    return pedigree;
}

TEST(PedigreePlotScript, unsavedCaseStopsAfterTheFirstPlotLine) {
    const Core core = familyCase();
    const std::string script = pedigreePlotScript(core, familyPedigree("Trio"));
    const std::string expected =
        "# Start the Kovarian package\r\n"
        "foo = library(Kovarian, logical.return=TRUE)\r\n"
        "if(!foo)\r\n"
        "{\r\n"
        "foo2 = FALSE\r\n"
        "install.packages(\"Kovarian\"); foo2 = library(Kovarian, logical.return=T);\r\n"
        "}\r\n"
        "#Define the persons involved in the case\r\n"
        "persons <- c(\"Anna\", \"Bob\", \"Carl\", \"Dora\")\r\n"
        "sex <- c(\"Female\", \"Male\", \"Male\", \"Female\")\r\n"
        "#Define the pedigree\r\n"
        "ped1 <- KovarianPedigree(id=persons, dadid=c(NA,NA,\"Bob\",NA), "
        "momid=c(NA,NA,\"Anna\",\"Anna\"), sex=c(\"female\", \"male\", \"male\", \"female\"))\r\n"
        "pedigrees <- list(ped1)\r\n"
        // Dora has a mother only: one extra 0 after the per-person entries.
        "plot(ped1, affected=c(1,0,0,0,0), mar = c(4.1, 4, 4.1, 4), cex=0.9, angle=45, "
        "density=25);title(\"Trio\")\r\n";
    EXPECT_EQ(script, expected);
}

TEST(PedigreePlotScript, savedCaseWritesBothImagesBesideTheProject) {
    Core core = familyCase();
    core.projectPath = "C:\\cases\\case.sav";
    const std::string script = pedigreePlotScript(core, familyPedigree("Father: tested"));
    const std::string affected = ", affected=c(1,0,0,0,0)";
    const std::string secondPlot = "plot(ped1" + affected +
                                   ",cex=0.8, mar = c(4, 2, 4, 2),angle=45, density=25); "
                                   "title(\"Father: tested\");\r\n";
    const std::string tail =
        "title(\"Father: tested\")\r\n"
        "mainDir <- \"C:/cases\"\r\n"
        "subDir <- \"Pedigree plots\"\r\n"
        "dir.create(file.path(mainDir, subDir))\r\n"
        "setwd(file.path(mainDir, subDir))\r\n"
        "png(\"case - Father- tested.png\", width=349, height=235)\r\n" +
        secondPlot + "dev.off()\r\n" +
        "jpeg(\"case - Father- tested.jpg\", width=349, height=235)\r\n" + secondPlot +
        "dev.off()\r\n";
    ASSERT_GE(script.size(), tail.size());
    EXPECT_EQ(script.substr(script.size() - tail.size()), tail);
}

TEST(PedigreePlotScript, imagePathsUseTheProjectFolderAndTheCleanedName) {
    Core core;
    EXPECT_EQ(pedigreeImagePath(core, "Father: tested", ".png"), "");
    core.projectPath = "/home/user/cases/case.sav";
    EXPECT_EQ(pedigreeImageBaseName(core, "Father: tested"), "case - Father- tested");
    EXPECT_EQ(pedigreeImagePath(core, "Father: tested", ".png"),
              "/home/user/cases/Pedigree plots/case - Father- tested.png");
    core.projectPath = "a.b";  // shorter than an extension: no crash, nothing left
    EXPECT_EQ(pedigreeImageBaseName(core, "x"), " - x");
}

TEST(PedigreePlotScript, withoutPersonsAndWithUnsafeNames) {
    Core core;
    std::string script = pedigreePlotScript(core, Pedigree());
    EXPECT_EQ(script.find("persons <- "), std::string::npos);
    EXPECT_NE(script.find("dadid=c(), momid=c(), sex=c())\r\n"), std::string::npos);
    EXPECT_NE(script.find("affected=c()"), std::string::npos);

    // A quote in a name cannot close the R string and run the rest as code.
    core.genotypeTable.pedigreePersons = {Person("a\"); system(\"x", true)};
    Pedigree pedigree;
    pedigree.name = "p\"q";
    script = pedigreePlotScript(core, pedigree);
    EXPECT_NE(script.find("persons <- c(\"a\\\"); system(\\\"x\")\r\n"), std::string::npos);
    EXPECT_NE(script.find("title(\"p\\\"q\")\r\n"), std::string::npos);
    // Relations naming persons that do not exist are left out.
    pedigree.relations = {{5, 1}, {1, 7}};
    script = pedigreePlotScript(core, pedigree);
    EXPECT_NE(script.find("dadid=c(NA), momid=c(NA)"), std::string::npos);
}

}  // namespace
}  // namespace relatix
