#include "core/frequency_database.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "core/decimal_text.h"
#include "core/marker_names.h"
#include "platform/user_interface.h"

namespace relatix {

// --- Lookups -----------------------------------------------------------------

int markerPosition(const std::vector<Marker>& markers, const std::string& name) {
    for (size_t i = 0; i < markers.size(); ++i)
        if (sameMarkerName(markers[i].name, name)) return static_cast<int>(i) + 1;
    return -1;
}

int markerPosition(const Population& population, const std::string& name) {
    return markerPosition(population.markers, name);
}

int markerPosition(const MarkerMap& map, const std::string& name) {
    return markerPosition(map.markers, name);
}

Marker* findMarker(Population& population, const std::string& name) {
    const int position = markerPosition(population, name);
    return position < 1 ? nullptr : &population.markers[static_cast<size_t>(position - 1)];
}

const Marker* findMarker(const Population& population, const std::string& name) {
    const int position = markerPosition(population, name);
    return position < 1 ? nullptr : &population.markers[static_cast<size_t>(position - 1)];
}

std::vector<std::string> alleleNames(const Marker& marker) {
    std::vector<std::string> names;
    names.reserve(marker.alleles.size());
    for (const Allele& allele : marker.alleles) names.push_back(allele.name);
    return names;
}

std::vector<std::string> alleleNames(const Population& population, const std::string& name) {
    const Marker* marker = findMarker(population, name);
    return marker ? alleleNames(*marker) : std::vector<std::string>{};
}

std::vector<double> alleleFrequencies(const Marker& marker) {
    std::vector<double> frequencies;
    frequencies.reserve(marker.alleles.size());
    for (const Allele& allele : marker.alleles) frequencies.push_back(allele.frequency);
    return frequencies;
}

std::vector<double> alleleFrequencies(const Population& population, const std::string& name) {
    const Marker* marker = findMarker(population, name);
    return marker ? alleleFrequencies(*marker) : std::vector<double>{};
}

Marker& findOrCreateMarker(Population& population, const std::string& name) {
    if (Marker* marker = findMarker(population, name)) return *marker;
    population.markers.emplace_back(name, 1, 1.0);
    return population.markers.back();
}

// --- Alleles -------------------------------------------------------------------

bool alleleGreater(const std::string& a, const std::string& b) {
    const double valueA = readDecimal(a);
    const double valueB = readDecimal(b);
    if (valueA != 0.0 && valueB != 0.0) return valueA > valueB;
    return a > b;
}

bool addAllele(Marker& marker, const std::string& name, double frequency) {
    const auto& alleles = marker.alleles;
    if (std::any_of(alleles.begin(), alleles.end(),
                    [&](const Allele& a) { return a.name == name; }))
        return false;
    const auto before = std::find_if(alleles.begin(), alleles.end(),
                                     [&](const Allele& a) { return alleleGreater(a.name, name); });
    marker.alleles.insert(before, Allele{name, frequency});
    return true;
}

bool removeAllele(Marker& marker, int position) {
    if (position < 1 || position > static_cast<int>(marker.alleles.size())) return false;
    marker.alleles.erase(marker.alleles.begin() + (position - 1));
    return true;
}

// --- Marker map ----------------------------------------------------------------

int addMarkerDefinition(Core& core, UserInterface& ui, const std::string& name, int chromosome,
                        double position) {
    auto& markers = core.markerMap.markers;
    int overwrite = 0;
    for (size_t i = 0; i < markers.size(); ++i) {
        if (!sameMarkerName(markers[i].name, name)) continue;
        const Answer answer =
            ui.messageBox("System : " + name + " already exists in database, overwrite?",
                          kApplicationTitle, MessageButtons::YesNo, MessageIcon::Question);
        if (answer == Answer::Yes) overwrite = static_cast<int>(i) + 1;
    }
    if (overwrite > 0) {
        Marker& marker = markers[static_cast<size_t>(overwrite - 1)];
        marker.chromosome = chromosome;
        marker.position = position;
        return overwrite;
    }
    const auto before = std::find_if(markers.begin(), markers.end(), [&](const Marker& m) {
        return (m.chromosome == chromosome && m.position >= position) || m.chromosome > chromosome;
    });
    const auto inserted = markers.insert(before, Marker(name, chromosome, position));
    return static_cast<int>(inserted - markers.begin()) + 1;
}

void sortMarkerMap(Core& core) {
    std::stable_sort(core.markerMap.markers.begin(), core.markerMap.markers.end(),
                     [](const Marker& a, const Marker& b) {
                         if (a.chromosome != b.chromosome) return a.chromosome < b.chromosome;
                         return a.position < b.position;
                     });
}

void removeMarkerDefinitions(Core& core, std::vector<int> positions) {
    auto& markers = core.markerMap.markers;
    std::sort(positions.begin(), positions.end(), std::greater<>());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    for (int position : positions)
        if (position >= 1 && position <= static_cast<int>(markers.size()))
            markers.erase(markers.begin() + (position - 1));
}

// --- Populations ---------------------------------------------------------------

bool mergePopulations(Core& core, std::vector<int> positions) {
    const int count = static_cast<int>(core.populations.size());
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    std::erase_if(positions, [&](int p) { return p < 1 || p > count; });
    if (positions.size() < 2) return false;

    const int targetPosition = positions.front();
    for (size_t s = 1; s < positions.size(); ++s) {
        Population& target = core.populations[static_cast<size_t>(targetPosition - 1)];
        const Population& source = core.populations[static_cast<size_t>(positions[s] - 1)];
        for (const Marker& mapMarker : core.markerMap.markers) {
            const Marker* sourceMarker = findMarker(source, mapMarker.name);
            if (!sourceMarker || findMarker(target, mapMarker.name)) continue;
            Marker merged(mapMarker.name, mapMarker.chromosome, mapMarker.position);
            for (const Allele& allele : sourceMarker->alleles)
                addAllele(merged, allele.name, allele.frequency);
            target.markers.push_back(std::move(merged));
        }
        target.name += "_" + source.name;
    }

    int active = core.activePopulation;
    const bool activeWasSource =
        std::find(positions.begin() + 1, positions.end(), active) != positions.end();
    if (activeWasSource) {
        active = targetPosition;
    } else {
        active -= static_cast<int>(std::count_if(positions.begin() + 1, positions.end(),
                                                 [&](int p) { return p < active; }));
    }
    for (size_t s = positions.size() - 1; s >= 1; --s)
        core.populations.erase(core.populations.begin() + (positions[s] - 1));
    core.activePopulation = active;
    return true;
}

bool removePopulation(Core& core, int position) {
    if (position < 1 || position > static_cast<int>(core.populations.size())) return false;
    core.populations.erase(core.populations.begin() + (position - 1));
    if (core.activePopulation == position)
        core.activePopulation = 0;
    else if (position < core.activePopulation)
        --core.activePopulation;
    return true;
}

namespace {

bool isNucleotide(const std::string& name) {
    return name == "A" || name == "C" || name == "G" || name == "T";
}

bool isSnpPair(const Marker& marker) {
    return marker.alleles.size() == 2 && isNucleotide(marker.alleles[0].name) &&
           isNucleotide(marker.alleles[1].name);
}

std::string complement(const std::string& name) {
    if (name == "A") return "T";
    if (name == "T") return "A";
    if (name == "C") return "G";
    if (name == "G") return "C";
    return name;
}

}  // namespace

bool flipStrands(Core& core, int referencePosition) {
    if (!core.populationAt(referencePosition)) return false;
    const size_t reference = static_cast<size_t>(referencePosition - 1);
    for (const Marker& mapMarker : core.markerMap.markers) {
        const Marker* referenceMarker = findMarker(core.populations[reference], mapMarker.name);
        if (!referenceMarker || !isSnpPair(*referenceMarker)) continue;
        const std::string& r1 = referenceMarker->alleles[0].name;
        const std::string& r2 = referenceMarker->alleles[1].name;
        for (size_t p = 0; p < core.populations.size(); ++p) {
            if (p == reference) continue;
            Marker* other = findMarker(core.populations[p], mapMarker.name);
            if (!other || !isSnpPair(*other)) continue;
            const std::string& o1 = other->alleles[0].name;
            const std::string& o2 = other->alleles[1].name;
            if ((o1 == r1 && o2 == r2) || (o1 == r2 && o2 == r1)) continue;
            for (Allele& allele : other->alleles) allele.name = complement(allele.name);
        }
    }
    return true;
}

// --- Frequencies ---------------------------------------------------------------

std::optional<double> parseFrequencyText(const std::string& text) {
    const double value = readDecimalWithComma(text);
    if (value > 0.0 && value < 1.0) return value;
    return std::nullopt;
}

double frequencySum(const Marker& marker) {
    double sum = 0.0;
    for (const Allele& allele : marker.alleles) sum += allele.frequency;
    return sum;
}

bool needsNormalising(const Marker& marker) {
    return marker.alleles.size() >= 2 && std::fabs(frequencySum(marker) - 1.0) > 1e-6;
}

void normaliseFrequencies(Marker& marker) {
    const double sum = frequencySum(marker);
    if (!(sum > 0.0)) return;
    for (Allele& allele : marker.alleles) allele.frequency /= sum;
}

bool offerNormalisation(UserInterface& ui, Marker& marker) {
    if (!needsNormalising(marker)) return false;
    if (ui.messageBox(kNormaliseQuestion, "Notification", MessageButtons::YesNo,
                      MessageIcon::Question) != Answer::Yes)
        return false;
    normaliseFrequencies(marker);
    return true;
}

}  // namespace relatix
