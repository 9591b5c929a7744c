#include "linkage/core_update.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "core/core.h"
#include "core/decimal_text.h"
#include "core/frequency_database.h"
#include "core/new_allele_models.h"
#include "linkage/linkage_data_files.h"
#include "platform/trace_file.h"

namespace relatix {

namespace {

ClusterMutation clusterMutation(const MutationSettings& m) {
    ClusterMutation c;
    c.model = m.model;
    c.rate = m.rate;
    c.value2 = m.range;
    c.value3 = m.rate2;
    return c;
}

const DnaObservation* observationOf(const Person& person, const std::string& marker) {
    for (const DnaObservation& dna : person.dna)
        if (dna.markerName == marker) return &dna;
    return nullptr;
}

}  // namespace

void updateCore(Core& core) {
    TraceFile trace("updateCore");
    ClusterDatabase& db = core.clusterDatabase;
    GenotypeTable& table = core.genotypeTable;
    db.clusters.clear();
    db.clusterNames.clear();
    table.clearClusters();
    trace << "Database is empty\n";

    const Population* population = core.populationAt(core.activePopulation);
    std::vector<const Marker*> used;
    if (population) {
        for (const Marker& mapMarker : core.markerMap.markers) {
            const Marker* marker = findMarker(*population, mapMarker.name);
            if (!marker) continue;
            Cluster cluster;
            cluster.chromosome = mapMarker.chromosome - 1;
            ClusterSystem system;
            system.name = mapMarker.name;
            for (const Allele& allele : marker->alleles) {
                system.alleleNames.push_back(allele.name);
                system.frequencies.push_back(allele.frequency);
            }
            system.position = mapMarker.position;
            // With mutation turned off every transmission keeps its allele: the simple
            // model with rate 0 gives the identity matrix for both sexes.
            const MutationSettings none{1, 0.0, 0.0, 0.0};
            system.mutation[0] =
                clusterMutation(core.mutationsOff ? none : mapMarker.femaleMutation);
            system.mutation[1] = clusterMutation(core.mutationsOff ? none : mapMarker.maleMutation);
            cluster.systems.push_back(std::move(system));
            db.clusters.push_back(std::move(cluster));
            db.clusterNames.push_back(mapMarker.name);
            table.addCluster();
            table.addSystem(table.clusterCount());
            used.push_back(&mapMarker);
        }
    }

    trace << "Adding persons\n";
    // Drawn pedigrees keep their persons, with the DNA typed for them, as the
    // pedigree persons; catalogue cases keep them as the case's persons.
    const std::vector<Person>& source =
        core.mainHypothesis == kCreatedPedigrees ? table.pedigreePersons : core.persons;
    const int persons = std::min<int>(table.personCount, static_cast<int>(source.size()));
    for (int k = 1; k <= persons; ++k) {
        const Person& person = source[static_cast<size_t>(k - 1)];
        for (size_t c = 0; c < used.size(); ++c) {
            const DnaObservation* dna = observationOf(person, used[c]->name);
            if (!dna) continue;
            ClusterSystem& system = db.clusters[c].systems[0];
            const int cluster = static_cast<int>(c) + 1;
            table.setAlleleText(cluster, 1, k, 1, dna->allele1);
            table.setAlleleText(cluster, 1, k, 2, dna->allele2);
            for (const std::string& allele : {dna->allele1, dna->allele2}) {
                const auto& names = system.alleleNames;
                if (std::find(names.begin(), names.end(), allele) != names.end()) continue;
                system.alleleNames.push_back(allele);
                system.frequencies.push_back(db.newAlleleFrequency);
            }
        }
    }

    // The case's new-allele model brings each marker's frequencies to a sum of 1:
    // model 1 divides by the sum, model 2 takes an excess from the alleles nobody
    // carries and gives a shortfall to one rest allele. The engines and the files
    // then all see the same frequencies.
    for (size_t c = 0; c < db.clusters.size(); ++c) {
        std::vector<ClusterSystem>& systems = db.clusters[c].systems;
        for (size_t s = 0; s < systems.size(); ++s) {
            ClusterSystem& system = systems[s];
            for (double& f : system.frequencies)
                if (f == 0.0) f = 0.01;
            std::vector<double> adjusted = adjustFrequencies(
                system.frequencies, system.alleleNames,
                genotypesAt(table, static_cast<int>(c) + 1, static_cast<int>(s) + 1),
                db.newAlleleModel);
            if (adjusted.size() > system.alleleNames.size())
                system.alleleNames.push_back(kRestAlleleName);
            // What model 2 cannot absorb (every allele carried), and a rest too
            // small to keep, are divided out.
            const double sum = std::accumulate(adjusted.begin(), adjusted.end(), 0.0);
            if (sum > 0 && std::fabs(sum - 1.0) > 1e-12)
                for (double& f : adjusted) f /= sum;
            system.frequencies = std::move(adjusted);
        }
    }
    trace << "Done with updating\n";
}

std::vector<bool> clusterSkipList(const Core& core, bool* missingData) {
    const GenotypeTable& table = core.genotypeTable;
    const auto& clusters = core.clusterDatabase.clusters;
    std::vector<bool> skip(clusters.size(), false);
    if (missingData) *missingData = false;
    for (size_t c = 0; c < clusters.size(); ++c) {
        const int cluster = static_cast<int>(c) + 1;
        const int systems = c < table.systemsPerCluster.size() ? table.systemsPerCluster[c] : 0;
        if (clusters[c].systems.empty() || systems == 0) {
            skip[c] = true;
            continue;
        }
        for (int s = 1; s <= systems && !skip[c]; ++s)
            for (int p = 1; p <= table.personCount && !skip[c]; ++p)
                if (table.alleleText(cluster, s, p, 1) == kUnknownAllele ||
                    table.alleleText(cluster, s, p, 2) == kUnknownAllele) {
                    skip[c] = true;
                    if (missingData) *missingData = true;
                }
    }
    return skip;
}

}  // namespace relatix

