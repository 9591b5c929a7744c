#include "persistence/legacy_save_files.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "core/catalogue.h"
#include "core/core.h"
#include "core/decimal_text.h"
#include "core/frequency_database.h"
#include "persistence/line_cursor.h"
#include "persistence/marker_positions.h"
#include "persistence/text_lines.h"
#include "platform/trace_file.h"
#include "platform/user_interface.h"

namespace relatix {

namespace {

struct LegacyPerson {
    std::string name;
    std::string sex;
    std::vector<std::pair<std::string, std::string>> alleles;  // per cluster system in order
};

ClusterMutation readMutation(LineCursor& f) {
    ClusterMutation m;
    m.model = f.keyInteger();
    if (m.model == 4) m.model = 3;
    m.rate = f.keyNumber();
    m.value2 = f.keyNumber();
    m.value3 = f.keyNumber();
    return m;
}

MutationSettings settingsOf(const ClusterMutation& m) {
    return {m.model, m.rate, m.value3, m.value2};
}

bool typed(const std::string& allele) {
    return !allele.empty() && allele != kUnknownAllele;
}

// Takes the calculation database into the marker map and a population, and the
// analysis persons into the persons, where the next calculation finds them.
void keepForCalculation(Core& core, const std::string& path, bool builtInChromosomes) {
    Population population;
    population.name = std::filesystem::path(path).stem().string();
    const ClusterDatabase& db = core.clusterDatabase;
    for (const Cluster& cluster : db.clusters) {
        for (const ClusterSystem& system : cluster.systems) {
            const int chromosome = builtInChromosomes
                                       ? cluster.chromosome + 1
                                       : lookupBuiltInMarker(system.name, false).chromosome;
            Marker marker(system.name, chromosome, system.position);
            for (size_t a = 0; a < system.alleleNames.size(); ++a)
                marker.alleles.push_back({system.alleleNames[a], a < system.frequencies.size()
                                                                     ? system.frequencies[a]
                                                                     : 0.0});
            marker.femaleMutation = settingsOf(system.mutation[0]);
            marker.maleMutation = settingsOf(system.mutation[1]);
            if (markerPosition(core.markerMap, system.name) < 0) {
                Marker entry = marker;
                entry.alleles.clear();
                core.markerMap.markers.push_back(std::move(entry));
            }
            population.markers.push_back(std::move(marker));
        }
    }
    sortMarkerMap(core);
    core.populations.push_back(std::move(population));
    core.activePopulation = static_cast<int>(core.populations.size());
}

// Where a reader met the end of the file inside an item, or an index outside
// its list: the message naming the file, the line and the item.
using Fault = std::optional<std::string>;

Fault readGeneration1(Core& core, LineCursor& f, const std::string& path) {
    ClusterDatabase& db = core.clusterDatabase;
    f.line();
    f.line();
    f.keyNumber();
    db.newAlleleFrequency = f.keyNumber();
    f.keyNumber();
    f.line();
    const long long systems = f.keyCount();
    if (f.pastEnd()) return endsInside(path, f.lineNumber(), "the parameters before the systems");
    for (long long i = 0; i < systems; ++i) {
        const int start = f.lineNumber();
        // Names such as "penta d" hold a blank: the name is the rest of the line.
        const std::string name = f.keyRest();
        const MapEntry place = lookupBuiltInMarker(name, false);
        Cluster cluster;
        cluster.chromosome = place.chromosome - 1;
        ClusterSystem system;
        system.name = name;
        system.position = place.position;
        f.line();
        const long long alleles = f.keyCount();
        for (long long a = 0; a < alleles && !f.pastEnd(); ++a) {
            system.alleleNames.push_back(f.word());
            system.frequencies.push_back(f.number());
            f.line();
        }
        if (f.pastEnd())
            return endsInside(path, start,
                              "system " + std::to_string(i + 1) + " of " + std::to_string(systems) +
                                  (name.empty() ? std::string() : " (" + name + ")"));
        cluster.systems.push_back(std::move(system));
        db.clusters.push_back(std::move(cluster));
        db.clusterNames.push_back("Unnamed");
        core.genotypeTable.addCluster();
        core.genotypeTable.addSystem(core.genotypeTable.clusterCount());
    }
    return std::nullopt;
}

Fault readGeneration2(Core& core, LineCursor& f, const std::string& path) {
    ClusterDatabase& db = core.clusterDatabase;
    GenotypeTable& table = core.genotypeTable;
    f.line();
    f.line();
    db.newAlleleFrequency = f.keyNumber();
    db.haplotypeWeight = f.keyNumber();
    f.keyNumber();
    if (f.line().rfind("[[Thresholds]]", 0) == 0) {
        const int start = f.lineNumber() - 1;
        bool ended = false;
        for (int i = 0; i < kCatalogueCount && !f.pastEnd(); ++i) {
            if (f.word() == "[[Steps]]") {
                f.line();
                ended = true;
                break;
            }
            core.pedigreeSettings.threshold[static_cast<size_t>(i)] = f.number();
            f.line();
        }
        if (!ended) f.line();
        for (int i = 0; i < kCatalogueCount && !f.pastEnd(); ++i) {
            f.word();
            core.pedigreeSettings.steps[static_cast<size_t>(i)] = f.integer();
            f.line();
        }
        f.line();
        if (f.pastEnd()) return endsInside(path, start, "the thresholds and steps");
    }

    const long long clusters = f.keyCount();
    if (f.pastEnd()) return endsInside(path, f.lineNumber(), "the parameters before the clusters");
    size_t systemCount = 0;
    for (long long c = 0; c < clusters; ++c) {
        const int clusterStart = f.lineNumber();
        const std::string clusterName = f.keyRest();
        const std::string cluster =
            "cluster " + std::to_string(c + 1) + " of " + std::to_string(clusters) +
            (clusterName.empty() ? std::string() : " (" + clusterName + ")");
        db.clusterNames.push_back(clusterName);
        db.clusters.emplace_back();
        table.addCluster();
        const long long systems = f.keyCount();
        if (f.pastEnd()) return endsInside(path, clusterStart, cluster);
        for (long long s = 0; s < systems; ++s) {
            const int start = f.lineNumber();
            ClusterSystem system;
            system.name = f.keyRest();
            system.position = f.keyNumber();
            system.mutation[0] = readMutation(f);
            system.mutation[1] = readMutation(f);
            f.line();
            const long long alleles = f.keyCount();
            for (long long a = 0; a < alleles && !f.pastEnd(); ++a) {
                system.alleleNames.push_back(f.word());
                system.frequencies.push_back(f.number());
                f.line();
            }
            if (f.pastEnd())
                return endsInside(
                    path, start,
                    "system " + std::to_string(s + 1) + " of " + std::to_string(systems) +
                        (system.name.empty() ? std::string() : " (" + system.name + ")") + " of " +
                        cluster);
            db.clusters.back().systems.push_back(std::move(system));
            table.addSystem(table.clusterCount());
            ++systemCount;
        }
        const int haplotypesStart = f.lineNumber();
        f.line();
        const long long haplotypes = f.keyCount();
        const size_t inCluster = db.clusters.back().systems.size();
        for (long long h = 0; h < haplotypes && !f.pastEnd(); ++h) {
            Haplotype haplotype;
            haplotype.name = f.word();
            haplotype.frequency = f.number();
            for (size_t s = 0; s < inCluster; ++s) haplotype.alleleIndices.push_back(f.integer());
            f.line();
            db.clusters.back().haplotypes.push_back(std::move(haplotype));
        }
        if (f.pastEnd()) return endsInside(path, haplotypesStart, "the haplotypes of " + cluster);
    }

    core.clearHypothesisResults();
    core.removeHypothesisPedigrees(false);
    const int hypothesesStart = f.lineNumber();
    f.line();
    const long long hypotheses = f.keyCount();
    const int main = f.keyInteger();
    // A file cut before its main hypothesis would otherwise be read as the
    // first catalogue entry.
    if (f.pastEnd()) return endsInside(path, hypothesesStart, "the hypotheses");
    if (main >= 0 && main < kCatalogueCount) {
        core.selectMainHypothesis(main);
        f.line();
        const int alternativesLine = f.lineNumber();
        f.key();
        const std::vector<int> alternatives = catalogueAlternatives(main + 1);
        for (long long i = 0; i + 1 < hypotheses && i < kCatalogueCount && !f.pastEnd(); ++i) {
            const int position = f.integer();
            if (f.pastEnd()) break;
            if (position < 0 || position >= static_cast<int>(alternatives.size()))
                return damagedAt(path, alternativesLine,
                                 "alternative hypothesis " + std::to_string(i + 1) +
                                     " is position " + std::to_string(position) +
                                     ", but the main hypothesis has " +
                                     std::to_string(alternatives.size()) + " alternatives");
            core.alternativeHypotheses.push_back(position);
            core.addAlternativePedigree(alternatives[static_cast<size_t>(position)]);
        }
        f.line();
        if (f.pastEnd()) return endsInside(path, alternativesLine, "the alternative hypotheses");
    } else if (main == kCreatedPedigrees) {
        core.mainHypothesis = kCreatedPedigrees;
        table.pedigreePersons.clear();
        core.createdPedigrees.clear();
    } else {
        // Not a catalogue case: read as a case without hypothesis.
        core.mainHypothesis = kNoHypothesis;
        f.line();
        f.line();
    }

    bool dnaData = false;
    while (!f.atEnd() && !dnaData) dnaData = f.line() == "[DNA data]";
    if (!dnaData) return endsInside(path, hypothesesStart, "the hypotheses, before its DNA data");
    const int dnaStart = f.lineNumber();
    const long long persons = f.keyCount();
    if (f.pastEnd()) return endsInside(path, dnaStart, "the DNA data");
    std::vector<LegacyPerson> read;
    for (long long p = 0; p < persons; ++p) {
        const int start = f.lineNumber();
        LegacyPerson person;
        f.line();
        person.name = f.keyWord();
        f.line();
        person.sex = f.keyWord();
        f.line();
        f.key();
        const int allelesLine = f.lineNumber();
        for (size_t s = 0; s < systemCount; ++s) {
            std::string a1 = f.word();
            std::string a2 = f.word();
            person.alleles.emplace_back(std::move(a1), std::move(a2));
        }
        const std::string item = "person " + std::to_string(p + 1) + " of " +
                                 std::to_string(persons) +
                                 (person.name.empty() ? std::string() : " (" + person.name + ")");
        // A person's alleles stand on one line; words from the lines after it
        // are another person's or another section's.
        const bool shortLine = f.lineNumber() != allelesLine;
        f.line();
        if (f.pastEnd()) return endsInside(path, start, item);
        if (shortLine)
            return damagedAt(path, allelesLine,
                             "the alleles of " + item + " hold fewer than the two alleles of the " +
                                 std::to_string(systemCount) + " systems");
        read.push_back(std::move(person));
    }
    core.resizeGenotypeTable(static_cast<int>(read.size()));
    table.personNames.assign(read.size(), std::string());
    table.sexCodes.assign(read.size(), 0);
    for (size_t p = 0; p < read.size(); ++p) {
        const LegacyPerson& person = read[p];
        if (person.name != "NoName") table.personNames[p] = person.name;
        table.sexCodes[p] = leadingInteger(person.sex);
        Person kept(person.name == "NoName" ? "NN" + std::to_string(p + 1) : person.name,
                    person.sex != "2");
        size_t k = 0;
        for (size_t c = 0; c < db.clusters.size(); ++c)
            for (size_t s = 0; s < db.clusters[c].systems.size(); ++s, ++k) {
                const auto& [a1, a2] = person.alleles[k];
                const int cluster = static_cast<int>(c) + 1, system = static_cast<int>(s) + 1,
                          position = static_cast<int>(p) + 1;
                table.setAlleleText(cluster, system, position, 1, a1);
                table.setAlleleText(cluster, system, position, 2, a2);
                // The unknown-allele placeholder is no typing.
                if (typed(a1) && typed(a2))
                    kept.dna.push_back({system, db.clusters[c].systems[s].name, cluster, a1, a2});
            }
        if (core.mainHypothesis == kCreatedPedigrees) {
            Person pedigreePerson = kept;
            pedigreePerson.name = person.name;
            table.pedigreePersons.push_back(std::move(pedigreePerson));
        } else {
            core.persons.push_back(std::move(kept));
        }
    }

    while (!f.atEnd()) {
        if (f.line() != "[Created pedigrees]") continue;
        const int sectionStart = f.lineNumber() - 1;
        const long long pedigrees = f.keyCount();
        f.line();
        if (f.pastEnd()) return endsInside(path, sectionStart, "the created pedigrees");
        for (long long g = 0; g < pedigrees; ++g) {
            const int start = f.lineNumber();
            Pedigree pedigree;
            f.key();
            pedigree.name = f.line();
            if (!pedigree.name.empty() && pedigree.name.front() == ' ') pedigree.name.erase(0, 1);
            f.line();
            const long long relations = f.keyCount();
            f.skip(2);
            for (long long r = 0; r < relations && !f.pastEnd(); ++r) {
                Relation relation;
                relation.parent = f.integer();
                relation.child = f.integer();
                f.line();
                pedigree.relations.push_back(relation);
            }
            if (f.pastEnd())
                return endsInside(
                    path, start,
                    "created pedigree " + std::to_string(g + 1) + " of " +
                        std::to_string(pedigrees) +
                        (pedigree.name.empty() ? std::string() : " (" + pedigree.name + ")"));
            core.createdPedigrees.push_back(std::move(pedigree));
        }
    }
    return std::nullopt;
}

}  // namespace

bool readLegacySaveFile(Core& core, UserInterface& ui, const std::string& path, double version) {
    // Regular files only, read once and whole.
    TextFile text = readTextFile(path);
    if (!text.text) return false;
    LineCursor file(std::move(*text.text));
    TraceFile trace("readLegacySaveFile");
    trace << "Version " << version << "\r\n";
    const bool firstGeneration = version < 2.0;
    const Core before = core;
    const Fault fault =
        firstGeneration ? readGeneration1(core, file, path) : readGeneration2(core, file, path);
    if (fault) {
        // A damaged file is refused whole: nothing of it stays in the case.
        trace << *fault << "\r\n";
        core = before;
        ui.messageBox(*fault, kApplicationTitle, MessageButtons::Ok, MessageIcon::Error);
        return false;
    }
    keepForCalculation(core, path, firstGeneration);
    return true;
}

}  // namespace relatix
