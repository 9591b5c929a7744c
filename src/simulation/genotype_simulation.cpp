#include "simulation/genotype_simulation.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/catalogue.h"
#include "core/core.h"
#include "core/decimal_text.h"
#include "engine/haplotype_frequencies.h"
#include "engine/mutation_models.h"
#include "linkage/linkage_ped_file.h"
#include "platform/trace_file.h"
#include "platform/user_interface.h"

namespace relatix {

namespace {

std::vector<double> runningSums(const std::vector<double>& values) {
    std::vector<double> sums(values.size());
    double sum = 0.0;
    for (size_t i = 0; i < values.size(); ++i) sums[i] = sum += values[i];
    return sums;
}

CumulativeMatrix cumulativeMutation(const ClusterMutation& m, const ClusterSystem& system) {
    const MutationMatrix matrix =
        buildMutationMatrix(MutationModel{m.model, m.rate, m.value2, m.value3}, system.alleleNames);
    CumulativeMatrix out;
    out.size = matrix.size();
    out.values.resize(static_cast<size_t>(out.size) * static_cast<size_t>(out.size));
    for (int from = 0; from < out.size; ++from) {
        double sum = 0.0;
        for (int to = 0; to < out.size; ++to)
            out.values[static_cast<size_t>(from) * out.size + to] = sum += matrix.at(from, to);
    }
    return out;
}

int alleleNumber(const std::string& text) {
    return readLeadingInteger(text);
}

std::vector<Person>& persons(SimulationRun& run) {
    return run.core.genotypeTable.pedigreePersons;
}

// The pedigrees of the hypotheses: the case's own when there is one per code,
// else the catalogue's relations of each code.
std::vector<std::vector<Relation>> hypothesisRelations(const Core& core,
                                                       const std::vector<int>& codes) {
    std::vector<std::vector<Relation>> relations;
    for (size_t t = 0; t < codes.size(); ++t)
        relations.push_back(core.hypothesisPedigrees.size() == codes.size()
                                ? core.hypothesisPedigrees[t].relations
                                : catalogueRelationList(codes[t]));
    return relations;
}

// A pedigree person for every person a relation names, with the catalogue's sexes.
void ensurePedigreePersons(Core& core, const std::vector<std::vector<Relation>>& relations,
                           UserInterface& ui) {
    size_t needed = 0;
    for (const auto& list : relations)
        for (const Relation& r : list)
            needed = std::max({needed, static_cast<size_t>(std::max(r.parent, 0)),
                               static_cast<size_t>(std::max(r.child, 0))});
    std::vector<Person>& people = core.genotypeTable.pedigreePersons;
    if (people.size() >= needed) return;
    const std::vector<int> sexes = pedigreeSexes(core.mainHypothesis + 1);
    if (sexes.empty()) ui.notify("Some error occurred in the simulations");
    for (size_t i = people.size(); i < std::max(needed, sexes.size()); ++i)
        people.emplace_back("NN" + std::to_string(i + 1), i < sexes.size() ? sexes[i] != 2 : true);
}

const CumulativeMatrix& mutationOf(const SimulationRun& run, bool male,
                                   const SimulationMapEntry& entry) {
    const auto& table = male ? run.maleCumulativeMutation : run.femaleCumulativeMutation;
    return table[static_cast<size_t>(entry.cluster - 1)][static_cast<size_t>(entry.system - 1)];
}

// An allele of the entry's system drawn from its cluster's haplotype frequencies.
int drawPopulationAllele(SimulationRun& run, const SimulationMapEntry& entry) {
    const size_t c = static_cast<size_t>(entry.cluster - 1);
    const int h = drawIndex(run.random, run.haplotypeCumulatives[c]);
    if (h < 1) return 0;
    return run.haplotypeLists[c][static_cast<size_t>(h - 1)][static_cast<size_t>(entry.system - 1)];
}

}  // namespace

void prepareSimulationTables(SimulationRun& run, UserInterface& ui) {
    TraceFile* trace = run.trace;
    const ClusterDatabase& database = run.core.clusterDatabase;
    if (trace) *trace << "Generating cumulative matrices...\r\n";
    run.haplotypeLists.clear();
    run.haplotypeCumulatives.clear();
    run.femaleCumulativeMutation.clear();
    run.maleCumulativeMutation.clear();
    for (const Cluster& cluster : database.clusters) {
        HaplotypeFrequencies estimate =
            estimateHaplotypeFrequencies(cluster, database.haplotypeWeight);
        run.haplotypeCumulatives.push_back(runningSums(estimate.frequencies));
        run.haplotypeLists.push_back(std::move(estimate.haplotypes));
        run.femaleCumulativeMutation.emplace_back();
        run.maleCumulativeMutation.emplace_back();
        for (const ClusterSystem& system : cluster.systems) {
            run.femaleCumulativeMutation.back().push_back(
                cumulativeMutation(system.mutation[0], system));
            run.maleCumulativeMutation.back().push_back(
                cumulativeMutation(system.mutation[1], system));
        }
    }

    if (trace) *trace << "Generating marker map...\r\n";
    run.mapEntries.clear();
    for (size_t c = 0; c < database.clusters.size(); ++c) {
        const Cluster& cluster = database.clusters[c];
        for (size_t s = 0; s < cluster.systems.size(); ++s)
            run.mapEntries.push_back({cluster.systems[s].position, cluster.chromosome,
                                      static_cast<int>(c) + 1, static_cast<int>(s) + 1, "NN"});
    }

    run.hypothesisCodes = hypothesisCodes(run.core);
    const auto relations = hypothesisRelations(run.core, run.hypothesisCodes);
    ensurePedigreePersons(run.core, relations, ui);
    const std::vector<Person>& people = persons(run);
    const int personCount = static_cast<int>(people.size());
    if (trace) {
        *trace << "Listing Kovarian persons\r\n";
        for (int i = 0; i < personCount; ++i)
            *trace << "Person " << i + 1 << " is "
                   << (people[static_cast<size_t>(i)].isMale ? "Male" : "Female") << "\r\n";
    }
    run.pedigrees.clear();
    for (size_t t = 0; t < relations.size(); ++t) {
        if (trace) *trace << "\r\nPedigree " << t + 1 << "\r\n";
        PedigreeStructure pedigree;
        pedigree.founderFlags.assign(static_cast<size_t>(personCount), true);
        pedigree.parentLists.assign(static_cast<size_t>(personCount), {});
        for (const Relation& r : relations[t]) {
            if (trace) *trace << "Parent is " << r.parent << " child is " << r.child << "\r\n";
            if (r.child < 1 || r.child > personCount || r.parent < 1 || r.parent > personCount)
                continue;
            pedigree.founderFlags[static_cast<size_t>(r.child - 1)] = false;
            pedigree.parentLists[static_cast<size_t>(r.child - 1)].push_back(r.parent);
        }
        if (trace)
            for (int i = 0; i < personCount; ++i)
                *trace << "pedParents: " << pedigree.parentLists[static_cast<size_t>(i)].size()
                       << "\r\nisFounder: " << pedigree.founderFlags[static_cast<size_t>(i)]
                       << "\r\n";
        run.pedigrees.push_back(std::move(pedigree));
    }
}

void simulateFounders(SimulationRun& run, const std::vector<bool>& founderFlags) {
    std::vector<Person>& people = persons(run);
    const auto& clusters = run.core.clusterDatabase.clusters;
    for (size_t i = 0; i < people.size() && i < founderFlags.size(); ++i) {
        if (!founderFlags[i]) continue;
        for (size_t c = 0; c < clusters.size(); ++c) {
            const int h1 = drawIndex(run.random, run.haplotypeCumulatives[c]);
            const int h2 = drawIndex(run.random, run.haplotypeCumulatives[c]);
            for (size_t s = 0; s < clusters[c].systems.size(); ++s) {
                DnaObservation observation;
                observation.clusterIndex = static_cast<int>(c) + 1;
                observation.systemIndex = static_cast<int>(s) + 1;
                observation.allele1 =
                    h1 < 1 ? "0"
                           : std::to_string(run.haplotypeLists[c][static_cast<size_t>(h1 - 1)][s]);
                observation.allele2 =
                    h2 < 1 ? "0"
                           : std::to_string(run.haplotypeLists[c][static_cast<size_t>(h2 - 1)][s]);
                people[i].dna.push_back(std::move(observation));
            }
        }
    }
}

Transmission transmitAllele(SimulationRun& run, int h, int allele1, int allele2, int& state,
                            const CumulativeMatrix& mutation) {
    const auto& entries = run.mapEntries;
    double choice[2] = {0.5, 1.0};
    const size_t here = static_cast<size_t>(h);
    if (h > 0 && entries[here].chromosome == entries[here - 1].chromosome && state != 0) {
        // Kosambi: theta = 0.5 * (e^(4d) - 1) / (e^(4d) + 1) = 0.5 * tanh(2d), d in Morgan.
        const double d = std::fabs(entries[here].position - entries[here - 1].position) / 100.0;
        const double theta = 0.5 * std::tanh(2.0 * d);
        choice[0] = state == 1 ? 1.0 - theta : theta;
    }
    state = drawIndex(run.random, choice, 2);
    Transmission result;
    result.passed = state == 1 ? allele1 : allele2;
    result.mutated = result.passed;
    if (result.passed >= 1 && result.passed <= mutation.size)
        result.mutated = drawIndex(run.random, mutation.row(result.passed - 1), mutation.size);
    return result;
}

bool simulateNonFounderPass(SimulationRun& run, const std::vector<std::vector<int>>& parentLists) {
    std::vector<Person>& people = persons(run);
    const size_t entryCount = run.mapEntries.size();
    auto hasGenotypes = [&](int person) {
        return person >= 1 && static_cast<size_t>(person) <= people.size() &&
               !people[static_cast<size_t>(person - 1)].dna.empty();
    };
    for (size_t i = 0; i < people.size() && i < parentLists.size(); ++i) {
        const std::vector<int>& parents = parentLists[i];
        if (!people[i].dna.empty() || parents.empty()) continue;
        const size_t used = std::min<size_t>(parents.size(), 2);
        if (!std::all_of(parents.begin(), parents.begin() + static_cast<long>(used), hasGenotypes))
            continue;
        if (entryCount == 0) return false;  // nothing to draw: no person can be completed

        const Person& a = people[static_cast<size_t>(parents[0] - 1)];
        const Person* b = used == 2 ? &people[static_cast<size_t>(parents[1] - 1)] : nullptr;
        int stateA = 0, stateB = 0;
        std::vector<DnaObservation> drawn;
        drawn.reserve(entryCount);
        for (size_t h = 0; h < entryCount; ++h) {
            const SimulationMapEntry& entry = run.mapEntries[h];
            DnaObservation observation;
            observation.clusterIndex = entry.cluster;
            observation.systemIndex = entry.system;
            const DnaObservation& fromA = a.dna[h];
            observation.allele1 =
                std::to_string(transmitAllele(run, static_cast<int>(h), alleleNumber(fromA.allele1),
                                              alleleNumber(fromA.allele2), stateA,
                                              mutationOf(run, a.isMale, entry))
                                   .mutated);
            if (b) {
                const DnaObservation& fromB = b->dna[h];
                observation.allele2 = std::to_string(
                    transmitAllele(run, static_cast<int>(h), alleleNumber(fromB.allele1),
                                   alleleNumber(fromB.allele2), stateB,
                                   mutationOf(run, b->isMale, entry))
                        .mutated);
            } else {
                observation.allele2 = std::to_string(drawPopulationAllele(run, entry));
            }
            drawn.push_back(std::move(observation));
        }
        people[i].dna = std::move(drawn);
        return true;
    }
    return false;
}

std::vector<int> simulationTransformation(int code, UserInterface& ui) {
    const int n = catalogueSize(code);
    if (n < 0) {
        ui.messageBox(kSimulationErrorMessage, kApplicationTitle);
        return {};
    }
    std::vector<int> transformation;
    for (int i = 1; i <= n; ++i) transformation.push_back(i);
    transformation.insert(transformation.end(), 6, 0);
    return transformation;
}

void transferToGenotypeTable(SimulationRun& run, int code, UserInterface& ui) {
    TraceFile* trace = run.trace;
    if (trace) *trace << "Transforming data...\r\n";
    const std::vector<int> transformation = simulationTransformation(code, ui);
    if (trace) {
        *trace << "Size of transformation is " << transformation.size() << "\r\n";
        for (size_t i = 0; i < transformation.size(); ++i)
            *trace << "Person is: " << i + 1 << "\r\nTransformation is: " << transformation[i]
                   << "\r\n";
    }
    std::vector<Person>& people = persons(run);
    const auto& clusters = run.core.clusterDatabase.clusters;
    GenotypeTable& table = run.core.genotypeTable;
    for (size_t i = 0; i < transformation.size() && i < people.size(); ++i) {
        const int t = transformation[i];
        if (t == 0) continue;
        if (trace) *trace << "Printing data for person: " << i + 1 << "\r\n";
        const std::vector<DnaObservation>& dna = people[i].dna;
        for (size_t h = 0; h < run.mapEntries.size() && h < dna.size(); ++h) {
            const SimulationMapEntry& entry = run.mapEntries[h];
            const auto& names = clusters[static_cast<size_t>(entry.cluster - 1)]
                                    .systems[static_cast<size_t>(entry.system - 1)]
                                    .alleleNames;
            const int numbers[2] = {alleleNumber(dna[h].allele1), alleleNumber(dna[h].allele2)};
            for (int slot = 0; slot < 2; ++slot) {
                const int a = numbers[slot];
                if (a < 1 || a > static_cast<int>(names.size())) continue;
                table.setAlleleText(entry.cluster, entry.system, t, slot + 1,
                                    names[static_cast<size_t>(a - 1)]);
            }
        }
    }
}

void clearSimulatedGenotypes(SimulationRun& run) {
    for (Person& person : persons(run))
        while (!person.dna.empty()) person.dna.pop_back();
}

void drawDataSet(SimulationRun& run, int t, UserInterface& ui) {
    TraceFile* trace = run.trace;
    const size_t index = static_cast<size_t>(t);
    if (index >= run.pedigrees.size() || index >= run.hypothesisCodes.size()) return;
    const PedigreeStructure& pedigree = run.pedigrees[index];
    if (trace) *trace << "Simulating founders...\r\n";
    simulateFounders(run, pedigree.founderFlags);
    if (trace) *trace << "Simulating non founders...\r\n";
    for (;;) {
        if (trace) *trace << "Eternal loop...\r\n";
        if (!simulateNonFounderPass(run, pedigree.parentLists)) break;
    }
    // A person left without genotypes (its parents never got theirs) is drawn as a founder.
    std::vector<bool> leftOver(persons(run).size(), false);
    bool any = false;
    for (size_t i = 0; i < leftOver.size(); ++i) any |= leftOver[i] = persons(run)[i].dna.empty();
    if (any && !run.mapEntries.empty()) simulateFounders(run, leftOver);
    transferToGenotypeTable(run, run.hypothesisCodes[index], ui);
}

}  // namespace relatix
