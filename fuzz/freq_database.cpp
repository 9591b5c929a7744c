// Fuzz target: Frequency files (".freq") imported into the bundled example.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/core.h"
#include "fuzz_support.h"
#include "persistence/database_files.h"

using namespace relatix;
using namespace relatix::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = writeInput("population.freq", data, size);
    Core core = exampleCase();
    AnsweringUserInterface ui(data, size);
    importFreqFile(core, ui, path);
    return 0;
}
