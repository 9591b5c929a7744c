// The LINKAGE input files that describe the markers of a case, written into the
// temp folder below the program folder for the linkage engine:
//   temp.dat       "M <name>" per marker;
//   temp.map       the genetic map, every chromosome shifted onto one pseudo-chromosome;
//   temp2.map      every marker 1000 cM from the next (unlinked);
//   temp.freq      "M <name>" and "A <number> <frequency>" per allele;
//   temp.clusters  the haplotype frequencies of every cluster.
// Lines end with a single line feed; doubles carry six significant digits.
#pragma once

#include <string>
#include <vector>

#include "core/core.h"

namespace relatix {

// The cluster chromosome number (marker map chromosome minus one) of the X chromosome.
inline constexpr int kXClusterChromosome = 23;
// Clusters on a further chromosome are shifted by this much; unlinked markers lie this far apart.
inline constexpr double kChromosomeSpacing = 1000.0;
// A cluster with more allele combinations than this gets its "CLUSTER" line but no
// haplotype lines: no engine run reads the file, and it must not fill the disk.
inline constexpr double kMaximumHaplotypeLines = 1e6;

struct LinkageDataTexts {
    std::string data;
    std::string map;
    std::string unlinkedMap;
    std::string frequencies;
    std::string clusters;
};

// The contents of the five files for the markers the skip list leaves in.
LinkageDataTexts linkageDataTexts(const Core& core, const std::vector<bool>& clusterSkipList);

// Writes temp.dat, temp.map, temp2.map, temp.freq and temp.clusters (truncating),
// creating the temp folder when it is missing. False when a file could not be
// written.
bool writeLinkageDataFiles(const Core& core, const std::vector<bool>& clusterSkipList);

// Writes a whole work file (truncating, or appending) without following a
// symbolic link in its place; false on failure.
bool writeTextFile(const std::string& path, const std::string& text, bool append = false);

}  // namespace relatix
