// The pattern emission of a relationship whose data probability at a marker is
// a product of factors, each a table over the alleles held by two founder slots.
//
// The emission of a pattern is the sum over the founder setups of the founder
// probability times the data probability D, over the setups whose D exceeds
// the threshold. Visiting every setup costs (alleles^2)^2 and more; here the
// setups are reached through the factors instead: each factor's entries are
// visited from the largest down, and a branch stops as soon as even the largest
// entries of the factors still to come cannot lift D above the threshold. With
// mutation almost every entry is small, so few branches survive. The slots no
// factor reads are summed over once per founder group (without theta, where the
// founder alleles are independent) or per branch (with theta, where each allele
// is drawn given the ones before it, the order not mattering). D is formed as the
// relationship forms it (the factors multiplied in their order), so exactly the
// same setups pass the threshold.
#pragma once

#include <utility>
#include <vector>

#include "engine/founder_setups.h"

namespace relatix {

class FactorSums {
public:
    // Factor of a pattern: entry [allele in slot first][allele in slot second]
    // of table `table`; first and second are different slots.
    struct Factor {
        int table = 0;
        int first = 0;
        int second = 0;
    };

    // Prepares one marker. The tables are n x n (n = alleles), row-major.
    // Returns false when the sums cannot be formed this way: a negative or
    // non-finite table entry, or a founder group of more than two slots.
    // Theta must lie in [0, 1).
    bool prepare(const FounderSetups& setups, const double* frequencies, int alleles,
                 const std::vector<const double*>& tables, double threshold, double theta);

    // The emission of one pattern whose data probability is the product of the
    // factors in the order given. Patterns that differ only by which of a
    // founder's two slots they read share one sum: the founder's pairs come in
    // both orders with the same probability.
    double sum(const std::vector<Factor>& factors);

private:
    struct Entry {
        double value;
        int first;
        int second;
    };
    struct Table {
        double largest = 0.0;
        std::vector<Entry> all;      // every nonzero entry, largest first
        std::vector<Entry> rows;     // per first allele, its nonzero entries, largest first
        std::vector<int> rowStart;   // n + 1 offsets into rows
        std::vector<Entry> columns;  // per second allele, likewise
        std::vector<int> columnStart;
    };
    struct Group {
        int width = 0;
        int firstSlot = 0;
        bool symmetric = false;        // width 2: every pair is a tuple in both orders
        double total = 0.0;            // the group's founder probability summed over its tuples
        std::vector<double> single;    // width 1: per allele, its probability if a tuple holds it
        std::vector<char> member;      // width 2: n x n, the pair is a tuple
        std::vector<double> pair;      // width 2: n x n, the tuple's probability
        std::vector<double> byFirst;   // width 2: per first allele, summed over the second
        std::vector<double> bySecond;  // width 2: per second allele, summed over the first
    };

    // One pattern being summed: its factors, the alleles given to the slots so
    // far (-1: not yet), and the sum.
    struct Walk {
        const std::vector<Factor>& factors;
        std::vector<int> alleles;
        double sum = 0.0;
        std::vector<int> counts;  // with theta: per allele, the slots holding it
        std::vector<int> open;    // with theta: the slots no factor has given an allele
    };
    // The factors with the slots of each symmetric group swapped where the
    // pattern reads the group's second slot before its first.
    std::vector<Factor> canonical(const std::vector<Factor>& factors) const;
    void descend(Walk& walk, size_t factor, double product) const;
    bool admits(const Walk& walk, int slot, int allele) const;
    double bound(const Walk& walk, size_t factor, double product) const;
    double founderWeight(Walk& walk) const;
    // With theta: the founder probability summed over the alleles of the open
    // slots from position k of walk.open on.
    double completeOpenSlots(Walk& walk, size_t k) const;

    int n_ = 0;
    int slots_ = 0;
    double threshold_ = 0.0;
    double theta_ = 0.0;
    double denominator_ = 1.0;           // with theta: the product of the draws' denominators
    std::vector<double> frequencies_;    // the founders' allele probabilities
    std::vector<int> allowedCount_;      // per slot: the alleles some tuple holds there
    std::vector<const double*> values_;  // the tables as given
    std::vector<Table> tables_;
    std::vector<Group> groups_;
    std::vector<int> groupOfSlot_;
    std::vector<char> allowed_;  // per slot, n: some tuple holds the allele in that slot
    std::vector<std::pair<std::vector<Factor>, double>> sums_;  // per canonical pattern
};

}  // namespace relatix
