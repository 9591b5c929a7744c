#include "persistence/genotype_export.h"

#include <ostream>

#include "core/core.h"
#include "core/decimal_text.h"

namespace relatix {

namespace {
constexpr const char* kLineEnd = "\r\n";
}

std::string exportedGenotype(const Core& core, size_t person, const std::string& markerName) {
    if (person >= core.persons.size()) return {};
    for (const DnaObservation& observation : core.persons[person].dna) {
        if (observation.markerName != markerName) continue;
        const std::string& first =
            observation.allele1.empty() ? observation.allele2 : observation.allele1;
        const std::string& second = observation.allele2.empty() ? first : observation.allele2;
        if (first.empty()) return {};
        return first + ", " + second;
    }
    return {};
}

void writeGenotypeTable(const Core& core, bool samplesAsRows, std::ostream& out) {
    const std::vector<Marker>& markers = core.markerMap.markers;
    if (samplesAsRows) {
        out << "Sample id\t";
        for (const Marker& marker : markers) out << marker.name << '\t';
        out << kLineEnd;
        for (size_t p = 0; p < core.persons.size(); ++p) {
            out << core.persons[p].name << '\t';
            for (const Marker& marker : markers)
                out << exportedGenotype(core, p, marker.name) << '\t';
            out << kLineEnd;
        }
        return;
    }
    out << "Marker\tChromosome\tPosition\t";
    for (const Person& person : core.persons) out << person.name << '\t';
    out << kLineEnd;
    for (const Marker& marker : markers) {
        out << marker.name << '\t' << marker.chromosome << '\t' << formatGeneral(marker.position, 6)
            << '\t';
        for (size_t p = 0; p < core.persons.size(); ++p)
            out << exportedGenotype(core, p, marker.name) << '\t';
        out << kLineEnd;
    }
}

AtomicWriteStatus exportGenotypes(const Core& core, const std::string& path, bool samplesAsRows) {
    return writeFileAtomically(
        path, [&](std::ostream& out) { writeGenotypeTable(core, samplesAsRows, out); });
}

}  // namespace relatix
