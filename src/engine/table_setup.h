// The flat numeric tables one relationship is computed from: per kept marker
// the founder allele probabilities, the male and female mutation matrices, the
// recombination fraction to the previous kept marker, the chromosome, and where
// a block of linked systems ends; per marker of every cluster the typed
// genotypes and founder setups that the relationship class fills. Alleles are
// 0-based indices into the marker's allele list throughout.
#pragma once

#include <vector>

#include "engine/founder_setups.h"
#include "engine/haplotype_frequencies.h"
#include "engine/mutation_models.h"

namespace relatix {

class Core;

// Founder allele probabilities of one marker, indexed [allele two markers
// back][allele one marker back][allele].
struct AlleleTable {
    int slices = 0;
    int rows = 0;
    int columns = 0;
    std::vector<double> values;

    void resize(int sliceCount, int rowCount, int columnCount);
    double at(int c, int b, int a) const { return values[offset(c, b) + static_cast<size_t>(a)]; }
    double& at(int c, int b, int a) { return values[offset(c, b) + static_cast<size_t>(a)]; }
    const double* row(int c, int b) const { return values.data() + offset(c, b); }

private:
    size_t offset(int c, int b) const {
        return (static_cast<size_t>(c) * static_cast<size_t>(rows) + static_cast<size_t>(b)) *
               static_cast<size_t>(columns);
    }
};

// Recombination fraction of a map distance in cM (Haldane).
double haldaneFraction(double distanceCm);

class CTableSetup {
public:
    CTableSetup() = default;
    virtual ~CTableSetup() = default;
    CTableSetup(const CTableSetup&) = delete;
    CTableSetup& operator=(const CTableSetup&) = delete;

    const Core* core = nullptr;  // set by the caller before any table is built
    // ln L of each allele system after computeLikelihood (-1 for the systems of
    // skipped clusters).
    std::vector<double> markerResults;
    std::vector<AlleleTable> alleleProbabilities;
    std::vector<MutationMatrix> maleMutationMatrices;
    std::vector<MutationMatrix> femaleMutationMatrices;
    std::vector<std::vector<int>> inheritancePatterns;
    std::vector<double> recombinationFractions;
    std::vector<FounderSetups> founderSetups;      // per marker; trimmed to the kept markers
    std::vector<std::vector<int>> typedGenotypes;  // per marker; trimmed to the kept markers
    std::vector<std::vector<double>> patternSums;
    std::vector<bool> endsLinkageBlock;
    std::vector<int> sexes;
    std::vector<bool> clusterSkipped;
    std::vector<bool> systemSkipped;
    std::vector<int> chromosomeNumbers;
    double theta = 0.0;
    // Per kept marker: true for the first system of its cluster, whose founder
    // alleles are drawn from the plain frequencies (with the theta correction)
    // rather than conditionally on the previous system.
    std::vector<bool> startsCluster;

    // The steps of preparing a relationship, in the order they are called.
    void copySexes();
    void buildMarkerTables();
    void buildAlleleProbabilities();
    virtual void setupGenotypes() {}
    void buildMutationMatrices();
    virtual void setupInheritancePatterns() {}
    virtual void buildCells() {}
    void printSetups() const;

    // The natural-log likelihood of the case data; appends the per-marker
    // cumulative values to the Core's per-marker results.
    virtual double computeLikelihood() { return 0.0; }

    // Entry [from][to] of the female matrix for sex code 2, of the male one otherwise.
    double mutationProbability(int sexCode, int marker, int from, int to) const {
        return sexCode == 2 ? femaleMutationMatrices[static_cast<size_t>(marker)].at(from, to)
                            : maleMutationMatrices[static_cast<size_t>(marker)].at(from, to);
    }
    // Probability of the founder alleles of setup h at kept marker i, given the
    // setups at i-1 (setup index, 0 when none matters) and at i-2 (-1 for none).
    double founderProbability(int i, int h, int previous, int beforePrevious) const;
    // The same for setup slots given directly (previous slots may be null).
    double founderProbability(int i, const int* slots, int slotCount, const int* previous,
                              const int* beforePrevious) const;

    HaplotypeFrequencies estimateHaplotypeFrequencies(int cluster) const;
    static double conditionalAlleleProbability(const HaplotypeFrequencies& haplotypes, int k, int a,
                                               int b, int c = -1) {
        return relatix::conditionalAlleleProbability(haplotypes, k, a, b, c);
    }

    int keptMarkerCount() const { return static_cast<int>(recombinationFractions.size()); }
    // Keeps founderSetups and typedGenotypes of the markers that are not skipped.
    void trimSkippedMarkers();
    // Spreads per-kept-marker cumulative values over every marker of every cluster
    // (-1 for skipped systems) and appends the vector to the Core's per-marker results.
    void storeMarkerResults(const std::vector<double>& cumulative);
    // Releases the large tables once the result has been formed.
    void releaseTables();

private:
    double firstSystemProbability(int i, const int* slots, int slotCount) const;
};

}  // namespace relatix
