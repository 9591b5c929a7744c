#include "analysis/population_exports.h"

#include <algorithm>
#include <ostream>

#include "analysis/closest_population.h"
#include "core/core.h"
#include "core/decimal_text.h"
#include "core/frequency_database.h"
#include "simulation/random_generator.h"

namespace relatix {

StructureAlleleTable::StructureAlleleTable(const Core& core) : built_(true) {
    alleles_.reserve(core.markerMap.markers.size());
    for (const Marker& mapMarker : core.markerMap.markers) {
        std::vector<std::string> names;
        for (const Population& population : core.populations) {
            const Marker* marker = findMarker(population, mapMarker.name);
            if (!marker) continue;
            for (const Allele& allele : marker->alleles)
                if (std::find(names.begin(), names.end(), allele.name) == names.end())
                    names.push_back(allele.name);
        }
        alleles_.push_back(std::move(names));
    }
}

int StructureAlleleTable::code(size_t mapMarker, const std::string& allele) const {
    if (mapMarker >= alleles_.size()) return kStructureMissingCode;
    const auto& names = alleles_[mapMarker];
    const auto it = std::find(names.begin(), names.end(), allele);
    return it == names.end() ? kStructureMissingCode : static_cast<int>(it - names.begin()) + 1;
}

const std::vector<std::string>& StructureAlleleTable::alleles(size_t mapMarker) const {
    static const std::vector<std::string> none;
    return mapMarker < alleles_.size() ? alleles_[mapMarker] : none;
}

std::string structureDistanceLine(const std::vector<Marker>& mapMarkers) {
    std::string line;
    for (size_t m = 0; m < mapMarkers.size(); ++m) {
        if (m == 0 || mapMarkers[m].chromosome != mapMarkers[m - 1].chromosome)
            line += "-1";
        else
            line += formatGeneral(mapMarkers[m].position - mapMarkers[m - 1].position, 6);
        line += ' ';
    }
    return line;
}

std::optional<std::pair<size_t, size_t>> drawStructureGenotype(const Marker& marker,
                                                               RandomGenerator& random) {
    const size_t n = marker.alleles.size();
    if (n == 0) return std::nullopt;
    std::vector<std::pair<size_t, size_t>> genotypes;
    std::vector<double> cumulative;
    double sum = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double fi = marker.alleles[i].frequency;
        for (size_t j = i; j < n; ++j) {
            sum += i == j ? fi * fi : 2.0 * fi * marker.alleles[j].frequency;
            genotypes.emplace_back(i, j);
            cumulative.push_back(sum);
        }
    }
    // drawIndex takes the first cumulative sum above the draw, the last genotype otherwise.
    return genotypes[static_cast<size_t>(drawIndex(random, cumulative) - 1)];
}

namespace {

void writeCodes(std::ostream& out, int code1, int code2) {
    out << code1 << ' ' << code2 << ' ';
}

}  // namespace

std::string structureName(const std::string& name) {
    std::string written = name;
    for (char& c : written)
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') c = '_';
    return written;
}

std::vector<StructureRename> structureRenames(const Core& core) {
    std::vector<StructureRename> renames;
    auto add = [&](const std::string& name) {
        const std::string written = structureName(name);
        if (written != name) renames.push_back({name, written});
    };
    for (const Marker& marker : core.markerMap.markers) add(marker.name);
    for (const Person& profile : core.ancestryPersons) add(profile.name);
    return renames;
}

std::string structureRenamesText(const std::vector<StructureRename>& renames) {
    if (renames.empty()) return {};
    std::string text = "Names written otherwise in the STRUCTURE file:";
    for (const StructureRename& rename : renames) text += "\n" + rename.from + " -> " + rename.to;
    return text;
}

void writeStructureFile(const Core& core, std::uint32_t seed, std::ostream& out) {
    const std::vector<Marker>& map = core.markerMap.markers;
    for (const Marker& marker : map) out << structureName(marker.name) << ' ';
    out << "\r\n";
    const StructureAlleleTable table(core);
    out << structureDistanceLine(map) << "\r\n";

    // One stream of draws over the whole file, so that the seed alone gives the file again.
    RandomGenerator random(seed);
    int individual = 0;
    for (size_t p = 0; p < core.populations.size(); ++p) {
        const Population& population = core.populations[p];
        for (int k = 0; k < kStructureIndividualsPerPopulation; ++k) {
            out << "Individual" << ++individual << ' ' << p + 1 << " 1 ";
            for (size_t m = 0; m < map.size(); ++m) {
                const Marker* marker = findMarker(population, map[m].name);
                const auto genotype =
                    marker ? drawStructureGenotype(*marker, random) : std::nullopt;
                if (!genotype) {
                    writeCodes(out, kStructureMissingCode, kStructureMissingCode);
                    continue;
                }
                writeCodes(out, table.code(m, marker->alleles[genotype->first].name),
                           table.code(m, marker->alleles[genotype->second].name));
            }
            out << "\r\n";
        }
    }
    for (const Person& profile : core.ancestryPersons) {
        out << structureName(profile.name) << " 0 0 ";
        for (size_t m = 0; m < map.size(); ++m) {
            const DnaObservation* observation = observationOf(profile, map[m].name);
            if (!observation) {
                writeCodes(out, kStructureMissingCode, kStructureMissingCode);
                continue;
            }
            writeCodes(out, table.code(m, observation->allele1),
                       table.code(m, secondAllele(*observation)));
        }
        out << "\r\n";
    }
}

AtomicWriteStatus exportStructureFile(const Core& core, std::uint32_t seed,
                                      const std::string& path) {
    return writeFileAtomically(path,
                               [&](std::ostream& out) { writeStructureFile(core, seed, out); });
}

const Marker* genoGeographerFilterMarker(const Core& core, const std::string& markerName) {
    if (const Population* active = core.populationAt(core.activePopulation))
        if (const Marker* marker = findMarker(*active, markerName)) return marker;
    for (const Population& population : core.populations)
        if (const Marker* marker = findMarker(population, markerName)) return marker;
    return nullptr;
}

void writeGenoGeographerFile(const Core& core, const Person& profile, std::ostream& out) {
    out << "Marker;Genotype\r\n";
    for (const Marker& mapMarker : core.markerMap.markers) {
        const DnaObservation* observation = observationOf(profile, mapMarker.name);
        if (!observation) continue;
        const Marker* filter = genoGeographerFilterMarker(core, mapMarker.name);
        if (filter && !snpMarker(*filter)) continue;
        out << mapMarker.name << ';' << observation->allele1 << secondAllele(*observation)
            << "\r\n";
    }
}

AtomicWriteStatus exportGenoGeographerFile(const Core& core, const Person& profile,
                                           const std::string& path) {
    return writeFileAtomically(
        path, [&](std::ostream& out) { writeGenoGeographerFile(core, profile, out); });
}

void writeLikelihoodTable(const Core& core, std::ostream& out) {
    out << "Sample id\t";
    for (const Population& population : core.populations) out << population.name << '\t';
    out << "\r\n";
    const MarkerIndexTable table(core);
    for (const Person& profile : core.ancestryPersons) {
        out << profile.name << '\t';
        for (const PopulationResult& result : populationLikelihoods(core, table, profile, false))
            out << formatGeneral(result.logLikelihood, 6) << '\t';
        out << "\r\n";
    }
}

AtomicWriteStatus exportLikelihoodTable(const Core& core, const std::string& path) {
    return writeFileAtomically(path, [&](std::ostream& out) { writeLikelihoodTable(core, out); });
}

}  // namespace relatix
