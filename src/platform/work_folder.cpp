#include "platform/work_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/trace_file.h"

namespace relatix {

namespace fs = std::filesystem;

namespace {

std::string userFolder(const char* variable, const char* fallback) {
    const char* base = std::getenv(variable);
    if (base && *base == '/') return (fs::path(base) / "relatix2").string();
    const char* home = std::getenv("HOME");
    if (home && *home) return (fs::path(home) / fallback / "relatix2").string();
    return {};
}

// mkdtemp below a base folder, created when missing; empty when it fails.
std::string makeFolderBelow(const fs::path& base) {
    std::error_code ec;
    fs::create_directories(base, ec);
    if (!folderWritable(base.string())) return {};
    std::string pattern = (base / "run-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!::mkdtemp(buffer.data())) return {};
    return std::string(buffer.data());
}

}  // namespace

std::string userCacheFolder() {
    return userFolder("XDG_CACHE_HOME", ".cache");
}
std::string userConfigFolder() {
    return userFolder("XDG_CONFIG_HOME", ".config");
}

bool folderWritable(const std::string& folder) {
    std::error_code ec;
    return !folder.empty() && fs::is_directory(folder, ec) &&
           ::access(folder.c_str(), W_OK | X_OK) == 0;
}

WorkFolder::WorkFolder(const std::string& programDirectory) {
    std::error_code ec;
    fs::path programTemp =
        fs::absolute(fs::path(programDirectory.empty() ? "." : programDirectory) / "temp", ec);
    path_ = makeFolderBelow(programTemp);
    if (path_.empty()) {
        const std::string cache = userCacheFolder();
        if (!cache.empty()) path_ = makeFolderBelow(fs::path(cache) / "temp");
    }
    if (path_.empty()) {
        error_ = "No folder for the work files could be created in " + programTemp.string() +
                 " or in the per-user cache folder";
        return;
    }
    keep_ = traceEnabled();
    if (keep_) {
        TraceFile trace("WorkFolder", true);
        trace << "Work files kept in " << path_ << "\n";
    }
}

WorkFolder::~WorkFolder() {
    if (path_.empty() || keep_) return;
    std::error_code ec;
    fs::remove_all(path_, ec);
}

}  // namespace relatix
