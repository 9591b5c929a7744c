#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace relatix::cli {

// The answers the command gives to the import's questions, for --help.
extern const char* const kImportDatabaseAnswers;

// relatix2-cli import-database CASE.sav FILE... -o OUT.sav
int runImportDatabaseCommand(const std::vector<std::string>& args, std::ostream& out,
                             std::ostream& err);

}  // namespace relatix::cli
