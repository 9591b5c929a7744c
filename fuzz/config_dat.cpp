// Fuzz target: config.dat, the default configuration a new project starts from.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/core.h"
#include "fuzz_support.h"
#include "persistence/default_configuration.h"

using namespace relatix;
using namespace relatix::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    writeInput("config.dat", data, size);
    Core core(scratchFolder());
    readDefaultConfiguration(core);
    return 0;
}
