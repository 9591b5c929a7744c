#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace relatix::testing {

TempFolder::TempFolder(const std::string& label) {
    static std::atomic<int> counter{0};
    std::random_device device;
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = std::filesystem::temp_directory_path() /
                         (label + "-" + std::to_string(::getpid()) + "-" +
                          std::to_string(counter++) + "-" + std::to_string(device() % 100000));
        std::error_code ec;
        if (std::filesystem::create_directory(candidate, ec)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() {
    std::error_code ec;
    // RELATIX_KEEP_TEST_FILES=<folder> keeps a copy of every file a test left in
    // its folders (the fuzz targets' seed corpora are taken from them), below a
    // folder named after the test.
    if (const char* keep = std::getenv("RELATIX_KEEP_TEST_FILES"); keep && *keep) {
        std::string test = "outside-a-test";
        if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info())
            test = std::string(info->test_suite_name()) + "." + info->name();
        const auto target = std::filesystem::path(keep) / test / path_.filename();
        std::filesystem::create_directories(target, ec);
        std::filesystem::copy(
            path_, target,
            std::filesystem::copy_options::recursive | std::filesystem::copy_options::skip_symlinks,
            ec);
    }
    std::filesystem::remove_all(path_, ec);
}

std::string TempFolder::write(const std::string& name, const std::string& content) const {
    const auto target = path_ / name;
    std::filesystem::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary);
    out << content;
    return target.string();
}

ScopedCurrentDirectory::ScopedCurrentDirectory(const std::filesystem::path& directory)
    : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(directory);
}

ScopedCurrentDirectory::~ScopedCurrentDirectory() {
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace relatix::testing
