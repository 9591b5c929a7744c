#include "fuzz_support.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/core.h"
#include "persistence/open_project.h"

namespace relatix::fuzz {

namespace fs = std::filesystem;

namespace {

// The scratch folder, removed when the process ends normally.
struct ScratchFolder {
    std::string path;
    ScratchFolder() {
        const fs::path folder =
            fs::temp_directory_path() / ("relatix-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(folder / "temp");
        // The per-user configuration folder is the scratch folder's own, so that a
        // config.dat of the machine's user is never read.
        ::setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
        path = folder.string();
    }
    ~ScratchFolder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

}  // namespace

const std::string& scratchFolder() {
    static const ScratchFolder folder;
    return folder.path;
}

std::string writeInput(const std::string& name, const std::uint8_t* data, std::size_t size) {
    const std::string path = (fs::path(scratchFolder()) / name).string();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

const Core& exampleCase() {
    static const Core example = [] {
        Core core(scratchFolder());
        SilentUserInterface ui;
        openProject(core, RELATIX_SOURCE_DIR "/examples/half_siblings_linked.sav", ui);
        core.programDirectory = scratchFolder();
        return core;
    }();
    return example;
}

}  // namespace relatix::fuzz
