// The analysis persons and their alleles, arranged per cluster, system, person
// and allele slot for the engines. Operations take 1-based indices and refuse
// (returning false) positions outside the table.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/records.h"

namespace relatix {

inline constexpr const char* kUnknownAllele = "-1";

class GenotypeTable {
public:
    using TextSlots = std::array<std::string, 2>;

    int personCount = 0;
    std::vector<std::string> personNames;
    // [cluster][system][person] -> two slots; all 0-based inside the containers.
    std::vector<std::vector<std::vector<TextSlots>>> alleleTexts;
    std::vector<int> systemsPerCluster;
    std::vector<int> sexCodes;  // per analysis person: 1 male, 2 female
    std::vector<Person> pedigreePersons;

    int clusterCount() const { return static_cast<int>(systemsPerCluster.size()); }

    // Sets the person count, empties the names and sex codes and gives every
    // (cluster, system) n persons with two "-1" entries each.
    void resize(int persons);
    // Appends a cluster with no systems.
    void addCluster();
    // Adds a system to cluster c (1-based), with two "-1" entries per person.
    bool addSystem(int cluster);
    // Removes every cluster (the table then has no systems).
    void clearClusters();
    // Empties names, allele texts, systems and sex codes; the
    // person count and the pedigree persons stay.
    void clear();

    bool validIndex(int cluster, int system, int person, int slot) const;
    // The allele text at a 1-based position; "" when the position is outside the table.
    std::string alleleText(int cluster, int system, int person, int slot) const;
    bool setAlleleText(int cluster, int system, int person, int slot, const std::string& text);
};

}  // namespace relatix
