// Fuzz target: Delimited genotype tables imported into the bundled example.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/core.h"
#include "fuzz_support.h"
#include "persistence/genotype_import.h"

using namespace relatix;
using namespace relatix::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = writeInput("persons.txt", data, size);
    Core core = exampleCase();
    AnsweringUserInterface ui(data, size);
    importGenotypes(core, ui, path, false);
    return 0;
}
