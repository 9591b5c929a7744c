// Cases whose clusters hold one marker each, with the marker map in the same
// order: the shape the per-marker exports and views read.
#pragma once

#include "core/core.h"

namespace relatix::testing {

inline void addOneMarkerCluster(Core& core, const std::string& name, int chromosome,
                                double position) {
    Cluster cluster;
    cluster.chromosome = chromosome - 1;
    ClusterSystem system;
    system.name = name;
    system.position = position;
    cluster.systems = {system};
    core.clusterDatabase.clusters.push_back(cluster);
    core.markerMap.markers.emplace_back(name, chromosome, position);
}

}  // namespace relatix::testing
