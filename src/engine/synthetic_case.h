// A reproducible artificial case for tests and benchmarks: markers with
// realistic chromosomes and positions, seeded random allele frequencies and
// typed persons whose genotypes are dropped through a small family.
#pragma once

#include <vector>

#include "engine/mutation_models.h"

namespace relatix {

class Core;

// The members of the family the genotypes are dropped through.
enum class FamilyMember {
    Grandmother,
    Grandfather,
    Uncle,   // child of the grandparents
    Father,  // child of the grandparents
    Mother,
    ChildA,  // child of father and mother
    ChildB,  // child of father and mother
};

struct SyntheticCaseOptions {
    int markers = 40;
    int markersPerChromosome = 4;
    int minAlleles = 10;
    int maxAlleles = 25;
    double spacingCm = 15.0;  // mean distance between neighbouring markers
    unsigned seed = 1;
    MutationModel mutation{1, 0.002, 0.0, 0.0};  // both sexes
    // The analysis persons in order, with their sex codes.
    std::vector<FamilyMember> typed{FamilyMember::ChildA, FamilyMember::ChildB};
    std::vector<int> sexCodes{1, 1};
    int mainHypothesis = 2;  // 0-based catalogue index
};

// Replaces the Core's cluster database, genotype table and marker map by the
// case, one cluster per marker, and sets the main hypothesis without alternatives.
void fillSyntheticCase(Core& core, const SyntheticCaseOptions& options);

}  // namespace relatix
