// Fuzz target: Marker maps (".map") imported into the bundled example.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/core.h"
#include "fuzz_support.h"
#include "persistence/database_files.h"

using namespace relatix;
using namespace relatix::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = writeInput("markers.map", data, size);
    Core core = exampleCase();
    AnsweringUserInterface ui(data, size);
    importMapFile(core, ui, path);
    return 0;
}
