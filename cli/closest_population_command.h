// relatix2-cli closest-population: per ancestry profile the populations of a
// case's frequency database with log likelihood and posterior, most likely
// first; optionally the STRUCTURE file of the populations and the profiles.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace relatix::cli {

extern const char* const kClosestPopulationUsage;

// relatix2-cli closest-population CASE.sav [--profiles FILE [--pgm-single|--pgm-multi]]
//     [--json] [--structure FILE [--seed S]]
int runClosestPopulationCommand(const std::vector<std::string>& args, std::ostream& out,
                                std::ostream& err);

}  // namespace relatix::cli