namespace relatix {

std::vector<std::string> newAlleleNotices(const Core& core) {
    std::vector<std::string> notices;
    const Population* population = core.populationAt(core.activePopulation);
    if (!population) return notices;
    const std::vector<Person>& persons = core.mainHypothesis == kCreatedPedigrees
                                             ? core.genotypeTable.pedigreePersons
                                             : core.persons;
    for (const Marker& mapMarker : core.markerMap.markers) {
        const Marker* marker = findMarker(*population, mapMarker.name);
        if (!marker) continue;
        // A marker the calculation leaves out takes no allele in.
        const auto& names = core.clusterDatabase.clusterNames;
        const size_t c = static_cast<size_t>(std::find(names.begin(), names.end(), mapMarker.name) -
                                             names.begin());
        if (c < core.markerSkipped.size() && core.markerSkipped[c]) continue;
        std::vector<std::string> named;
        for (const Person& person : persons) {
            const DnaObservation* dna = observationOf(person, mapMarker.name);
            if (!dna) continue;
            for (const std::string& allele : {dna->allele1, dna->allele2}) {
                if (allele.empty() || allele == kUnknownAllele) continue;
                bool known = false;
                for (const Allele& a : marker->alleles) known = known || a.name == allele;
                if (known || std::find(named.begin(), named.end(), allele) != named.end()) continue;
                named.push_back(allele);
                notices.push_back("Allele " + allele + " of " + mapMarker.name + " (" +
                                  person.name + ") is not in the population " + population->name +
                                  ": it gets the new-allele frequency " +
                                  formatGeneral(core.clusterDatabase.newAlleleFrequency, 6));
            }
        }
    }
    return notices;
}

std::vector<UnusedMarker> unusedMarkers(const Core& core, const std::vector<bool>& skipList) {
    std::vector<UnusedMarker> unused;
    const Population* population = core.populationAt(core.activePopulation);
    const auto& names = core.clusterDatabase.clusterNames;
    for (const Marker& marker : core.markerMap.markers) {
        if (!population) {
            unused.push_back({marker.name, "there is no active population"});
            continue;
        }
        if (!findMarker(*population, marker.name)) {
            unused.push_back({marker.name, "not in the active population"});
            continue;
        }
        const auto cluster = std::find(names.begin(), names.end(), marker.name);
        const size_t c = static_cast<size_t>(cluster - names.begin());
        if (cluster != names.end() && c < skipList.size() && skipList[c])
            unused.push_back({marker.name, "not typed for every person of the case"});
        else if (marker.chromosome - 1 == kXClusterChromosome)
            unused.push_back(
                {marker.name, "on the X chromosome, which the linkage program leaves out"});
    }
    return unused;
}

}  // namespace relatix
