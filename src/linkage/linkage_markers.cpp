#include "linkage/linkage_markers.h"

#include <filesystem>
#include <set>

namespace relatix {

bool clusterSkipped(const std::vector<bool>& clusterSkipList, size_t cluster) {
    return cluster < clusterSkipList.size() && clusterSkipList[cluster];
}

std::vector<LinkageMarker> linkageMarkers(const ClusterDatabase& database,
                                          const std::vector<bool>& clusterSkipList) {
    std::vector<LinkageMarker> markers;
    for (size_t c = 0; c < database.clusters.size(); ++c) {
        if (clusterSkipped(clusterSkipList, c)) continue;
        const Cluster& cluster = database.clusters[c];
        for (size_t s = 0; s < cluster.systems.size(); ++s)
            markers.push_back({static_cast<int>(c), static_cast<int>(s), &cluster.systems[s]});
    }
    return markers;
}

std::string linkageMarkerName(const std::string& name) {
    if (name.empty()) return "_";
    std::string written = name;
    for (char& c : written)
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f') c = '_';
    return written;
}

std::vector<std::vector<std::string>> linkageMarkerNames(const ClusterDatabase& database) {
    std::vector<std::vector<std::string>> names;
    std::set<std::string> taken;
    int position = 0;
    for (const Cluster& cluster : database.clusters) {
        names.emplace_back();
        for (const ClusterSystem& system : cluster.systems) {
            ++position;
            std::string name = linkageMarkerName(system.name);
            while (!taken.insert(name).second) name += "_" + std::to_string(position);
            names.back().push_back(std::move(name));
        }
    }
    return names;
}

std::string linkageAlleleNumber(const std::string& text,
                                const std::vector<std::string>& alleleNames) {
    if (text.size() == 1 && static_cast<unsigned char>(text[0]) == 255) return "0";
    for (size_t i = 0; i < alleleNames.size(); ++i)
        if (alleleNames[i] == text) return std::to_string(i + 1);
    return "x";
}

std::string tempFolderPath(const std::string& programDirectory) {
    return (std::filesystem::path(programDirectory) / "temp").string();
}

std::string tempFilePath(const std::string& programDirectory, const std::string& name) {
    return (std::filesystem::path(programDirectory) / "temp" / name).string();
}

std::string workFolderOf(const Core& core) {
    return core.workFolder.empty() ? tempFolderPath(core.programDirectory) : core.workFolder;
}

std::string workFilePath(const Core& core, const std::string& name) {
    return (std::filesystem::path(workFolderOf(core)) / name).string();
}

bool ensureTempFolder(const std::string& programDirectory) {
    std::error_code ec;
    const std::filesystem::path folder = tempFolderPath(programDirectory);
    if (std::filesystem::is_directory(folder, ec)) return true;
    std::filesystem::create_directories(folder, ec);
    return std::filesystem::is_directory(folder, ec);
}

}  // namespace relatix
