// Fuzz target: Kovarian case files through the database import.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/core.h"
#include "fuzz_support.h"
#include "persistence/kovarian_file.h"

using namespace relatix;
using namespace relatix::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = writeInput("case.kov", data, size);
    Core core = exampleCase();
    AnsweringUserInterface ui(data, size);
    readKovarianFile(core, ui, path);
    return 0;
}
