// The log-likelihood of one family on one chromosome: a hidden Markov chain over
// inheritance vectors along the chromosome's markers, computed separately for
// every connected part of the family's pedigree.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "emission.h"
#include "marker_set.h"
#include "pedigree.h"
#include "pedigree_file.h"
#include "transition.h"

namespace merlin {

// How the chain holds its distribution between markers: chosen per marker
// (Automatic), or always the whole vector or always the list of non-zero vectors,
// for tests that check both against each other.
enum class ChainMode { Automatic, Dense, Sparse };
void setChainModeForTesting(ChainMode mode);

struct FamilyLikelihood {
    bool skipped = false;
    std::string reason;
    double lnLikelihood = 0.0;
    int persons = 0;
    int meioses = 0;  // informative meioses over all parts
};

class FamilyAnalyser {
public:
    FamilyLikelihood analyse(const Pedigree& pedigree, const FamilyRecord& record,
                             const MarkerSet& set, const Chromosome& chromosome, int maxBits);

private:
    // Log-likelihood of one part; false when the data are impossible, with the marker.
    bool analysePart(const PartModel& part, const std::vector<int>& markers, double& lnL,
                     int& failedMarker);

    const Pedigree* pedigree_ = nullptr;
    const FamilyRecord* record_ = nullptr;
    const MarkerSet* set_ = nullptr;
    EmissionBuilder emission_;
    PairTransition pairs_;
    // Whole vectors, taken from the system only when needed and left untouched until
    // written: at 24 bits each is 128 MB.
    struct Buffer {
        std::unique_ptr<double[]> data;
        size_t size = 0;
        double* get(size_t n) {
            if (size < n) {
                data.reset();
                data.reset(new double[n]);
                size = n;
            }
            return data.get();
        }
    };
    Buffer alpha_;
    Buffer scratch_;
    std::vector<std::uint64_t> sparseIndex_;
    std::vector<double> sparseValue_;
    std::vector<EmissionRun> runs_;
    std::vector<std::uint64_t> targetIndex_;
    std::vector<double> targetEmission_;
    std::vector<double> targetValue_;
    MarkerGenotypes genotypes_;
};

// Builds the reduced model of the persons of one part (in pedigree order),
// without its founder masks: a part may have more bits than a mask holds. `typed`
// tells per pedigree person whether any allele is known on the chromosome.
PartModel buildPartModel(const Pedigree& pedigree, const std::vector<int>& partPersons,
                         const std::vector<char>& typed);
// Fills the founder and couple masks of a part whose bits fit the bit limit (at most 63).
void buildFounderMasks(PartModel& part);

}  // namespace merlin
