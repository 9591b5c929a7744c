// The LINKAGE input files of a quick analysis: the used systems (placed on an
// autosome and carried by at least one person) as markers, and one family per
// pedigree.
#pragma once

#include <string>
#include <vector>

#include "analysis/quick_case.h"

namespace relatix {

// Systems that reach the LINKAGE files: chromosome 1 to 22 and carried by at
// least one person's DNA record; 0-based indexes in system order.
std::vector<int> quickLinkageSystems(const QuickCase& quickCase);
// Systems that persons carry but that lie on a chromosome outside 1 to 22 (other
// than the -1 of a system the map lacks): they are left out of the files.
std::vector<int> quickSystemsOffAutosomes(const QuickCase& quickCase);
// The chromosomes of the linkage systems, ascending and each once.
std::vector<int> quickChromosomes(const QuickCase& quickCase);

// The allele number that takes the share of the unobserved alleles: 66, or the
// first number above the allele count for a system of 66 alleles or more, so that
// it never stands for a listed allele.
int quickRestAlleleNumber(const QuickSystem& system);

enum class QuickRowKind { Named, ExtraFemale, ExtraMale, Generated };

// One line of a family in the pedigree file.
struct QuickPedigreeRow {
    int family = 0;  // 1-based
    int id = 0;      // person index + 1
    int father = 0;  // 0: none
    int mother = 0;
    int sex = 0;  // 1 male, 2 female
    QuickRowKind kind = QuickRowKind::Named;
    int person = -1;  // named persons: 0-based index into the case's persons
};

// The lines of every family in file order: named persons, extra females, extra
// males, then the founders generated for persons with only one parent.
std::vector<QuickPedigreeRow> quickPedigreeRows(const QuickCase& quickCase);

struct QuickLinkageTexts {
    std::string data, map, frequencies, pedigree;
};
QuickLinkageTexts quickLinkageTexts(const QuickCase& quickCase);

// Writes temp.dat, temp.map, temp.freq and temp.ped into the folder, anew.
Status writeQuickLinkageFiles(const QuickCase& quickCase, const std::string& folder);

}  // namespace relatix
