// The command line of merlinEngine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace merlin {

struct Options {
    std::string dataFile;
    std::string pedigreeFile;
    std::string mapFile;
    std::string frequencyFile;  // empty: frequencies counted from the pedigree file
    bool likelihood = false;
    bool perFamily = false;
    bool quiet = false;
    bool simulate = false;
    bool save = false;
    std::uint64_t seed = 123456;
    std::string prefix = "merlin";
    int maxBits = 24;
    bool help = false;
};

inline constexpr int kLargestBitLimit = 28;

// Fills the options from the arguments (without the program name). On a fault
// returns false with one line of explanation in error.
bool parseOptions(const std::vector<std::string>& args, Options& options, std::string& error);

std::string usageText();

}  // namespace merlin
