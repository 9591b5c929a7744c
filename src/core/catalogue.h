// The 26 predefined relationships: names, persons and default sexes, the
// parent-child relations of their pedigrees, the alternatives each admits, the
// exact-engine components and the rows of the linkage-engine pedigree file.
// Codes run from 1 to 26; the catalogue index is code - 1.
#pragma once

#include <string>
#include <vector>

#include "core/records.h"

namespace relatix {

enum class NameSeparator { Space, LineBreak };

// The classes of the exact engine that relationships are composed of.
enum class ComponentClass {
    SingleUnrelated,
    Maternity,
    Trio,
    FullSiblings,
    HalfSiblings,
    Aunt,
    FullSiblingsDataMother,
    HalfSiblingsDataMother,
    PaternalHalfSiblingsDataMothers,
    ThreeFullSiblings,
    TwoFullSiblingsOneHalf,
    TwoFullSiblingsOnePaternalHalf,
    AuntDataMother,
    GrandmotherDataMother,
    GrandMother,
    GrandParentsDataMother,
    GrandParents,
    Incest,
    NoIncest,
};

// One component of a relationship: its class and the analysis persons (1-based)
// in the order the class takes them.
struct ExactComponent {
    ComponentClass componentClass;
    std::vector<int> persons;
};

// One row of the linkage-engine pedigree file: the id, father and mother text
// (with the sex code where the row fixes it), and the analysis person whose
// genotypes and sex complete the row, 0 for an untyped row.
struct LinkageRowTemplate {
    std::string prefix;
    int person = 0;
};

std::string catalogueName(int code, NameSeparator separator = NameSeparator::Space);
// The first code from 1 to 99 whose space-separated name equals the text; -1 if none.
int codeOfName(const std::string& name);
// The number of typed persons (2, 3 or 4); -1 for a code outside 1..26.
int catalogueSize(int code);
// Default sexes of the typed persons; nothing for a code outside the catalogue.
std::vector<int> catalogueSexes(int code);
// Sexes of the pedigree persons of a catalogue case; nothing for a bad code.
std::vector<int> pedigreeSexes(int code);
// The same table by the number of typed persons (2, 3 or 4); empty otherwise.
std::vector<int> pedigreeSexesOf(int typedPersons);
// Appends the relations of the code to the pedigree; false for a bad code.
bool catalogueRelations(int code, Pedigree& pedigree);
std::vector<Relation> catalogueRelationList(int code);
// The alternatives offered for a main code, in their fixed order.
std::vector<int> catalogueAlternatives(int mainCode);
// The components whose log-likelihoods add up to the code's exact likelihood.
std::vector<ExactComponent> exactComponents(int code);
// The pedigree-file rows of a code; codes 17 and 24 depend on person 1's sex.
std::vector<LinkageRowTemplate> linkageRowTemplates(int code, bool person1Male);

}  // namespace relatix
