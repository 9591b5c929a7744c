// Fuzz target: Save files of the first generation (versions below 2.0).
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/core.h"
#include "fuzz_support.h"
#include "persistence/legacy_save_files.h"

using namespace relatix;
using namespace relatix::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = writeInput("case.sav", data, size);
    Core core(scratchFolder());
    AnsweringUserInterface ui(data, size);
    readLegacySaveFile(core, ui, path, 1.5);
    return 0;
}
