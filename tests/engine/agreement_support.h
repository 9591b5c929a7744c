// Cases for comparing the exact engine with the linkage engine on any catalogue
// relationship: genotypes drawn under the relationship's own pedigree along a
// map of linked markers, without mutation, and both engines run on them.
#pragma once

#include "core/core.h"

namespace relatix::testing {

struct DrawnCaseOptions {
    int markers = 24;
    int markersPerChromosome = 4;
    int minAlleles = 2;
    int maxAlleles = 15;
    double minSpacingCm = 1;
    double maxSpacingCm = 20;
    unsigned seed = 1;
};

// A Core whose main hypothesis is the code (no alternatives), with the typed
// persons 1..n of the code drawn by gene dropping through the code's pedigree
// (Haldane recombination between neighbouring markers, chromosomes independent,
// no mutation), their alleles stored in random order.
void fillDrawnCase(Core& core, int code, const DrawnCaseOptions& options);

// True when merlinEngine has been built into the program folder.
bool linkageEngineAvailable();

struct BothEngines {
    double exact = 0;
    double linkage = 0;
    bool linkageSkipped = false;  // the engine gave no value for the family
};

// The exact log-likelihood and the linkage engine's, the latter through the
// system's own LINKAGE writers and engine runs in a temporary program folder.
BothEngines computeBothEngines(Core& core, int code);
double exactLogLikelihood(Core& core, int code);

// Swaps the two alleles of a typed person (1-based) at a cluster (0-based).
void swapAlleles(Core& core, int person, int cluster);

}  // namespace relatix::testing
