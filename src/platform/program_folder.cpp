#include "platform/program_folder.h"

#include <filesystem>

namespace relatix {

std::string directoryPart(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return {};
    return path.substr(0, slash);
}

std::string programFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path(ec).string();
    return directoryPart(exe.string());
}

}  // namespace relatix
