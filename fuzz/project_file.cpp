// Fuzz target: The project file, as Open reads it once its first line called for it.
#include "persistence/project_file.h"

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/core.h"
#include "fuzz_support.h"

using namespace relatix;
using namespace relatix::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Core core(scratchFolder());
    AnsweringUserInterface ui(data, size);
    readProjectText(core, std::string(reinterpret_cast<const char*>(data), size), ui);
    return 0;
}
