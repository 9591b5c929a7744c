// Fuzz target: merlinEngine's data file, beside valid other inputs.
#include <cstddef>
#include <cstdint>

#include "merlin_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    relatix::fuzz::runMerlinOn(relatix::fuzz::MerlinInput::Data, data, size);
    return 0;
}
