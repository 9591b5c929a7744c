// A fresh folder below the system's temporary folder, removed with its contents
// when the object goes; and a scope that changes the current directory.
#pragma once

#include <filesystem>
#include <string>

namespace relatix::testing {

class TempFolder {
public:
    explicit TempFolder(const std::string& label = "relatix");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    // Writes a file below the folder (bytes as given) and returns its path.
    std::string write(const std::string& name, const std::string& content) const;

private:
    std::filesystem::path path_;
};

class ScopedCurrentDirectory {
public:
    explicit ScopedCurrentDirectory(const std::filesystem::path& directory);
    ~ScopedCurrentDirectory();

private:
    std::filesystem::path previous_;
};

std::string readFile(const std::string& path);

}  // namespace relatix::testing
