// Fuzz target: PGM Genotyper exports imported into the bundled example (the file begins
// "Chrom"; the input is what follows).
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/core.h"
#include "fuzz_support.h"
#include "persistence/genotype_import.h"

using namespace relatix;
using namespace relatix::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text = "Chrom";
    text.append(reinterpret_cast<const char*>(data), size);
    const std::string path =
        writeInput("pgm.txt", reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    Core core = exampleCase();
    AnsweringUserInterface ui(data, size);
    importGenotypes(core, ui, path, false);
    return 0;
}
