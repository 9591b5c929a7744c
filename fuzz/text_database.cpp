// Fuzz target: Single-system text databases, through the database import.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/core.h"
#include "fuzz_support.h"
#include "persistence/database_import.h"

using namespace relatix;
using namespace relatix::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = writeInput("database.txt", data, size);
    Core core = exampleCase();
    AnsweringUserInterface ui(data, size);
    readDatabase(core, ui, path);
    return 0;
}
