#include "linkage/linkage_data_files.h"

#include <map>

#include "core/decimal_text.h"
#include "core/new_allele_models.h"
#include "linkage/linkage_frequencies.h"
#include "linkage/linkage_markers.h"
#include "platform/atomic_file.h"

namespace relatix {

namespace {

// Every number of the engine's files reads back as exactly the value the case
// holds, so that rounding in the files never moves a likelihood.
std::string number(double value) {
    return formatShortest(value);
}

void appendMapLines(const Core& core, const std::vector<bool>& skipList, LinkageDataTexts& out) {
    const std::vector<Cluster>& clusters = core.clusterDatabase.clusters;
    out.map = "CHROMOSOME\tMARKER\tPOSITION\n";
    out.unlinkedMap = out.map;
    double offset = 0.0;
    double unlinkedPosition = 1.0;
    int runningNumber = 0;
    const auto names = linkageMarkerNames(core.clusterDatabase);
    for (size_t c = 0; c < clusters.size(); ++c) {
        // Skipped clusters take part in the comparison, so the offset is the same
        // whichever clusters are left out.
        if (c > 0 && clusters[c].chromosome != clusters[c - 1].chromosome)
            offset += kChromosomeSpacing;
        if (clusterSkipped(skipList, c)) continue;
        for (size_t s = 0; s < clusters[c].systems.size(); ++s) {
            const ClusterSystem& system = clusters[c].systems[s];
            const std::string& name = names[c][s];
            ++runningNumber;
            if (clusters[c].chromosome == kXClusterChromosome) {
                out.map +=
                    "X\t" + std::to_string(runningNumber) + "\t" + number(system.position) + "\n";
            } else {
                out.map += "1\t" + name + "\t" + number(system.position + offset) + "\n";
                out.unlinkedMap += "1\t" + name + "\t" + number(unlinkedPosition) + "\n";
            }
            unlinkedPosition += kChromosomeSpacing;
        }
    }
}

// Every combination of allele numbers of the cluster's systems, the last system
// changing fastest, with (n + lambda * P) / (lambda + N).
void appendHaplotypeLines(const Cluster& cluster,
                          const std::vector<std::vector<double>>& frequencies, double lambda,
                          std::string& out) {
    double combinations = frequencies.empty() ? 0.0 : 1.0;
    for (const auto& list : frequencies) combinations *= static_cast<double>(list.size());
    if (combinations == 0.0 || combinations > kMaximumHaplotypeLines) return;

    std::map<std::vector<int>, int> observed;
    for (const Haplotype& haplotype : cluster.haplotypes) ++observed[haplotype.alleleIndices];
    const double tableSize = static_cast<double>(cluster.haplotypes.size());

    std::vector<int> alleles(frequencies.size(), 1);
    for (;;) {
        double product = 1.0;
        for (size_t s = 0; s < alleles.size(); ++s)
            product *= frequencies[s][static_cast<size_t>(alleles[s] - 1)];
        const auto found = observed.find(alleles);
        const double count = found == observed.end() ? 0.0 : found->second;
        out += "HAPLO\t" + number((count + lambda * product) / (lambda + tableSize)) + "\t";
        for (int allele : alleles) out += std::to_string(allele) + "\t";
        out += "\n";
        size_t s = alleles.size();
        while (s > 0 && alleles[s - 1] == static_cast<int>(frequencies[s - 1].size())) {
            alleles[s - 1] = 1;
            --s;
        }
        if (s == 0) return;
        ++alleles[s - 1];
    }
}

}  // namespace

LinkageDataTexts linkageDataTexts(const Core& core, const std::vector<bool>& clusterSkipList) {
    const ClusterDatabase& database = core.clusterDatabase;
    LinkageDataTexts out;
    appendMapLines(core, clusterSkipList, out);
    const auto names = linkageMarkerNames(database);
    int runningNumber = 0;
    for (size_t c = 0; c < database.clusters.size(); ++c) {
        if (clusterSkipped(clusterSkipList, c)) continue;
        const Cluster& cluster = database.clusters[c];
        std::vector<std::vector<double>> clusterFrequencies;
        out.clusters += "CLUSTER ";
        for (size_t s = 0; s < cluster.systems.size(); ++s) {
            const ClusterSystem& system = cluster.systems[s];
            const auto genotypes =
                genotypesAt(core.genotypeTable, static_cast<int>(c) + 1, static_cast<int>(s) + 1);
            clusterFrequencies.push_back(
                linkageFrequencies(system, genotypes, database.newAlleleModel));
            out.data += "M " + names[c][s] + "\n";
            out.frequencies += "M " + names[c][s] + "\n";
            for (size_t a = 0; a < clusterFrequencies.back().size(); ++a)
                out.frequencies += "A " + std::to_string(a + 1) + " " +
                                   number(clusterFrequencies.back()[a]) + "\n";
            out.clusters += std::to_string(++runningNumber) + " ";
        }
        out.clusters += "\n";
        appendHaplotypeLines(cluster, clusterFrequencies, database.haplotypeWeight, out.clusters);
        out.clusters += "\n\n";
    }
    return out;
}

bool writeTextFile(const std::string& path, const std::string& text, bool append) {
    return writeWorkFile(path, text, append);
}

bool writeLinkageDataFiles(const Core& core, const std::vector<bool>& clusterSkipList) {
    if (core.workFolder.empty()) ensureTempFolder(core.programDirectory);
    const LinkageDataTexts texts = linkageDataTexts(core, clusterSkipList);
    bool ok = writeTextFile(workFilePath(core, "temp.dat"), texts.data);
    ok = writeTextFile(workFilePath(core, "temp.map"), texts.map) && ok;
    ok = writeTextFile(workFilePath(core, "temp2.map"), texts.unlinkedMap) && ok;
    ok = writeTextFile(workFilePath(core, "temp.freq"), texts.frequencies) && ok;
    ok = writeTextFile(workFilePath(core, "temp.clusters"), texts.clusters) && ok;
    return ok;
}

}  // namespace relatix
