#include "analysis/quick_linkage_files.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "core/decimal_text.h"
#include "linkage/linkage_data_files.h"
#include "linkage/linkage_markers.h"

namespace relatix {

namespace {

// Observed mass below one by less than this is rounding, not an unobserved allele.
constexpr double kMassTolerance = 1e-12;

// Every number of the engine's files reads back as exactly the value the case
// holds, so that rounding in the files never moves a likelihood.
std::string number(double value) {
    return formatShortest(value);
}

bool carried(const QuickCase& quickCase, int system) {
    for (const QuickPerson& person : quickCase.persons)
        for (const QuickDnaRecord& record : person.records)
            if (record.system == system) return true;
    return false;
}

const QuickDnaRecord* recordFor(const QuickPerson& person, int system) {
    for (const QuickDnaRecord& record : person.records)
        if (record.system == system) return &record;
    return nullptr;
}

}  // namespace

std::vector<int> quickLinkageSystems(const QuickCase& quickCase) {
    std::vector<int> systems;
    for (size_t s = 0; s < quickCase.systems.size(); ++s) {
        const int chromosome = quickCase.systems[s].chromosome;
        if (chromosome >= 1 && chromosome <= 22 && carried(quickCase, static_cast<int>(s)))
            systems.push_back(static_cast<int>(s));
    }
    return systems;
}

std::vector<int> quickSystemsOffAutosomes(const QuickCase& quickCase) {
    std::vector<int> systems;
    for (size_t s = 0; s < quickCase.systems.size(); ++s) {
        const int chromosome = quickCase.systems[s].chromosome;
        if (chromosome != -1 && (chromosome < 1 || chromosome > 22) &&
            carried(quickCase, static_cast<int>(s)))
            systems.push_back(static_cast<int>(s));
    }
    return systems;
}

std::vector<int> quickChromosomes(const QuickCase& quickCase) {
    std::set<int> chromosomes;
    for (int s : quickLinkageSystems(quickCase))
        chromosomes.insert(quickCase.systems[s].chromosome);
    return {chromosomes.begin(), chromosomes.end()};
}

int quickRestAlleleNumber(const QuickSystem& system) {
    const int count = static_cast<int>(system.alleles.size());
    return count >= 66 ? count + 1 : 66;
}

std::vector<QuickPedigreeRow> quickPedigreeRows(const QuickCase& quickCase) {
    std::vector<QuickPedigreeRow> rows;
    const int named = static_cast<int>(quickCase.persons.size());
    for (size_t g = 0; g < quickCase.pedigrees.size(); ++g) {
        const QuickPedigree& pedigree = quickCase.pedigrees[g];
        const int family = static_cast<int>(g) + 1;
        const int listed = named + pedigree.extraFemales + pedigree.extraMales;
        int nextGenerated = listed + 1;
        std::vector<QuickPedigreeRow> generated;
        auto male = [&](int index) {
            if (index < named) return quickCase.persons[index].sex == 1;
            return index >= named + pedigree.extraFemales;
        };
        for (int index = 0; index < listed; ++index) {
            QuickPedigreeRow row;
            row.family = family;
            row.id = index + 1;
            if (index < named) {
                row.kind = QuickRowKind::Named;
                row.person = index;
                row.sex = quickCase.persons[index].sex;
            } else if (index < named + pedigree.extraFemales) {
                row.kind = QuickRowKind::ExtraFemale;
                row.sex = 2;
            } else {
                row.kind = QuickRowKind::ExtraMale;
                row.sex = 1;
            }
            std::vector<int> parents;
            for (const QuickRelation& relation : pedigree.relations)
                if (relation.child == index) parents.push_back(relation.parent);
            if (parents.size() >= 2) {
                const bool firstIsFather = male(parents[0]);
                row.father = (firstIsFather ? parents[0] : parents[1]) + 1;
                row.mother = (firstIsFather ? parents[1] : parents[0]) + 1;
            } else if (parents.size() == 1) {
                const bool father = male(parents[0]);
                QuickPedigreeRow founder;
                founder.family = family;
                founder.id = nextGenerated++;
                founder.sex = father ? 2 : 1;
                founder.kind = QuickRowKind::Generated;
                generated.push_back(founder);
                row.father = father ? parents[0] + 1 : founder.id;
                row.mother = father ? founder.id : parents[0] + 1;
            }
            rows.push_back(row);
        }
        rows.insert(rows.end(), generated.begin(), generated.end());
    }
    return rows;
}

QuickLinkageTexts quickLinkageTexts(const QuickCase& quickCase) {
    QuickLinkageTexts texts;
    const std::vector<int> systems = quickLinkageSystems(quickCase);
    texts.map = "CHROMOSOME\tMARKER\tPOSITION\n";
    // Names as the engine reads them, unique: "PENTA E" and "PENTA_E" would
    // otherwise become one marker.
    std::set<std::string> taken;
    for (int s : systems) {
        const QuickSystem& system = quickCase.systems[s];
        std::string name = linkageMarkerName(system.name);
        if (!taken.insert(name).second) {
            name += "_" + std::to_string(s + 1);
            taken.insert(name);
        }
        texts.data += "M " + name + "\n";
        texts.map +=
            std::to_string(system.chromosome) + "\t" + name + "\t" + number(system.position) + "\n";
        std::vector<bool> observed(system.alleles.size(), false);
        for (const QuickPerson& person : quickCase.persons) {
            for (const QuickDnaRecord& record : person.records) {
                if (record.system != s) continue;
                observed[record.firstAllele] = true;
                observed[record.secondAllele] = true;
            }
        }
        texts.frequencies += "M " + name + "\n";
        double mass = 0.0;
        for (size_t a = 0; a < system.alleles.size(); ++a) {
            if (!observed[a]) continue;
            texts.frequencies +=
                "A " + std::to_string(a + 1) + " " + number(system.alleles[a].frequency) + "\n";
            mass += system.alleles[a].frequency;
        }
        if (mass < 1.0 - kMassTolerance)
            texts.frequencies += "A " + std::to_string(quickRestAlleleNumber(system)) + " " +
                                 number(1.0 - mass) + "\n";
    }

    std::string unknown;
    for (size_t i = 0; i < systems.size(); ++i) unknown += "0 0 ";
    for (const QuickPedigreeRow& row : quickPedigreeRows(quickCase)) {
        texts.pedigree += std::to_string(row.family) + "\t" + std::to_string(row.id) + "\t" +
                          std::to_string(row.father) + "\t" + std::to_string(row.mother) + "\t" +
                          std::to_string(row.sex) + "\t";
        if (row.kind != QuickRowKind::Named) {
            texts.pedigree += unknown + "\n";
            continue;
        }
        const QuickPerson& person = quickCase.persons[row.person];
        for (int s : systems) {
            const QuickDnaRecord* record = recordFor(person, s);
            texts.pedigree += record ? std::to_string(record->firstAllele + 1) + " " +
                                           std::to_string(record->secondAllele + 1) + " "
                                     : std::string("0 0 ");
        }
        texts.pedigree += "\n";
    }
    return texts;
}

Status writeQuickLinkageFiles(const QuickCase& quickCase, const std::string& folder) {
    const QuickLinkageTexts texts = quickLinkageTexts(quickCase);
    const std::filesystem::path base(folder);
    const std::pair<const char*, const std::string*> files[] = {{"temp.dat", &texts.data},
                                                                {"temp.map", &texts.map},
                                                                {"temp.freq", &texts.frequencies},
                                                                {"temp.ped", &texts.pedigree}};
    for (const auto& [name, text] : files) {
        const std::string path = (base / name).string();
        if (!writeTextFile(path, *text)) return Status::failure("Could not write " + path);
    }
    return {};
}

}  // namespace relatix
