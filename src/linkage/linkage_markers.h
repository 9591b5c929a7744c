// What the LINKAGE writers share: the order in which the markers of the cluster
// database are written (clusters in order, skipped clusters left out, systems in
// order), the 1-based allele numbers of allele texts, and the temp folder that
// the engine works on.
#pragma once

#include <string>
#include <vector>

#include "core/cluster_database.h"
#include "core/core.h"

namespace relatix {

// One marker as the LINKAGE files see it; indices are 0-based into the database.
struct LinkageMarker {
    int cluster = 0;
    int system = 0;
    const ClusterSystem* definition = nullptr;
};

// True when the skip list sets the flag of a 0-based cluster; a list that is
// shorter than the cluster list leaves the clusters beyond it in.
bool clusterSkipped(const std::vector<bool>& clusterSkipList, size_t cluster);

// Every marker written, in the order that defines the columns of the pedigree file.
std::vector<LinkageMarker> linkageMarkers(const ClusterDatabase& database,
                                          const std::vector<bool>& clusterSkipList);

// A marker name as the LINKAGE files carry it: the engine splits its lines at
// blanks and tabs, so every white-space character becomes "_" (a name such as
// "Penta E" would otherwise break the data, map and frequency lines); an empty
// name becomes "_".
std::string linkageMarkerName(const std::string& name);

// The names of every allele system of the cluster database in the LINKAGE files,
// cluster by cluster: linkageMarkerName, made unique by appending "_<n>" (its
// 1-based position among all systems) where two would otherwise be equal ("M 1"
// and "M_1"), so that the engine never merges two markers into one.
std::vector<std::vector<std::string>> linkageMarkerNames(const ClusterDatabase& database);

// The allele text of a person as written in the pedigree file: its 1-based
// position among the marker's allele names (exact comparison), "0" for the
// unknown allele (one byte 255) and "x" for a text that is not among the names.
std::string linkageAlleleNumber(const std::string& text,
                                const std::vector<std::string>& alleleNames);

// programDirectory + "/temp" and a file in it.
std::string tempFolderPath(const std::string& programDirectory);
std::string tempFilePath(const std::string& programDirectory, const std::string& name);
// Creates the temp folder when it is missing; false when it cannot be had.
bool ensureTempFolder(const std::string& programDirectory);

// The folder that the LINKAGE files and the engine's results of the core's run go
// to: its work folder, or the program folder's temp folder outside a run.
std::string workFolderOf(const Core& core);
std::string workFilePath(const Core& core, const std::string& name);

}  // namespace relatix
