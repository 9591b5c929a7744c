#include "linkage/linkage_pedigree_rows.h"

#include "core/catalogue.h"
#include "linkage/linkage_markers.h"

namespace relatix {

namespace {

// The sex code of a 1-based analysis person, "0" (unknown) when the table has none.
std::string sexCodeText(const GenotypeTable& table, int person) {
    if (person < 1 || person > static_cast<int>(table.sexCodes.size())) return "0";
    const int code = table.sexCodes[static_cast<size_t>(person - 1)];
    return code == 1 || code == 2 ? std::to_string(code) : "0";
}

// The two allele texts of a 1-based person at a marker; nothing when the table lacks them.
const GenotypeTable::TextSlots* genotypeOf(const GenotypeTable& table, const LinkageMarker& marker,
                                           int person) {
    if (!table.validIndex(marker.cluster + 1, marker.system + 1, person, 1)) return nullptr;
    return &table.alleleTexts[static_cast<size_t>(marker.cluster)]
                             [static_cast<size_t>(marker.system)][static_cast<size_t>(person - 1)];
}

std::string genotypeColumns(const GenotypeTable& table, const std::vector<LinkageMarker>& markers,
                            int person, const std::string& separator, bool missingAsZero) {
    std::string text;
    for (const LinkageMarker& marker : markers) {
        const GenotypeTable::TextSlots* slots = genotypeOf(table, marker, person);
        if (!slots ||
            (missingAsZero && (*slots)[0] == kUnknownAllele && (*slots)[1] == kUnknownAllele)) {
            text += "0" + separator + "0" + separator;
            continue;
        }
        for (const std::string& allele : *slots)
            text += linkageAlleleNumber(allele, marker.definition->alleleNames) + separator;
    }
    return text;
}

struct Parents {
    int father = 0;
    int mother = 0;
};

// The parents of pedigree person k: a male parent is the father, a female one the
// mother; a parent whose sex slot is taken fills the other one, so that no stated
// relation is lost.
Parents parentsOf(const Pedigree& pedigree, const std::vector<Person>& persons, int child) {
    Parents parents;
    std::vector<int> unplaced;
    for (const Relation& relation : pedigree.relations) {
        if (relation.child != child || relation.parent == child) continue;
        const int p = relation.parent;
        const bool male = p >= 1 && p <= static_cast<int>(persons.size()) &&
                          persons[static_cast<size_t>(p - 1)].isMale;
        int& slot = male ? parents.father : parents.mother;
        if (slot == 0)
            slot = p;
        else if (slot != p)
            unplaced.push_back(p);
    }
    for (int p : unplaced) {
        if (parents.father == 0 && p != parents.mother)
            parents.father = p;
        else if (parents.mother == 0 && p != parents.father)
            parents.mother = p;
    }
    return parents;
}

}  // namespace

std::vector<std::string> linkagePedigreeRows(int code, const Core& core,
                                             const std::vector<bool>& clusterSkipList) {
    std::vector<std::string> rows;
    if (catalogueSize(code) < 0) return rows;
    const GenotypeTable& table = core.genotypeTable;
    const std::vector<LinkageMarker> markers =
        linkageMarkers(core.clusterDatabase, clusterSkipList);
    const bool person1Male = sexCodeText(table, 1) != "2";
    for (const LinkageRowTemplate& row : linkageRowTemplates(code, person1Male)) {
        if (row.person == 0) {
            std::string line = row.prefix;
            for (size_t m = 0; m < markers.size(); ++m) line += "0 0 ";
            rows.push_back(std::move(line));
            continue;
        }
        rows.push_back(row.prefix + sexCodeText(table, row.person) + " " +
                       genotypeColumns(table, markers, row.person, " ", false));
    }
    return rows;
}

std::vector<std::string> createdPedigreeRows(const Pedigree& pedigree, const Core& core,
                                             const std::vector<bool>& clusterSkipList) {
    std::vector<std::string> rows;
    const GenotypeTable& table = core.genotypeTable;
    const std::vector<Person>& persons = table.pedigreePersons;
    const std::vector<LinkageMarker> markers =
        linkageMarkers(core.clusterDatabase, clusterSkipList);
    for (int k = 1; k <= static_cast<int>(persons.size()); ++k) {
        const Parents parents = parentsOf(pedigree, persons, k);
        std::string sex = sexCodeText(table, k);
        if (sex == "0") sex = persons[static_cast<size_t>(k - 1)].isMale ? "1" : "2";
        rows.push_back(std::to_string(k) + "\t" + std::to_string(parents.father) + "\t" +
                       std::to_string(parents.mother) + "\t" + sex + "\t" +
                       genotypeColumns(table, markers, k, "\t", true));
    }
    return rows;
}

}  // namespace relatix
