#include "persistence/default_configuration.h"

#include <filesystem>
#include <optional>

#include "core/core.h"
#include "persistence/number_format.h"
#include "persistence/text_lines.h"
#include "persistence/token_reader.h"
#include "platform/atomic_file.h"
#include "platform/work_folder.h"

namespace relatix {
namespace {

constexpr const char* kConfigurationHeader = "[Default configuration - Relatix Version ";
constexpr const char* kSaveFileHeader = "[Save file - Relatix ";

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Counts read from the file are trusted only as far as the file goes: a count
// beyond what the remaining text could hold stops at the end of the text.
long boundedCount(long count) {
    return count < 0 ? 0 : count;
}

bool isFrequency(double v) {
    return v > 0 && v <= 1;
}
bool isProbability(double v) {
    return v >= 0 && v <= 1;
}
bool isPosition(double v) {
    return v >= 0;
}

constexpr const char* kFrequencyRange = "a frequency must be a number above 0 and at most 1";

}  // namespace

namespace {

std::string userConfigurationPath() {
    const std::string folder = userConfigFolder();
    return folder.empty() ? std::string() : (std::filesystem::path(folder) / "config.dat").string();
}

}  // namespace

std::string defaultConfigurationPath(const Core& core) {
    const std::string user = userConfigurationPath();
    std::error_code ec;
    if (!user.empty() && std::filesystem::exists(user, ec)) return user;
    return (std::filesystem::path(core.programDirectory) / "config.dat").string();
}

std::string defaultConfigurationWritePath(const Core& core) {
    const std::string user = userConfigurationPath();
    std::error_code ec;
    const bool userFile = !user.empty() && std::filesystem::exists(user, ec);
    if (!userFile && folderWritable(core.programDirectory))
        return (std::filesystem::path(core.programDirectory) / "config.dat").string();
    return user;
}

bool writeDefaultConfiguration(const Core& core) {
    const ClusterDatabase& db = core.clusterDatabase;
    auto g = [](double v) { return formatGeneral(v, 6); };
    const std::string path = defaultConfigurationWritePath(core);
    if (path.empty()) return false;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    return writeFileAtomically(path, [&](std::ostream& out) {
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
                               << g(a < system.frequencies.size() ? system.frequencies[a] : 0.0)
                               << end;
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
           }) == AtomicWriteStatus::Written;
}

std::vector<std::string> readDefaultConfiguration(Core& core) {
    std::vector<std::string> problems;
    const TextFile file = readTextFile(defaultConfigurationPath(core));
    if (!file.text) {
        if (file.refused) problems.push_back(file.error);
        return problems;
    }
    core.resetCore();
    TokenReader reader(*file.text);
    const std::string header = reader.readLine();
    if (header.size() < 26 ||
        !(startsWith(header, kConfigurationHeader) || startsWith(header, kSaveFileHeader)))
        return problems;
    // A value is taken only within its range; otherwise the default stays and the line is listed.
    auto checked = [&](std::optional<double> value, int line, bool (*inRange)(double),
                       const char* what) -> std::optional<double> {
        if (value && inRange(*value)) return value;
        problems.push_back("config.dat line " + std::to_string(line) + ": " + what + "; not used");
        return std::nullopt;
    };
    auto keyValue = [&](double& target, bool (*inRange)(double), const char* what) {
        const int line = reader.lineNumber();
        if (const auto value = checked(reader.readKeyCheckedNumber(), line, inRange, what))
            target = *value;
    };
    ClusterDatabase& db = core.clusterDatabase;
    reader.skipLine();
    keyValue(db.newAlleleFrequency, isFrequency, kFrequencyRange);
    keyValue(db.errorRate, isProbability, "an error rate must be a number from 0 to 1");
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
            keyValue(system.position, isPosition, "a position must be a number of cM from 0");
            reader.skipLine();
            const long alleles = boundedCount(reader.readKeyInteger());
            for (long a = 0; a < alleles && !reader.atEnd(); ++a) {
                std::string name = reader.readWord();
                const int line = reader.lineNumber();
                if (const auto frequency =
                        checked(reader.readCheckedNumber(), line, isFrequency, kFrequencyRange)) {
                    system.alleleNames.push_back(std::move(name));
                    system.frequencies.push_back(*frequency);
                }
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
            const int line = reader.lineNumber();
            const auto frequency = checked(reader.readCheckedNumber(), line, isProbability,
                                           "a haplotype frequency must be a number from 0 to 1");
            for (size_t s = 0; s < systemCount; ++s)
                haplotype.alleleIndices.push_back(static_cast<int>(reader.readInteger()));
            if (!frequency) continue;
            haplotype.frequency = *frequency;
            db.clusters.back().haplotypes.push_back(std::move(haplotype));
        }
    }
    return problems;
}

}  // namespace relatix
