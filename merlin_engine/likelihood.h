// The log-likelihood of one family on one chromosome: a hidden Markov chain over
// inheritance vectors along the chromosome's markers, computed separately for
// every connected part of the family's pedigree.
#pragma once

#include <string>
#include <vector>

#include "emission.h"
#include "marker_set.h"
#include "pedigree.h"
#include "pedigree_file.h"

namespace merlin {

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
    std::vector<double> alpha_;
    std::vector<double> scratch_;
    MarkerGenotypes genotypes_;
};

// Builds the reduced model of the persons of one part (in pedigree order),
// without its founder masks: a part may have more bits than a mask holds.
PartModel buildPartModel(const Pedigree& pedigree, const std::vector<int>& partPersons);
// Fills the founder masks of a part whose bits fit the bit limit (at most 63).
void buildFounderMasks(PartModel& part);

}  // namespace merlin
