// The merlinEngine targets: one of the engine's four input files is fuzzed, the
// other three are a small valid case: three linked markers, a trio and a
// father with his child by an untyped mother.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace relatix::fuzz {

enum class MerlinInput { Data, Map, Frequencies, Pedigree };

// Runs the engine's likelihood on the fixed files with `which` replaced by the input.
void runMerlinOn(MerlinInput which, const std::uint8_t* data, std::size_t size);

}  // namespace relatix::fuzz
