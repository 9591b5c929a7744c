// relatix2-cli calculate [CASE.sav] [--reference K] [--theta X] [--json]
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace relatix {
class Core;
struct CalculationOutcome;
}  // namespace relatix

namespace relatix::cli {

// The bundled example case in the program folder.
std::string bundledExamplePath();

// The exit status of a command once its values are printed: 1, with the reason
// on stderr, when the linkage program gave no values (missing, killed or
// failed); 0 otherwise.
int engineStatus(const CalculationOutcome& outcome, std::ostream& err);
// The same for a simulation: 1 when the linkage program gave no value for any
// simulated data set.
int simulationEngineStatus(const Core& core, std::ostream& err);

int runCalculateCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace relatix::cli
