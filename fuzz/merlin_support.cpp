#include "merlin_support.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "engine.h"
#include "fuzz_support.h"

namespace relatix::fuzz {

namespace {

const char* const kData = "M m1\nM m2\nM m3\n";
const char* const kMap = "CHROMOSOME\tMARKER\tPOSITION\n1\tm1\t10\n1\tm2\t25\n1\tm3\t40\n";
const char* const kFrequencies =
    "M m1\nA 1 0.2\nA 2 0.3\nA 3 0.5\n"
    "M m2\nA 1 0.25\nA 2 0.25\nA 3 0.25\nA 4 0.25\n"
    "M m3\nA 1 0.6\nA 2 0.4\n";
const char* const kPedigree =
    "1 1 0 0 1 1 2 1 3 1 2\n"
    "1 2 0 0 2 2 3 2 4 1 1\n"
    "1 3 1 2 1 1 3 2 3 1 1\n"
    "2 1 0 0 1 1 1 0 0 2 2\n"
    "2 3 0 0 2 0 0 0 0 0 0\n"
    "2 2 1 3 2 1 2 3 4 1 2\n";

std::string fixedFile(const char* name, const char* text) {
    const std::string path = (std::filesystem::path(scratchFolder()) / name).string();
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    return path;
}

}  // namespace

void runMerlinOn(MerlinInput which, const std::uint8_t* data, std::size_t size) {
    static const std::string fixed[] = {fixedFile("fixed.dat", kData), fixedFile("fixed.map", kMap),
                                        fixedFile("fixed.freq", kFrequencies),
                                        fixedFile("fixed.ped", kPedigree)};
    std::string files[4] = {fixed[0], fixed[1], fixed[2], fixed[3]};
    files[static_cast<int>(which)] = writeInput("fuzzed.input", data, size);
    const std::vector<std::string> args = {"-d",          files[0],       "-m",     files[1],
                                           "-f",          files[2],       "-p",     files[3],
                                           "--perFamily", "--likelihood", "--quiet"};
    std::ostringstream out, err;
    merlin::runEngine(args, out, err, 1);
}

}  // namespace relatix::fuzz
