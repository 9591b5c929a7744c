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

AnsweringUserInterface::AnsweringUserInterface(const std::uint8_t* data, std::size_t size) {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (std::size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 1099511628211ull;
    answers_ = hash;
}

Answer AnsweringUserInterface::messageBox(const std::string&, const std::string&,
                                          MessageButtons buttons, MessageIcon) {
    if (buttons == MessageButtons::Ok) return Answer::Ok;
    const int n = asked_++ % 64;
    if ((answers_ >> n & 1u) == 0) return Answer::Yes;
    if (buttons == MessageButtons::YesNoCancel && n % 4 == 3) return Answer::Cancel;
    return Answer::No;
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
