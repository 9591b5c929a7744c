// Small hand-made cases for the LINKAGE writers and the engine runs: a Core in a
// fresh program folder whose cluster database and genotype table are filled
// directly, one cluster per marker.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/core.h"
#include "support/temp_folder.h"

namespace relatix::testing {

class LinkageCase {
public:
    explicit LinkageCase(std::vector<int> sexCodes, const std::string& folderName = "program")
        : core((folder.path() / folderName).string()) {
        std::filesystem::create_directories(core.programDirectory);
        core.genotypeTable.personCount = static_cast<int>(sexCodes.size());
        core.genotypeTable.sexCodes = std::move(sexCodes);
    }

    // Appends a cluster of one system on a marker map chromosome (1-based, so
    // the cluster's chromosome number is one less). Returns the 0-based cluster.
    int addMarker(const std::string& name, int mapChromosome, double position,
                  const std::vector<std::string>& alleles, const std::vector<double>& frequencies) {
        Cluster cluster;
        cluster.chromosome = mapChromosome - 1;
        ClusterSystem system;
        system.name = name;
        system.alleleNames = alleles;
        system.frequencies = frequencies;
        system.position = position;
        cluster.systems.push_back(system);
        core.clusterDatabase.clusters.push_back(cluster);
        core.clusterDatabase.clusterNames.push_back(name);
        core.genotypeTable.addCluster();
        core.genotypeTable.addSystem(core.genotypeTable.clusterCount());
        return core.genotypeTable.clusterCount() - 1;
    }

    void genotype(int person, int cluster, const std::string& a1, const std::string& a2,
                  int system = 0) {
        core.genotypeTable.alleleTexts[static_cast<size_t>(cluster)][static_cast<size_t>(system)]
                                      [static_cast<size_t>(person - 1)] = {a1, a2};
    }

    // A catalogue case: the main code and alternative codes (looked up in its list).
    void hypotheses(int mainCode, const std::vector<int>& alternativeCodes);

    std::string temp(const std::string& name) const {
        return (std::filesystem::path(core.programDirectory) / "temp" / name).string();
    }
    std::string read(const std::string& name) const { return readFile(temp(name)); }

    TempFolder folder{"linkage"};
    Core core;
};

}  // namespace relatix::testing
