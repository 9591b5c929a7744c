#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace relatix::cli {

// The answers import-genotypes gives to the import's questions, for --help.
extern const char* const kGenotypeImportAnswers;

// relatix2-cli import-genotypes CASE.sav FILE -o OUT.sav [--index-alleles]
//     [--pgm-single|--pgm-multi] [--assign SAMPLE=K]... [--in-order] [--rename]
int runImportGenotypesCommand(const std::vector<std::string>& args, std::ostream& out,
                              std::ostream& err);

// relatix2-cli export-genotypes CASE.sav -o FILE.txt [--samples-as-rows]
int runExportGenotypesCommand(const std::vector<std::string>& args, std::ostream& out,
                              std::ostream& err);

}  // namespace relatix::cli
