// relatix2-cli report CASE.sav -o FILE.rtf [--simulation N] [--seed S] [--no-mutation]
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace relatix::cli {

int runReportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace relatix::cli
