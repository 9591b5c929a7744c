// The whole run of merlinEngine: options, input files, optional simulation and
// the per-chromosome likelihood blocks written to the output stream.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace merlin {

// Runs with the arguments that follow the program name; returns the exit status.
int runEngine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              int threads = 2);

// The text of a log-likelihood as printed: twelve significant digits, never "-0".
std::string formatLogLikelihood(double value);

}  // namespace merlin
