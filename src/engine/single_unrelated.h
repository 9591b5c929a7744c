// One person unrelated to everyone else: the probability of the person's
// genotypes as founder alleles, chained through the conditional allele tables
// where a cluster holds several systems.
#pragma once

#include "engine/table_setup.h"

namespace relatix {

class CSingleUnrelated : public CTableSetup {
public:
    explicit CSingleUnrelated(int personNumber) : person(personNumber) {}

    int person;  // 1-based analysis person

    // Genotypes [a1, a2]; setups: the two alleles in both orders.
    void setupGenotypes() override;
    void buildCells() override { trimSkippedMarkers(); }
    double computeLikelihood() override;
};

}  // namespace relatix
