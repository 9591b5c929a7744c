// Fuzz target: merlinEngine's allele frequency file, beside valid other inputs.
#include <cstddef>
#include <cstdint>

#include "merlin_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    relatix::fuzz::runMerlinOn(relatix::fuzz::MerlinInput::Frequencies, data, size);
    return 0;
}
