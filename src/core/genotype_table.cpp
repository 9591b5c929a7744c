#include "core/genotype_table.h"

namespace relatix {

void GenotypeTable::resize(int persons) {
    if (persons < 0) persons = 0;
    personCount = persons;
    personNames.clear();
    sexCodes.clear();
    alleleTexts.assign(systemsPerCluster.size(), {});
    for (size_t c = 0; c < systemsPerCluster.size(); ++c) {
        alleleTexts[c].assign(static_cast<size_t>(systemsPerCluster[c]),
                              std::vector<TextSlots>(static_cast<size_t>(persons),
                                                     TextSlots{kUnknownAllele, kUnknownAllele}));
    }
}

void GenotypeTable::addCluster() {
    systemsPerCluster.push_back(0);
    alleleTexts.emplace_back();
}

bool GenotypeTable::addSystem(int cluster) {
    if (cluster < 1 || cluster > clusterCount()) return false;
    const size_t c = static_cast<size_t>(cluster - 1);
    ++systemsPerCluster[c];
    if (alleleTexts.size() < systemsPerCluster.size()) alleleTexts.resize(systemsPerCluster.size());
    alleleTexts[c].emplace_back(static_cast<size_t>(personCount),
                                TextSlots{kUnknownAllele, kUnknownAllele});
    return true;
}

void GenotypeTable::clearClusters() {
    systemsPerCluster.clear();
    alleleTexts.clear();
}

void GenotypeTable::clear() {
    personNames.clear();
    alleleTexts.clear();
    systemsPerCluster.clear();
    sexCodes.clear();
}

bool GenotypeTable::validIndex(int cluster, int system, int person, int slot) const {
    if (cluster < 1 || cluster > static_cast<int>(alleleTexts.size())) return false;
    const auto& systems = alleleTexts[static_cast<size_t>(cluster - 1)];
    if (system < 1 || system > static_cast<int>(systems.size())) return false;
    const auto& persons = systems[static_cast<size_t>(system - 1)];
    if (person < 1 || person > static_cast<int>(persons.size())) return false;
    return slot == 1 || slot == 2;
}

std::string GenotypeTable::alleleText(int cluster, int system, int person, int slot) const {
    if (!validIndex(cluster, system, person, slot)) return {};
    return alleleTexts[static_cast<size_t>(cluster - 1)][static_cast<size_t>(system - 1)]
                      [static_cast<size_t>(person - 1)][static_cast<size_t>(slot - 1)];
}

bool GenotypeTable::setAlleleText(int cluster, int system, int person, int slot,
                                  const std::string& text) {
    if (!validIndex(cluster, system, person, slot)) return false;
    alleleTexts[static_cast<size_t>(cluster - 1)][static_cast<size_t>(system - 1)]
               [static_cast<size_t>(person - 1)][static_cast<size_t>(slot - 1)] = text;
    return true;
}

}  // namespace relatix
