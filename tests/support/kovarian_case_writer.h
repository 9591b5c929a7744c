// Writes Kovarian case files for tests, line by line in the layout the quick
// analysis reads: persons with DNA records (0-based allele and system indexes),
// common relations, pedigrees and the frequency database.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace relatix::testing {

struct KovRecord {
    int first = 0;
    int second = 0;
    int system = 0;
};

struct KovPerson {
    std::string name;
    bool male = false;
    std::vector<KovRecord> records;
};

struct KovPedigree {
    std::string name;
    int extraFemales = 0;
    int extraMales = 0;
    std::vector<std::pair<int, int>> relations;  // (parent index, child index)
};

struct KovSystem {
    std::string name;  // written inside the quotes as given
    std::vector<std::pair<std::string, double>> alleles;
};

struct KovCase {
    std::string version = "3.0";
    std::vector<KovPerson> persons;
    std::vector<std::pair<int, int>> commonRelations;
    std::vector<KovPedigree> pedigrees;
    std::vector<KovSystem> systems;
    bool storedResults = false;  // "#TRUE#" before the system count, with its block
    std::string lineEnd = "\r\n";
};

std::string kovarianCaseText(const KovCase& kov);

// A duo: "Father" (male) typed 1/1 at D1S1656 (alleles 12: 0.1, 13: 0.2, 14: 0.7)
// and 1/2 at D3S1358 (15: 0.3, 16: 0.1, 17: 0.6); "Child" (female) 1/2 and 2/3.
// Pedigree 1 "Paternity" makes Father Child's parent, pedigree 2 "Unrelated" has
// no relation. The two markers lie on chromosomes 1 and 3, so the paternity LR is
// 1/(2 * 0.1) * 1/(4 * 0.1) = 12.5.
KovCase duoCase();

}  // namespace relatix::testing
