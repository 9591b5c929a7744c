// Fuzz target: Kovarian case files through the quick analysis reader, placed on the default map.
#include "analysis/quick_case.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"

using namespace relatix;
using namespace relatix::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<MapEntry> map =
        loadQuickMarkerMap(RELATIX_SOURCE_DIR "/data/markerPositions.map");
    const std::string path = writeInput("case.kov", data, size);
    QuickCase quickCase;
    readQuickCaseFile(path, map, quickCase);
    return 0;
}
