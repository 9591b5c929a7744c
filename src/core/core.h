// The one in-memory case: persons, populations, the marker map, hypotheses,
// per-relationship settings, frequency parameters, results and project bookkeeping.
// A plain record with public fields plus the shared operations on it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/cluster_database.h"
#include "core/genotype_table.h"
#include "core/log_likelihood.h"
#include "core/records.h"
#include "relatix_version.h"

namespace relatix {

// Values of Core::mainHypothesis besides the catalogue indices 0..25.
inline constexpr int kNoHypothesis = -1;
// Never set by this program: only the wizard's Back rule from the results tests it.
inline constexpr int kUnusedHypothesisMode = -2;
inline constexpr int kCreatedPedigrees = -3;
inline constexpr int kCatalogueCount = 26;

// The per-relationship settings, kept as three parallel vectors of 26 entries
// indexed by the 0-based catalogue index.
struct PedigreeSettings {
    std::vector<double> threshold = std::vector<double>(kCatalogueCount, 0.00001);
    std::vector<int> steps = std::vector<int>(kCatalogueCount, 1);
    // Stored, edited and reported only: no calculation reads it.
    std::vector<bool> lumpAlleles = std::vector<bool>(kCatalogueCount, true);
};

class Core {
public:
    explicit Core(std::string programDirectory = {});

    ClusterDatabase clusterDatabase;
    GenotypeTable genotypeTable;
    std::vector<Pedigree> hypothesisPedigrees;
    std::vector<Pedigree> createdPedigrees;
    std::vector<Population> populations;
    std::vector<Person> ancestryPersons;
    std::vector<Person> persons;
    MarkerMap markerMap;
    int activePopulation = 0;  // 1-based position in populations; 0 = none
    // A 0-based catalogue index, kNoHypothesis or kCreatedPedigrees.
    int mainHypothesis = kNoHypothesis;
    std::vector<int> alternativeHypotheses;  // 0-based positions in catalogueAlternatives
    std::string programDirectory;
    std::string projectPath;
    // The private folder of the run in progress, where the LINKAGE and results
    // files go; empty outside a run (then <programDirectory>/temp is used).
    std::string workFolder;
    bool savedToPath = false;
    bool mutationsOff = false;  // while set, calculations and simulations use no mutation
    // ln L per hypothesis: the linkage engine on the unlinked map, on the genetic
    // map, and the exact engine.
    LogLikelihoods unlinkedResults;
    LogLikelihoods merlinResults;
    LogLikelihoods exactResults;
    // Per hypothesis, ln L of each allele system (-1 for the systems of skipped clusters).
    std::vector<std::vector<double>> exactMarkerResults;
    std::vector<double> priors;  // per hypothesis, in hypothesis order
    std::vector<std::optional<double>> unlinkedRatios;
    std::vector<bool> markerSkipped;  // per cluster of the cluster database
    // 0-based hypothesis the ratios are scaled against; dialogs show it 1-based.
    int referenceHypothesis = 1;
    // Simulated data sets, k per simulation (one per true hypothesis), each with
    // ln L per hypothesis.
    SimulatedDataSets simulatedLinkedLikelihoods;
    SimulatedDataSets simulatedUnlinkedLikelihoods;
    SimulatedDataSets simulatedExactLikelihoods;
    // The names of the true pedigrees of the two engine lists when they come from
    // a run on the user's own linkage files ("Pedigree 1" ...); empty when they
    // come from a simulation of the case's hypotheses.
    std::vector<std::string> simulatedPedigreeNames;
    std::string projectName = "New Project";
    PedigreeSettings pedigreeSettings;
    double softwareVersion = kRelatixVersionNumber;

    // Empties the case before a file is loaded into it; keeps the project
    // bookkeeping, the settings, the pedigree lists and the exact results.
    void resetCore();
    int hypothesisCount() const;
    // Sets a catalogue main hypothesis (0-based index); false for an index outside 0..25.
    bool selectMainHypothesis(int catalogueIndex);
    // Appends a pedigree with the relations of a catalogue code (1-based).
    bool addAlternativePedigree(int catalogueCode);
    void clearHypothesisResults();
    void removeHypothesisPedigrees(bool keepFirst);
    void initialisePriors();
    void resizeGenotypeTable(int personCount);
    void setProjectName(const std::string& name) { projectName = name; }
    // 1-based; nullptr for 0 or a position outside the list.
    Population* populationAt(int position);
    const Population* populationAt(int position) const;
};

}  // namespace relatix
