#include "dialogs/pedigree_pictures.h"

#include <filesystem>
#include <system_error>

#include "core/core.h"
#include "persistence/pedigree_plot_script.h"

namespace relatix {

std::string cataloguePicturePath(const Core& core, int code) {
    const std::string folder = core.programDirectory.empty() ? "" : core.programDirectory + "/";
    return folder + "Pictures/ped" + std::to_string(code) + ".png";
}

std::string createdPedigreePicturePath(const Core& core, int pedigree) {
    if (pedigree < 1 || pedigree > static_cast<int>(core.createdPedigrees.size())) return {};
    return pedigreeImagePath(core, core.createdPedigrees[static_cast<size_t>(pedigree - 1)].name,
                             ".png");
}

std::string existingPicture(const std::string& path) {
    if (path.empty()) return {};
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec) ? path : std::string();
}

}  // namespace relatix
