// Where markers lie on the genetic map when the case's marker map does not say:
// the built-in marker table, the marker-position table read from
// markerPositions.map, and the lookup that places a marker by name.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/marker_names.h"

namespace relatix {

class Core;
class UserInterface;

inline constexpr const char* kMarkerPositionsFileName = "markerPositions.map";

struct MapEntry {
    std::string name;
    int chromosome = -1;
    double position = -1.0;  // cM
};

struct MarkerPlace {
    int chromosome = -1;
    double position = -1.0;
};

// The 62 entries of the built-in table, in table order; several spellings of one
// marker are separate entries.
const std::vector<MapEntry>& builtInMarkerTable();

// The first built-in entry whose name equals the given one ignoring case (the
// first and last characters are dropped first when quoted). A name in no entry
// gives chromosome -1 and position 10000.
MapEntry lookupBuiltInMarker(const std::string& name, bool quoted);

// A marker-position table as the file holds it: a header line, then name,
// chromosome and position separated by tabs. Lines that do not hold all three
// are passed over.
std::vector<MapEntry> parseMarkerPositions(const std::string& text);
// The text of a marker-position file holding the entries.
std::string formatMarkerPositions(const std::vector<MapEntry>& entries);

// The default table: markerPositions.map in the current directory, else the one
// in the program folder; empty when neither can be read.
std::vector<MapEntry> loadDefaultMarkerPositions(const std::string& programDirectory);

// The chromosome and position of a marker name: the first marker of the case's
// marker map whose name equals it ignoring case, else the first such entry of the
// table, which is then added to the marker map under the name as given.
std::optional<MarkerPlace> findMarkerPosition(Core& core, UserInterface& ui,
                                              const std::vector<MapEntry>& table,
                                              const std::string& name);

}  // namespace relatix
