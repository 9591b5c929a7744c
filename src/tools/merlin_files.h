// Likelihood-ratio distributions for pedigrees the user wrote himself as linkage
// engine input (a pedigree, data, frequency and two map files): the engine
// simulates genotypes on the user's families, the simulated genotypes of each
// family are copied into the matching persons of every other family, the engine
// computes every family's ln L with both maps, and a tab-separated table of the
// ratios is written. The families of the pedigree file play the part of the
// hypotheses: pedigree i is the i-th family of the file.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/log_likelihood.h"
#include "platform/status.h"

namespace relatix {

class Core;
class UserInterface;

inline constexpr const char* kSelectFile = "Select file...";
inline constexpr const char* kMerlinInstructions =
    "Feature is only in alpha testing, use with caution.\n\nPed file should contain families and "
    "toy genotypes to instruct Merlin what individuals should be simulated.\n\nThe first map file "
    "should contain a correct linkage map for the markers whereas the second map file can contain "
    "other location.";
inline constexpr const char* kCheckInputFiles = "Please check the input files";

struct MerlinFiles {
    std::string pedigreeFile = kSelectFile;
    std::string dataFile = kSelectFile;
    std::string frequencyFile = kSelectFile;
    std::string mapFile = kSelectFile;
    std::string secondMapFile = kSelectFile;
    std::string outputFile = kSelectFile;  // empty: no table is written
};

// The message refusing the typed values, or empty: every input file chosen, a
// number of simulations from 10 to 100000 and, without "Random seed", a seed.
std::string merlinInputError(const MerlinFiles& files, const std::string& numberText,
                             bool randomSeed, const std::string& seedText);

// The derived files beside the user's: P + "_to_simulate.ped" and
// P + "_simulated_data.ped" with P the pedigree file's path without its last four
// characters, Q + "_modified.freq" with Q the frequency file's without its last five.
std::string simulationPedigreePath(const std::string& pedigreeFile);
std::string simulatedDataPath(const std::string& pedigreeFile);
std::string modifiedFrequencyPath(const std::string& frequencyFile);

// One marker of the frequency file, its alleles in file order.
struct FrequencyMarker {
    std::string name;
    std::vector<std::string> alleles;
    std::vector<double> frequencies;
    // 1-based position of an allele name, 0 when it is not there.
    int position(std::string_view allele) const;
};

// Reads the markers of a frequency file: "M name" starts a marker, "A name f" or
// "F name f" adds an allele; other lines are skipped, and a marker without
// alleles is left out.
Status readFrequencyMarkers(const std::string& path, std::vector<FrequencyMarker>& markers);
// Reads the frequency file and writes Q + "_modified.freq", where the alleles of
// each marker are named 1, 2, ... in file order.
Status writeModifiedFrequencies(const std::string& frequencyFile,
                                std::vector<FrequencyMarker>& markers);

// One column group of a pedigree line after the sex word, as the data file
// describes it: a marker (two allele words) or other columns (affection, trait,
// covariate, zygosity, skipped columns).
struct DataColumns {
    bool marker = false;
    int frequencyMarker = -1;  // the marker of the frequency file with its name, or -1
    int columns = 2;
    std::string name;  // the marker's name
};
// The column groups of the data file's items up to "E": "M name" a marker, "Sn"
// n columns, every other item one column.
Status readDataColumns(const std::string& dataFile, const std::vector<FrequencyMarker>& markers,
                       std::vector<DataColumns>& layout);

// The lines of the user's pedigree file, split into words, with the families and
// the matching of persons across families.
struct MerlinPedigree {
    // The column layout from the data file; empty: two allele words per marker of
    // the frequency file, in its order.
    std::vector<DataColumns> layout;
    std::vector<std::vector<std::string>> lines;  // word 1 family, 2 person, 3 father, 4 mother,
                                                  // 5 sex, then two allele words per marker
    std::vector<int> family;                      // 0-based family of each line
    int familyCount = 0;
    // match[line][v]: the first line of family v whose words from the fifth on
    // equal this line's (sex and toy genotypes), or -1.
    std::vector<std::vector<int>> match;
};

// Reads the pedigree file (blank lines skipped, an allele word "a/b" read as two
// words) and matches its persons across families; the layout is kept. Fails on a
// line with fewer than five words.
Status readMerlinPedigree(const std::string& path, MerlinPedigree& pedigree);
// Why the families cannot be simulated and compared as they are, or empty: a
// person listed twice in a family, a person whose father and mother are one
// person, a person his own ancestor (the loop is named), or a typed person
// without a person of the same sex and toy genotypes in every other family (its
// simulated genotypes would have nowhere to go, and the families would be
// compared on different data). Families are named by their word in the file and
// their number.
std::string merlinPedigreeProblem(const MerlinPedigree& pedigree);
// Toy genotypes only say who is typed, so the frequencies of a marker cannot be
// counted from them: a marker that a person is typed at and that the map places
// must have frequencies in the frequency file. The refusal names such markers, or
// is empty. Toy alleles that the frequency file lacks at a marker it has make the
// person untyped there; each such marker is passed to warn once.
std::string merlinFrequencyProblem(const MerlinPedigree& pedigree,
                                   const std::vector<FrequencyMarker>& markers,
                                   const std::string& mapFile,
                                   const std::function<void(const std::string&)>& warn);
// The text of the file to simulate: n copies of the pedigree, families numbered
// 1 upwards (every family of every copy a number of its own), allele words
// replaced by their 1-based positions in the frequency file (0 when not there).
std::string simulationPedigreeText(const MerlinPedigree& pedigree,
                                   const std::vector<FrequencyMarker>& markers, int n);
// Reads the pedigree file and writes P + "_to_simulate.ped".
Status writeSimulationPedigrees(const std::string& pedigreeFile, MerlinPedigree& pedigree,
                                const std::vector<FrequencyMarker>& markers, int n);

// The engine's replicates turned into n*F blocks of F families: block
// (r - 1)*F + (v - 1) holds replicate r with family v as the true pedigree, every
// other family carrying the genotypes of its matching person in family v ("0 0"
// per marker without one). engineText keeps the engine's "a/b" words, namedText
// has the allele names of the frequency file.
struct ConvertedReplicates {
    std::string engineText;
    std::string namedText;
};
Status convertReplicateText(const std::string& replicateText, const std::string& replicatePath,
                            const MerlinPedigree& pedigree,
                            const std::vector<FrequencyMarker>& markers, int n,
                            ConvertedReplicates& converted);
// Reads the replicate file and writes enginePedigreePath and P + "_simulated_data.ped".
Status convertReplicates(const std::string& replicatePath, const std::string& enginePedigreePath,
                         const std::string& pedigreeFile, const MerlinPedigree& pedigree,
                         const std::vector<FrequencyMarker>& markers, int n);

// The number of chromosomes of a map file: the different first words of its
// lines after the first.
Status countMapChromosomes(const std::string& mapFile, int& chromosomes);
// Reads one likelihood run's output: per chromosome n*F blocks of F families.
// The first chromosome's values form the data sets, every further chromosome's
// are added; a family without a value on any chromosome has none.
Status readMerlinLikelihoods(std::string_view text, const std::string& name, int chromosomes, int n,
                             int families, SimulatedDataSets& sets);
// Reads one likelihood run's output file: one block per "Chromosome" line of it, or
// per chromosome of the map when it has none.
Status readMerlinOutput(const std::string& mapFile, const std::string& output, int n, int families,
                        SimulatedDataSets& sets);
// The table: header, title row and one row per replicate in three groups (the
// genetic map, the second map, the second's ratio over the first's).
std::string merlinRatioTable(const SimulatedDataSets& linked, const SimulatedDataSets& unlinked,
                             int n, int families);
// Reads both outputs (each with the chromosomes of its own map) into the Core's
// simulatedLinkedLikelihoods and simulatedUnlinkedLikelihoods and writes the
// table to outputFile (none when empty).
Status writeMerlinRatioTable(Core& core, const std::string& mapFile,
                             const std::string& secondMapFile, const std::string& linkedOutput,
                             const std::string& unlinkedOutput, int n, int families,
                             const std::string& outputFile);

// "Pedigree 1" ... "Pedigree F".
std::vector<std::string> merlinPedigreeNames(int families);

struct MerlinRun {
    MerlinFiles files;
    int simulations = 0;
    std::uint32_t seed = 1;
    std::function<void()> whileWaiting;
    // Receives each warning of the run once: those the linkage program gives even
    // when quiet (data it leaves out or frequencies it counts itself) and the toy
    // alleles the frequency file lacks.
    std::function<void(const std::string&)> warn;
};

// What a run that failed after the simulation still has: the lists of the
// likelihood runs that ended well (the other one empty), for F families.
struct MerlinPartialResults {
    SimulatedDataSets linked;
    SimulatedDataSets unlinked;
    int families = 0;
    bool any() const { return !linked.empty() || !unlinked.empty(); }
};

// The whole run on checked values: the derived files, the three engine runs in a
// work folder of its own, the lists in the Core (which then name the pedigrees
// "Pedigree 1" ... and hold no exact values) and the table. A failure leaves the
// Core's simulated lists as they were and writes no table; when one of the two
// likelihood runs failed, the other's values go to partial (when given).
Status runMerlinAnalysis(Core& core, const MerlinRun& run, MerlinPartialResults* partial = nullptr);

// analyseMerlinFiles, as "Simulate" does it: checks, seed, run; every refusal
// and failure is shown with caption "Error". True when the run completed.
bool analyseMerlinFiles(Core& core, UserInterface& ui, const MerlinFiles& files,
                        const std::string& numberText, bool randomSeed,
                        const std::string& seedText);

}  // namespace relatix
