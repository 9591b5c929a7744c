// The working database of the calculation engines: groups of linked allele
// systems prepared from the marker map and the active population, with the
// general frequency parameters.
#pragma once

#include <string>
#include <vector>

namespace relatix {

// Mutation record of one cluster system for one sex flag: a model number and three values.
struct ClusterMutation {
    int model = 1;
    double rate = 0.0;
    double value2 = 0.0;  // the second value (range in the marker map's terms)
    double value3 = 0.0;  // the third value (rate2)
};

struct ClusterSystem {
    std::string name;
    std::vector<std::string> alleleNames;
    std::vector<double> frequencies;  // parallel to alleleNames
    double position = 0.0;            // cM
    ClusterMutation mutation[2];      // [0] sex flag 0, [1] sex flag 1
};

struct Haplotype {
    std::string name;
    double frequency = 0.0;          // the observed count
    std::vector<int> alleleIndices;  // one per system of the cluster
};

struct Cluster {
    int chromosome = 0;  // the marker map's chromosome minus one
    std::vector<ClusterSystem> systems;
    double newAlleleFrequency = 0.01;
    std::vector<Haplotype> haplotypes;
};

struct ClusterDatabase {
    std::vector<Cluster> clusters;
    std::vector<std::string> clusterNames;  // parallel to clusters
    double newAlleleFrequency = 0.01;
    double errorRate = 0.001;
    int newAlleleModel = 2;  // 1 = normalise, 2 = search and subtract
    double haplotypeWeight = 1.0;
    double theta = 0.0;
};

}  // namespace relatix
