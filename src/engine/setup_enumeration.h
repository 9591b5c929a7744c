// Building blocks of founder setups: the choices a typed founder, an untyped
// parent of a typed person and an untyped ancestor contribute to a setup.
#pragma once

#include <vector>

namespace relatix {

// A typed founder's two alleles in both orders (once when homozygous); width 2.
std::vector<int> bothOrders(int first, int second);
// One slot holding either allele of a typed person (once when homozygous); width 1.
std::vector<int> eitherAllele(int first, int second);
// True when allele a lies within steps positions of some typed allele in the
// marker's allele order.
bool passesStepsTest(int a, const std::vector<int>& typed, int steps);
// Every ordered pair over the marker's alleles of which at least one allele
// passes the steps test; width 2, the second allele changing fastest.
std::vector<int> ancestorPairs(int alleleCount, const std::vector<int>& typed, int steps);

// The probability of a genotype {x, y} given the alleles t and u that two parents
// pass on through the rows of their transmission matrices (from[t] and other[u]).
inline double genotypeProbability(const double* fromT, const double* fromU, int x, int y) {
    if (x == y) return fromT[x] * fromU[x];
    return fromT[x] * fromU[y] + fromT[y] * fromU[x];
}

}  // namespace relatix
