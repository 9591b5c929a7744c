// The exact likelihood of one relationship: a hidden Markov chain along the
// marker map whose states are cells (an inheritance pattern, a founder setup at
// this marker and the setups at the previous marker it continues), pruned by a
// threshold on the data probability, evaluated by a forward recursion that
// restarts at every chromosome.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "core/cluster_database.h"
#include "engine/factor_sums.h"
#include "engine/table_setup.h"

namespace relatix {

// One pattern, one current setup and the previous setups it continues, each with its value.
struct Cell {
    std::vector<int> previousSetups;
    std::vector<double> values;  // parallel to previousSetups
};

// The cells of one pattern at one marker, in ascending current setup.
struct PatternCells {
    std::vector<Cell> cells;
    std::vector<int> setups;  // current setup of each cell, sorted ascending, no repeats
};

struct MarkerCells {
    std::vector<PatternCells> patterns;  // one per inheritance pattern, in pattern order
};

class CRelationship : public CTableSetup {
public:
    std::vector<MarkerCells> markerCells;  // one per kept marker
    double threshold = 0.00001;
    int steps = 1;
    int catalogueIndex = 0;
    // Keeps the cells of every marker (normally only the markers whose cells the
    // next marker reads are stored, and only until it has been evaluated; where
    // every cluster holds one system no cells are formed at all).
    bool storeAllCells = false;

    // Probability of the typed genotypes at kept marker i under setup h and pattern j.
    virtual double dataProbability(int marker, int pattern, int setup) const;
    // The same for count setups from first on and every pattern:
    // out[(h - first) * patterns + j]. Classes with many setups compute it in bulk.
    virtual void dataProbabilities(int marker, int first, int count, double* out) const;
    // Per pattern j (out[j]): the sum over the setups h of kept marker i of the
    // founder probability of h times the data probability, taken over the
    // (j, h) whose data probability exceeds the threshold. Where every cluster
    // holds one system this is all the recursion needs of a marker. Classes
    // whose data probability factorises over the founder slots sum it without
    // visiting every setup.
    virtual void patternEmissions(int marker, double* out) const;

    // Trims the setups and genotypes to the kept markers and lays out one empty
    // MarkerCells per kept marker. The cells of a marker are built when the
    // recursion reaches it: a cell exists for pattern j and setup h when the data
    // probability exceeds the threshold and some setup of the previous marker has
    // a data probability, summed over the patterns, above the threshold.
    void buildCells() override;
    double computeLikelihood() override;

    static void addCell(PatternCells& cells, int setup, int previous, double value);
    // Position of the cell whose current setup is the given one, or -1.
    static int findCell(const PatternCells& cells, int setup, int hint);
    static double markerTotal(const MarkerCells& cells);
    double patternTransition(int i, int b, int j) const;
    double transitionSum(int i, int j, int c, int k, int h) const;

    int patternCount() const { return static_cast<int>(inheritancePatterns.size()); }

protected:
    // Lists all 2^meioses patterns, the first meiosis the most significant bit.
    void listAllPatterns(int meioses);
    // Appends one marker's typed genotypes and setups; an allele that is not in
    // the marker's allele list (index -1), among the genotypes or the other typed
    // alleles the setups were built from, leaves the marker without setups.
    void appendMarker(std::vector<int> genotypes, FounderSetups setups,
                      const std::vector<int>& otherAlleles = {});
    // What a data probability at a kept marker reads: its typed genotypes and
    // the female and male mutation matrices.
    struct MarkerData {
        const std::vector<int>& genotypes;
        const MutationMatrix& female;
        const MutationMatrix& male;
    };
    MarkerData markerData(int marker) const {
        const size_t m = static_cast<size_t>(marker);
        return {typedGenotypes[m], femaleMutationMatrices[m], maleMutationMatrices[m]};
    }
    // The same, with the founder alleles of the setup decoded into slots (as
    // many as the marker's setups have).
    MarkerData decodedMarker(int marker, int setup, int* slots) const {
        founderSetups[static_cast<size_t>(marker)].decode(setup, slots);
        return markerData(marker);
    }
    // Pattern emissions through FactorSums: factorsOf(j, factors) gives the
    // factors of pattern j over the n x n tables. False (out untouched) when the
    // sums cannot be formed that way or the marker has too few setups to gain.
    bool sumFactors(int marker, const std::vector<const double*>& tables,
                    const std::function<void(int, std::vector<FactorSums::Factor>&)>& factorsOf,
                    double* out) const;
    // The transmission from a grandparent to a grandchild through the
    // grandchild's untyped father: the grandparent passes an allele to the
    // father by the matrix of its sex (female for sex code 2, male otherwise),
    // possibly mutated, and the father passes his allele on by the male matrix.
    // The row of the grandparent's allele, indexed by the grandchild's allele;
    // built on first use.
    const double* throughFather(int marker, int grandparentSex, int allele) const;
    const std::vector<int>& patternBits(int pattern) const {
        return inheritancePatterns[static_cast<size_t>(pattern)];
    }
    // Allele indices of an analysis person (1-based) at cluster c, system k
    // (0-based); -1 for an allele the system does not hold or a person not typed.
    std::pair<int, int> typedPair(int c, int k, int person) const;
    // Calls f(cluster, system, the system) for every system of every cluster, in order.
    void forEachSystem(const std::function<void(int, int, const ClusterSystem&)>& f) const;

private:
    // The total of kept marker i (evaluateMarker or evaluatePatterns), computed
    // again without the threshold when the threshold leaves nothing.
    double evaluate(int i);
    double evaluateMarker(int i);
    // The same where every cluster holds one system and no cells are kept: a
    // forward step over the patterns with the marker's pattern emissions.
    double evaluatePatterns(int i);
    double addWithinClusterCells(int i, int j, int h, double p);

    // Per kept marker, the rows of throughFather from a female [0] and a male
    // [1] grandparent, and which rows have been built.
    mutable std::vector<MutationMatrix> throughFather_[2];
    mutable std::vector<std::vector<char>> throughFatherBuilt_[2];
    bool patternsOnly_ = false;                     // evaluatePatterns serves every marker
    std::vector<int> firstWeightedSetup_;           // per kept marker, -1 when none
    std::vector<std::vector<int>> weightedSetups_;  // per kept marker continued by its cluster
};

}  // namespace relatix
