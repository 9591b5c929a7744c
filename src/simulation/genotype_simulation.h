// Drawing one artificial data set along the marker map as if a hypothesis
// pedigree were true: founders get two haplotypes from the estimated haplotype
// frequencies of every cluster; every other person gets one allele from each
// parent, where each parent passes the allele of one of its two slots, switches
// slots between consecutive markers with Kosambi's recombination fraction, starts
// every chromosome with an even choice, and the passed allele may mutate by the
// parent's sex-specific model. The typed persons' alleles then go into the
// genotype table, where the exact engine and the LINKAGE writer read them.
//
// The pedigree persons are the genotype table's pedigreePersons, numbered from 1;
// a simulated genotype is one DnaObservation per map entry whose allele texts are
// 1-based allele numbers in decimal.
#pragma once

#include <string>
#include <vector>

#include "simulation/random_generator.h"

namespace relatix {

class Core;
class TraceFile;
class UserInterface;

struct SimulationMapEntry {
    double position = 0.0;  // cM, as held by the cluster's system
    int chromosome = 0;     // the cluster's chromosome number
    int cluster = 0;        // 1-based
    int system = 0;         // 1-based within the cluster
    std::string name = "NN";
};

// Running sums along every row of an n x n matrix, row-major.
struct CumulativeMatrix {
    int size = 0;
    std::vector<double> values;
    const double* row(int from) const { return values.data() + static_cast<size_t>(from) * size; }
};

// The pedigree's founders and parents, for persons 1..P (index 0 = person 1).
struct PedigreeStructure {
    std::vector<bool> founderFlags;
    std::vector<std::vector<int>> parentLists;  // 1-based parents in relation order
};

// One simulation run: the tables built once, then drawn from data set after data set.
class SimulationRun {
public:
    explicit SimulationRun(Core& caseToSimulate) : core(caseToSimulate) {}

    Core& core;
    RandomGenerator random;
    std::vector<SimulationMapEntry> mapEntries;
    std::vector<std::vector<std::vector<int>>> haplotypeLists;  // [cluster][haplotype][system]
    std::vector<std::vector<double>> haplotypeCumulatives;      // [cluster][haplotype]
    std::vector<std::vector<CumulativeMatrix>> femaleCumulativeMutation;  // [cluster][system]
    std::vector<std::vector<CumulativeMatrix>> maleCumulativeMutation;
    // Per hypothesis pedigree, in hypothesis order.
    std::vector<PedigreeStructure> pedigrees;
    // The catalogue code of every hypothesis, main first.
    std::vector<int> hypothesisCodes;
    TraceFile* trace = nullptr;  // the run's diagnostic log, when one is kept
};

// Builds the haplotype lists and cumulatives, the cumulative mutation matrices,
// the map entries and every hypothesis pedigree's founders and parents. Makes sure
// the genotype table has a pedigree person for every person a relation names.
void prepareSimulationTables(SimulationRun& run, UserInterface& ui);

// Every founder, in person order, draws two haplotypes per cluster.
void simulateFounders(SimulationRun& run, const std::vector<bool>& founderFlags);

// Gives genotypes to the first person without any whose parents all have theirs;
// false when there is no such person.
bool simulateNonFounderPass(SimulationRun& run, const std::vector<std::vector<int>>& parentLists);

struct Transmission {
    int passed = 0;   // the allele number the parent passes
    int mutated = 0;  // that allele after mutation
};

// One parent-to-child transmission at map entry h (0-based): the slot choice
// (even at a chromosome's first entry, else keep or switch with Kosambi's
// fraction), then the mutation draw from the parent's cumulative matrix. state is
// the parent's slot for this child: 0 none yet, 1 or 2.
Transmission transmitAllele(SimulationRun& run, int h, int allele1, int allele2, int& state,
                            const CumulativeMatrix& mutation);

// Analysis-person number of every pedigree person (0 = untyped) for a catalogue
// code: 1..n then six zeros. Another code shows "Some error occurred in the
// simulations" and gives an empty list.
std::vector<int> simulationTransformation(int code, UserInterface& ui);

// Copies the typed persons' drawn alleles, as allele names, into the genotype table.
void transferToGenotypeTable(SimulationRun& run, int code, UserInterface& ui);

// Empties every pedigree person's genotypes.
void clearSimulatedGenotypes(SimulationRun& run);

// One data set with hypothesis t (0-based) as the true pedigree, left in the
// genotype table. Persons that neither are founders nor can get genotypes from
// parents (possible only in malformed pedigrees) are drawn as founders.
void drawDataSet(SimulationRun& run, int t, UserInterface& ui);

inline constexpr const char* kSimulationErrorMessage = "Some error occurred in the simulations";

}  // namespace relatix
