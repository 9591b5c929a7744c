// Operations on the frequency database of a case: the populations with their
// markers and alleles, and the marker map. Positions are 1-based; a failed marker
// lookup gives -1 or nothing.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/core.h"
#include "core/records.h"

namespace relatix {

class UserInterface;

inline constexpr const char* kInvalidFrequencyMessage =
    "Please enter valid frequency >0.0 and <1.0";
inline constexpr const char* kDuplicateAlleleMessage = "Allele name already exists!";
inline constexpr const char* kNormaliseQuestion =
    "Allele frequencies do not sum up to 1.0, normalize?";

// --- Lookups -----------------------------------------------------------------

// 1-based position of the first marker whose name equals the given one exactly; -1 if none.
int markerPosition(const std::vector<Marker>& markers, const std::string& name);
int markerPosition(const Population& population, const std::string& name);
int markerPosition(const MarkerMap& map, const std::string& name);

// The first marker of that name, or nullptr.
Marker* findMarker(Population& population, const std::string& name);
const Marker* findMarker(const Population& population, const std::string& name);

// The allele names or frequencies of a marker in list order; empty for an absent marker.
std::vector<std::string> alleleNames(const Marker& marker);
std::vector<std::string> alleleNames(const Population& population, const std::string& name);
std::vector<double> alleleFrequencies(const Marker& marker);
std::vector<double> alleleFrequencies(const Population& population, const std::string& name);

// The marker of that name; when absent, a new one (chromosome 1, position 1.0, no
// alleles) is appended and returned. The reference stays valid until the
// population's marker list changes again.
Marker& findOrCreateMarker(Population& population, const std::string& name);

// --- Alleles -------------------------------------------------------------------

// True when allele a goes after allele b in allele order: numerically when both
// names read as non-zero numbers, else by byte order of the names.
bool alleleGreater(const std::string& a, const std::string& b);

// Inserts an allele before the first existing allele greater than it (else at
// the end). False, with nothing changed, when an allele of that name exists.
bool addAllele(Marker& marker, const std::string& name, double frequency);

// Removes the allele at a 1-based position; false for a position outside the list.
bool removeAllele(Marker& marker, int position);

// --- Marker map ----------------------------------------------------------------

// Adds a marker to the marker map, or, when the user agrees to overwrite a marker
// of the same name (asked once per such marker), gives that marker the new
// chromosome and position. Returns the 1-based position of the marker in the map.
int addMarkerDefinition(Core& core, UserInterface& ui, const std::string& name, int chromosome,
                        double position);

// Stable sort of the marker map by chromosome, then position.
void sortMarkerMap(Core& core);

// Removes the map entries at the given 1-based positions (positions outside the
// map are ignored); the populations keep their markers.
void removeMarkerDefinitions(Core& core, std::vector<int> positions);

// --- Populations ---------------------------------------------------------------

// Merges the populations at the given 1-based positions into the first of them
// (the lowest position): each source contributes the map markers the target lacks,
// the target is renamed "<target>_<source>", and the sources are removed. The
// active population keeps designating the same population, or the target when it
// was a source. False, with nothing changed, for fewer than two valid positions.
bool mergePopulations(Core& core, std::vector<int> positions);

// Removes the population at a 1-based position and corrects the active population.
bool removePopulation(Core& core, int position);

// For SNP markers: complements (A<->T, C<->G) the alleles of every population whose
// two alleles of a marker disagree with those of the reference population.
// False when the reference position is not a population.
bool flipStrands(Core& core, int referencePosition);

// --- Frequencies ---------------------------------------------------------------

// A frequency typed by the user: read as a decimal number, with a single comma
// accepted as decimal point; valid only when strictly between 0 and 1.
std::optional<double> parseFrequencyText(const std::string& text);

double frequencySum(const Marker& marker);
// True for a marker with at least two alleles whose frequencies sum to a value
// more than 1e-6 away from 1.
bool needsNormalising(const Marker& marker);
// Divides every frequency by the sum (nothing happens when the sum is not positive).
void normaliseFrequencies(Marker& marker);
// Asks whether to normalise a marker that needs it, and does so on Yes.
// Returns true when the frequencies were normalised.
bool offerNormalisation(UserInterface& ui, Marker& marker);

}  // namespace relatix
