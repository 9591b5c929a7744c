#include "persistence/default_configuration.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "core/core.h"
#include "persistence/number_format.h"
#include "persistence/token_reader.h"
#include "platform/atomic_file.h"

namespace relatix {
namespace {

constexpr const char* kConfigurationHeader = "[Default configuration - Relatix Version ";
constexpr const char* kSaveFileHeader = "[Save file - Relatix ";

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Counts read from the file are trusted only as far as the file goes: a count
// beyond what the remaining text could hold stops at the end of the text.
long boundedCount(long count) { return count < 0 ? 0 : count; }

}  // namespace

std::string defaultConfigurationPath(const Core& core) {
    return (std::filesystem::path(core.programDirectory) / "config.dat").string();
}

void writeDefaultConfiguration(const Core& core) {
    const ClusterDatabase& db = core.clusterDatabase;
    auto g = [](double v) { return formatGeneral(v, 6); };
    writeFileAtomically(defaultConfigurationPath(core), [&](std::ostream& out) {
        const char* end = "\r\n";
        out << kConfigurationHeader << g(core.softwareVersion) << "]" << end;
        out << "[Default parameters]" << end;
        out << "NewAlleleFrequency = " << g(db.newAlleleFrequency) << end;
        out << "ErrorRate = " << g(db.errorRate) << end;
        out << "[Clusters]" << end;
        out << "NumberOfClusters = " << db.clusters.size() << end;
        for (size_t c = 0; c < db.clusters.size(); ++c) {
            const Cluster& cluster = db.clusters[c];
            out << "ClusterName = " << (c < db.clusterNames.size() ? db.clusterNames[c] : "")
                << end;
            out << "[[Allele systems]]" << end;
            out << "NumberOfSystems = " << cluster.systems.size() << end;
            for (const ClusterSystem& system : cluster.systems) {
                out << "SystemName = " << system.name << end;
                out << "GeneticPosition = " << g(system.position) << end;
                out << "[[[Alleles]]]" << end;
                out << "NumberOfAlleles = " << system.alleleNames.size() << end;
                for (size_t a = 0; a < system.alleleNames.size(); ++a)
                    out << system.alleleNames[a] << "\t"
                        << g(a < system.frequencies.size() ? system.frequencies[a] : 0.0) << end;
            }
            out << "[[Haplotypes]]" << end;
            out << "NumberOfHaplotypes = " << cluster.haplotypes.size() << end;
            for (const Haplotype& h : cluster.haplotypes) {
                out << h.name << " " << g(h.frequency) << " ";
                for (int index : h.alleleIndices) out << index << " ";
                out << end;
            }
        }
        out << "End";
    });
}

void readDefaultConfiguration(Core& core) {
    std::ifstream in(defaultConfigurationPath(core), std::ios::binary);
    if (!in) return;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    core.resetCore();
    TokenReader reader(std::move(text));
    const std::string header = reader.readLine();
    if (header.size() < 26 ||
        !(startsWith(header, kConfigurationHeader) || startsWith(header, kSaveFileHeader)))
        return;
    ClusterDatabase& db = core.clusterDatabase;
    reader.skipLine();
    db.newAlleleFrequency = reader.readKeyNumber();
    db.errorRate = reader.readKeyNumber();
    reader.skipLine();
    const long clusters = boundedCount(reader.readKeyInteger());
    for (long c = 0; c < clusters && !reader.atEnd(); ++c) {
        db.clusters.emplace_back();
        db.clusterNames.push_back(reader.readKeyWord());
        core.genotypeTable.addCluster();
        const int clusterNumber = static_cast<int>(db.clusters.size());
        reader.skipLine();
        const long systems = boundedCount(reader.readKeyInteger());
        for (long s = 0; s < systems && !reader.atEnd(); ++s) {
            ClusterSystem system;
            system.name = reader.readKeyWord();
            system.position = reader.readKeyNumber();
            reader.skipLine();
            const long alleles = boundedCount(reader.readKeyInteger());
            for (long a = 0; a < alleles && !reader.atEnd(); ++a) {
                system.alleleNames.push_back(reader.readWord());
                system.frequencies.push_back(reader.readNumber());
            }
            if (alleles > 0) reader.readLine();  // the rest of the last allele line
            db.clusters.back().systems.push_back(std::move(system));
            core.genotypeTable.addSystem(clusterNumber);
        }
        reader.skipLine();  // "[[Haplotypes]]"
        const long haplotypes = boundedCount(reader.readKeyInteger());
        const size_t systemCount = db.clusters.back().systems.size();
        for (long h = 0; h < haplotypes && !reader.atEnd(); ++h) {
            Haplotype haplotype;
            haplotype.name = reader.readWord();
            haplotype.frequency = reader.readNumber();
            for (size_t s = 0; s < systemCount; ++s)
                haplotype.alleleIndices.push_back(static_cast<int>(reader.readInteger()));
            db.clusters.back().haplotypes.push_back(std::move(haplotype));
        }
    }
}

}  // namespace relatix
